#include "input/file_names.hpp"

#include "console/printable.hpp"
#include "files/find.hpp"
#include "input/sample_table.hpp"

namespace input {

namespace {

constexpr std::string_view extensions = ".CSV.DBF.FXD.INF";

std::string_view extension_of(DataKind kind) {
  switch (kind) {
    case DataKind::comma_separated:
      return extensions.substr(0, 4);
    case DataKind::dbase:
      return extensions.substr(4, 4);
    case DataKind::fixed_layout:
      break;
  }
  return extensions.substr(8, 4);
}

std::string trimmed(const std::string& text) {
  std::size_t end = text.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

// True when the text's last character before a possible extension (one of
// positions L-3 .. L, counted from 0 here) is a point.
bool has_extension(const std::string& text, std::size_t last) {
  std::size_t first = last >= 3 ? last - 3 : 0;
  return text.find('.', first) <= last;
}

bool too_long(std::string_view answer) {
  std::size_t end = answer.find_last_not_of(' ');
  return end != std::string_view::npos && end + 1 > max_name_length;
}

}  // namespace

std::optional<FileNames> form_file_names(std::string_view answer, DataKind kind) {
  const std::string text = fixed_width(answer, 80);
  // Position 80 is never examined: a name that reaches it is cut there.
  std::size_t last = std::string::npos;
  for (std::size_t at = 79; at-- > 0;) {
    if (text[at] == '.') return FileNames{trimmed(text), trimmed(text), true};
    if (text[at] != ' ') {
      last = at;
      break;
    }
  }
  if (last == std::string::npos) return std::nullopt;
  const std::string stem = text.substr(0, last + 1);
  FileNames names;
  names.data = has_extension(text, last) ? stem : stem + std::string(extension_of(kind));
  names.info = stem + std::string(extensions.substr(12, 4));
  return names;
}

FileNames ask_file_names(console::DialogueUnit& dialogue, DataKind kind) {
  console::Console& screen = dialogue.screen();
  for (;;) {
    screen.write(" Name datafile without extension? ");
    const std::string answer = dialogue.read_line();
    std::optional<FileNames> names = form_file_names(answer, kind);
    if (!names) continue;
    if (too_long(answer)) {
      screen.line(" FILENAME TOO LONG: AT MOST 76 CHARACTERS. REDO!");
      continue;
    }
    if (names->as_typed) return *names;
    if (kind == DataKind::fixed_layout)
      screen.line(" NAME INFOFILE= " + console::printable(names->info));
    screen.line(" NAME DATAFILE= " + console::printable(names->data));
    return *names;
  }
}

FileNames open_first_file(console::DialogueUnit& dialogue, DataKind kind, std::ifstream& file) {
  for (bool first = true;; first = false) {
    if (!first) dialogue.screen().line("FILENAME NOT CORRECT. REDO!");
    FileNames names = ask_file_names(dialogue, kind);
    const std::string& name = kind == DataKind::fixed_layout ? names.info : names.data;
    if (files::open_regular_file(name, file)) return names;
  }
}

}  // namespace input
