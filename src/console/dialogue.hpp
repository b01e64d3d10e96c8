#pragma once

// The dialogue unit and the answer primitives. Every answer after the first
// two is read from the dialogue unit: the console, or a file of answers, one
// per line.

#include <fstream>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "console/console.hpp"

namespace console {

class DialogueUnit {
 public:
  // Answers from the console itself.
  explicit DialogueUnit(Console& screen);
  // Answers from the named file; "CON" (or a blank first character) is the
  // console. A name that does not exist stands for the file whose name
  // differs from it only in letter case. A file that cannot be opened (or a
  // folder) gives an empty dialogue, which ends the run at the first answer
  // read from it.
  DialogueUnit(Console& screen, const std::string& name);

  // Reads one whole answer line (without line end, a trailing '\r' removed;
  // a UTF-8 byte-order mark before the first line of a file is dropped).
  // The end of the dialogue ends the run with a RunStop naming the unit.
  std::string read_line();

  Console& screen() { return screen_; }
  bool from_console() const { return !file_; }
  const std::string& name() const { return name_; }

 private:
  Console& screen_;
  std::string name_;
  std::unique_ptr<std::ifstream> file_;
  bool file_missing_ = false;
  bool first_line_ = true;
};

// One letter from the allowed set (upper-cased), the default for a blank line.
// A letter outside the set is refused with " THE ONLY ANSWERS ALLOWED ARE: "
// and " TRY AGAIN: ", and asked again.
char ask_letter(DialogueUnit& unit, char default_letter, std::string_view allowed);

// Shows a refusal: its line (without line end) and the prompt for a new answer.
using RefusalWriter = std::function<void(std::string_view line, std::string_view prompt)>;

// The same, for a question placed on the screen by its caller, who places
// the refusal too.
char ask_letter(DialogueUnit& unit, char default_letter, std::string_view allowed,
                const RefusalWriter& show_refusal);

// An integer from the first three characters of the answer; a blank first
// character gives the default. An unreadable answer ends the run.
int ask_integer(DialogueUnit& unit, int default_value);

// A real from the first twelve characters of the answer; a blank first
// character gives the default. An unreadable answer ends the run.
float ask_real(DialogueUnit& unit, float default_value);

// Bubble sort that stops at the first pass without a swap.
void sort_ascending(std::span<int> list);

// Clears the whole console window, text and graphics.
void clear_console(Console& screen);

}  // namespace console
