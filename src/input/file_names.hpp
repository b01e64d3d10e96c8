#pragma once

// The file-name dialogue shared by the three readers: the user types a name
// without extension and the kind of data supplies it.

#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#include "console/dialogue.hpp"

namespace input {

enum class DataKind { fixed_layout, dbase, comma_separated };

struct FileNames {
  std::string data;       // the data file
  std::string info;       // the information file (fixed-layout data only)
  bool as_typed = false;  // the name ended in a point: no extension, nothing shown
};

// Longest name that leaves room for a four-character extension in the
// 80-character name.
inline constexpr std::size_t max_name_length = 76;

// Forms the names from one typed answer; nullopt when the answer is blank
// (the question is then asked again without a message).
std::optional<FileNames> form_file_names(std::string_view answer, DataKind kind);

// Asks " Name datafile without extension? " until the answer is usable and
// shows the names formed.
FileNames ask_file_names(console::DialogueUnit& dialogue, DataKind kind);

// Runs the file-name dialogue until the file to be opened first (the
// information file for fixed-layout data, the data file otherwise) opens,
// saying "FILENAME NOT CORRECT. REDO!" before every new attempt. Only a
// regular file opens, found by its name without regard to letter case when
// the name as formed does not exist; the names keep the form shown.
FileNames open_first_file(console::DialogueUnit& dialogue, DataKind kind, std::ifstream& file);

}  // namespace input
