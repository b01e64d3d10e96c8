#pragma once

// The text console: writing with and without line end, reading a line,
// clearing the window and placing the cursor.

#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console/status_line.hpp"
#include "format/layout.hpp"

namespace console {

class Console {
 public:
  virtual ~Console() = default;

  // Writes the text as it stands; '\n' ends a line.
  virtual void write(std::string_view text) = 0;
  // Reads one line without its line end; nullopt at the end of the input.
  virtual std::optional<std::string> read_line() = 0;
  // True when the output is a terminal that can clear and place the cursor.
  virtual bool is_terminal() const = 0;
  // Cursor position, rows and columns counted from 1.
  virtual void set_cursor(int row, int column) { place(row, column); }
  // Width of the window in characters; 0 when it is not known.
  virtual int columns() const { return 0; }
  int cursor_row() const { return row_; }
  int cursor_column() const { return column_; }
  // True when answers are typed at a terminal.
  virtual bool reads_from_terminal() const { return false; }

  // Tells on the status line how far a long step has come, where the console
  // has one (a terminal); `make_text` is called only when the line is due.
  template <class MakeText>
  void status(MakeText&& make_text) {
    if (status_due()) show_status(make_text());
  }
  // Removes the status line; anything written removes it too.
  virtual void wipe_status() {}

  // Clears the whole window: the text and, when a drawing surface shares the
  // window, the graphics too (see on_clear).
  void clear();
  // Registers what else a clear must wipe (the drawing surface).
  void on_clear(std::function<void()> hook) { clear_hooks_.push_back(std::move(hook)); }

  // Writes values through an edit-descriptor layout.
  template <class... Args>
  void print(std::string_view layout, const Args&... args) {
    write(format::render(layout, args...));
  }
  // Writes the text followed by a line end.
  void line(std::string_view text = "") {
    write(text);
    write("\n");
  }

 protected:
  virtual void clear_text() = 0;
  virtual bool status_due() const { return false; }
  virtual void show_status(std::string_view) {}
  // Keeps the cursor position up to date after text was written or a line read.
  void track(std::string_view text);
  void track_answer() { track("\n"); }
  void place(int row, int column) {
    row_ = row;
    column_ = column;
  }

 private:
  std::vector<std::function<void()>> clear_hooks_;
  int row_ = 1;
  int column_ = 1;
};

// The real console on standard input and output. Clearing and cursor moves are
// ANSI sequences when standard output is a terminal and nothing otherwise, so
// transcripts stay clean.
class TerminalConsole : public Console {
 public:
  TerminalConsole();
  void write(std::string_view text) override;
  std::optional<std::string> read_line() override;
  bool is_terminal() const override { return terminal_; }
  void set_cursor(int row, int column) override;
  int columns() const override;
  bool reads_from_terminal() const override { return echoed_answers_; }
  void wipe_status() override;

 protected:
  void clear_text() override;
  bool status_due() const override;
  void show_status(std::string_view text) override;

 private:
  bool terminal_;
  // A typed answer is echoed with its line end only when the input is a
  // terminal too; answers piped in leave the cursor behind the prompt.
  bool echoed_answers_;
  StatusLine status_;
};

// No answer needs more than a few dozen characters; a longer line is no
// answer (a device or a binary file given as input) and is not kept.
inline constexpr std::size_t max_answer_line = 65536;

enum class LineRead { ok, end, too_long };

// Reads one line without its line end, as std::getline does, but stops at
// max_answer_line characters: input without line ends cannot fill the memory.
LineRead read_answer_line(std::istream& in, std::string& line);

// The terminal sequence that takes the cursor from row `from_row` to row
// `row`, column `column`. The steps are relative: once the screen has
// scrolled (a long list of variables) the rows counted since the last clear
// are no longer screen rows, but the distances between lines still hold.
// Downward steps are line ends, which scroll at the bottom of the screen
// where a cursor move would stop.
std::string cursor_moves(int from_row, int row, int column);

// A console for tests: answers come from a list of lines, everything written
// is recorded in transcript().
class ScriptedConsole : public Console {
 public:
  explicit ScriptedConsole(std::vector<std::string> input = {}, bool terminal = false)
      : input_(std::move(input)), terminal_(terminal) {}
  void write(std::string_view text) override;
  std::optional<std::string> read_line() override;
  bool is_terminal() const override { return terminal_; }

  const std::string& transcript() const { return transcript_; }
  int clear_count() const { return clears_; }
  void add_input(std::string line) { input_.push_back(std::move(line)); }

 protected:
  void clear_text() override;

 private:
  std::vector<std::string> input_;
  std::size_t next_ = 0;
  bool terminal_;
  std::string transcript_;
  int clears_ = 0;
};

}  // namespace console
