#include "console/dialogue.hpp"

#include <cmath>
#include <utility>

#include "console/run_stop.hpp"
#include "files/find.hpp"
#include "format/layout.hpp"

namespace console {

DialogueUnit::DialogueUnit(Console& screen) : screen_(screen), name_("CON") {}

DialogueUnit::DialogueUnit(Console& screen, const std::string& name)
    : screen_(screen), name_(name) {
  if (name.empty() || name[0] == ' ' || name == "CON") {
    name_ = "CON";
    return;
  }
  // A folder would open as a stream without lines: it is no dialogue file. A
  // pipe is one, read line by line as the answers come.
  const std::filesystem::path path = files::find_file(name, files::Accept::anything_but_folders);
  file_ = std::make_unique<std::ifstream>();
  if (!path.empty()) file_->open(path, std::ios::in | std::ios::binary);
  if (!file_->is_open()) file_missing_ = true;
}

std::string DialogueUnit::read_line() {
  if (!file_) {
    auto line = screen_.read_line();
    if (!line) throw RunStop("END OF INPUT ON THE CONSOLE: MORE ANSWERS NEEDED");
    return *line;
  }
  if (file_missing_) throw RunStop("DIALOGUE FILE " + name_ + " CANNOT BE OPENED");
  std::string line;
  switch (read_answer_line(*file_, line)) {
    case LineRead::end:
      throw RunStop("END OF DIALOGUE FILE " + name_ + ": MORE ANSWERS NEEDED");
    case LineRead::too_long:
      throw RunStop("DIALOGUE FILE " + name_ + " HOLDS A LINE LONGER THAN " +
                    std::to_string(max_answer_line) + " CHARACTERS");
    case LineRead::ok:
      break;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  // An editor that saves UTF-8 may put a byte-order mark before the first
  // answer; it is no part of it.
  if (first_line_ && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
  first_line_ = false;
  return line;
}

namespace {

// The first `width` characters of an answer, blank-padded.
std::string answer_field(DialogueUnit& unit, std::size_t width) {
  std::string line = unit.read_line();
  line.resize(width, ' ');
  return line;
}

std::string refusal_line(std::string_view allowed) {
  std::string line = " THE ONLY ANSWERS ALLOWED ARE: ";
  for (std::size_t k = 0; k < allowed.size(); ++k) {
    if (k > 0) line += ", ";
    line += allowed[k];
  }
  return line;
}

}  // namespace

char ask_letter(DialogueUnit& unit, char default_letter, std::string_view allowed) {
  Console& screen = unit.screen();
  return ask_letter(unit, default_letter, allowed,
                    [&screen](std::string_view line, std::string_view prompt) {
                      screen.line(line);
                      screen.write(prompt);
                    });
}

char ask_letter(DialogueUnit& unit, char default_letter, std::string_view allowed,
                const RefusalWriter& show_refusal) {
  for (;;) {
    unsigned char answer = static_cast<unsigned char>(answer_field(unit, 1)[0]);
    if (answer == ' ') answer = static_cast<unsigned char>(default_letter);
    if (answer > 'Z') answer = static_cast<unsigned char>(answer - 32);
    if (allowed.find(static_cast<char>(answer)) != std::string_view::npos) {
      return static_cast<char>(answer);
    }
    show_refusal(refusal_line(allowed), " TRY AGAIN: ");
  }
}

int ask_integer(DialogueUnit& unit, int default_value) {
  std::string field = answer_field(unit, 10);
  if (field[0] == ' ') return default_value;
  long long value = 0;
  if (!format::read_integer(std::string_view(field).substr(0, 3), value)) {
    throw RunStop("ANSWER '" + field.substr(0, field.find_last_not_of(' ') + 1) +
                  "' IS NOT AN INTEGER NUMBER");
  }
  return static_cast<int>(value);
}

float ask_real(DialogueUnit& unit, float default_value) {
  std::string field = answer_field(unit, 12);
  if (field[0] == ' ') return default_value;
  float value = 0.0f;
  if (!format::read_real(field, 0, value) || !std::isfinite(value)) {
    throw RunStop("ANSWER '" + field.substr(0, field.find_last_not_of(' ') + 1) +
                  "' IS NOT A NUMBER");
  }
  return value;
}

void sort_ascending(std::span<int> list) {
  std::size_t m = list.size();
  while (m > 1) {
    --m;
    bool swapped = false;
    for (std::size_t i = 0; i < m; ++i) {
      if (list[i] > list[i + 1]) {
        std::swap(list[i], list[i + 1]);
        swapped = true;
      }
    }
    if (!swapped) return;
  }
}

void clear_console(Console& screen) {
  screen.clear();
}

}  // namespace console
