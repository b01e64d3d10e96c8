#include "console/console.hpp"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "console/run_stop.hpp"

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

LineRead read_answer_line(std::istream& in, std::string& line) {
  line.clear();
  const std::istream::sentry ready(in, true);
  if (!ready) return LineRead::end;
  std::streambuf& buffer = *in.rdbuf();
  for (bool extracted = false;; extracted = true) {
    const int c = buffer.sbumpc();
    if (c == std::char_traits<char>::eof()) {
      in.setstate(extracted ? std::ios::eofbit : std::ios::eofbit | std::ios::failbit);
      return extracted ? LineRead::ok : LineRead::end;
    }
    if (c == '\n') return LineRead::ok;
    if (line.size() == max_answer_line) return LineRead::too_long;
    line += static_cast<char>(c);
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
  switch (read_answer_line(std::cin, line)) {
    case LineRead::end:
      return std::nullopt;
    case LineRead::too_long:
      throw RunStop("ANSWER ON THE CONSOLE LONGER THAN " + std::to_string(max_answer_line) +
                    " CHARACTERS");
    case LineRead::ok:
      break;
  }
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
