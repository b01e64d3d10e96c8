#include "console/console.hpp"

#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace console {

void Console::clear() {
  clear_text();
  for (auto& hook : clear_hooks_) hook();
}

// Terminal ------------------------------------------------------------------

TerminalConsole::TerminalConsole() : terminal_(isatty(STDOUT_FILENO) == 1) {}

void TerminalConsole::write(std::string_view text) {
  std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
  std::cout.flush();
  track(text);
}

std::optional<std::string> TerminalConsole::read_line() {
  std::string line;
  if (!std::getline(std::cin, line)) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  // The answer's own line end moves the cursor to the next line.
  ++row_;
  column_ = 1;
  return line;
}

void TerminalConsole::set_cursor(int row, int column) {
  row_ = row;
  column_ = column;
  if (terminal_) {
    std::cout << "\x1b[" << row << ';' << column << 'H';
    std::cout.flush();
  }
}

void TerminalConsole::clear_text() {
  row_ = 1;
  column_ = 1;
  if (terminal_) {
    std::cout << "\x1b[2J\x1b[H";
    std::cout.flush();
  }
}

void TerminalConsole::track(std::string_view text) {
  for (char c : text) {
    if (c == '\n') {
      ++row_;
      column_ = 1;
    } else {
      ++column_;
    }
  }
}

// Scripted ------------------------------------------------------------------

void ScriptedConsole::write(std::string_view text) {
  transcript_.append(text);
  for (char c : text) {
    if (c == '\n') {
      ++row_;
      column_ = 1;
    } else {
      ++column_;
    }
  }
}

std::optional<std::string> ScriptedConsole::read_line() {
  if (next_ >= input_.size()) return std::nullopt;
  ++row_;
  column_ = 1;
  return input_[next_++];
}

void ScriptedConsole::set_cursor(int row, int column) {
  row_ = row;
  column_ = column;
}

void ScriptedConsole::clear_text() {
  ++clears_;
  row_ = 1;
  column_ = 1;
}

}  // namespace console
