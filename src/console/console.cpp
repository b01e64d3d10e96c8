#include "console/console.hpp"

#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace console {

void Console::clear() {
  clear_text();
  for (auto& hook : clear_hooks_) hook();
}

void Console::track(std::string_view text) {
  for (char c : text) {
    if (c == '\n') {
      place(cursor_row() + 1, 1);
    } else {
      place(cursor_row(), cursor_column() + 1);
    }
  }
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
  track_answer();  // the answer's own line end
  return line;
}

void TerminalConsole::set_cursor(int row, int column) {
  place(row, column);
  if (terminal_) {
    std::cout << "\x1b[" << row << ';' << column << 'H';
    std::cout.flush();
  }
}

void TerminalConsole::clear_text() {
  place(1, 1);
  if (terminal_) {
    std::cout << "\x1b[2J\x1b[H";
    std::cout.flush();
  }
}

// Scripted ------------------------------------------------------------------

void ScriptedConsole::write(std::string_view text) {
  transcript_.append(text);
  track(text);
}

std::optional<std::string> ScriptedConsole::read_line() {
  if (next_ >= input_.size()) return std::nullopt;
  track_answer();
  return input_[next_++];
}

void ScriptedConsole::clear_text() {
  ++clears_;
  place(1, 1);
}

}  // namespace console
