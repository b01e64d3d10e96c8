#include "console/console.hpp"

#include <sys/ioctl.h>
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

std::string cursor_moves(int from_row, int row, int column) {
  std::string moves;
  if (row < from_row) moves += "\x1b[" + std::to_string(from_row - row) + 'A';
  if (row > from_row) moves.append(static_cast<std::size_t>(row - from_row), '\n');
  moves += '\r';
  if (column > 1) moves += "\x1b[" + std::to_string(column - 1) + 'C';
  return moves;
}

TerminalConsole::TerminalConsole()
    : terminal_(isatty(STDOUT_FILENO) == 1), echoed_answers_(isatty(STDIN_FILENO) == 1) {}

void TerminalConsole::write(std::string_view text) {
  wipe_status();
  std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
  std::cout.flush();
  track(text);
}

std::optional<std::string> TerminalConsole::read_line() {
  wipe_status();
  std::string line;
  if (!std::getline(std::cin, line)) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (echoed_answers_) track_answer();  // the answer's own line end
  return line;
}

void TerminalConsole::set_cursor(int row, int column) {
  wipe_status();
  if (terminal_) {
    std::cout << cursor_moves(cursor_row(), row, column);
    std::cout.flush();
  }
  place(row, column);
}

int TerminalConsole::columns() const {
  winsize size{};
  if (!terminal_ || ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
}

void TerminalConsole::clear_text() {
  wipe_status();
  place(1, 1);
  if (terminal_) {
    std::cout << "\x1b[2J\x1b[H";
    std::cout.flush();
  }
}

bool TerminalConsole::status_due() const {
  return terminal_ && status_.due(StatusLine::Clock::now());
}

// The line takes a row of its own: after a prompt whose answer was not
// echoed (answers piped in) the cursor stands behind the prompt's text.
void TerminalConsole::show_status(std::string_view text) {
  if (!terminal_) return;
  if (!status_.shown() && cursor_column() != 1) write("\n");
  std::cout << status_.show(text, columns(), StatusLine::Clock::now());
  std::cout.flush();
}

void TerminalConsole::wipe_status() {
  const std::string wipe = status_.wipe();
  if (wipe.empty()) return;
  std::cout << wipe;
  std::cout.flush();
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
