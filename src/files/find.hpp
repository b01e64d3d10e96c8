#pragma once

// Files by the names users give them. The names the program forms end in
// upper-case extensions (".CSV", ".OPT"), while the tools that write the
// files on a case-sensitive file system often use lower case: a name that
// does not exist as given stands for the one file in its folder whose name
// differs from it only in ASCII letter case.

#include <filesystem>
#include <fstream>
#include <string>

namespace files {

// Which entries a name may stand for.
enum class Accept {
  regular_files,         // data and result files: never a folder, FIFO or device
  anything_but_folders,  // a dialogue file may be a pipe or a terminal
};

// The entry the name stands for: the name itself when it is acceptable,
// otherwise the first, in byte order, of the acceptable entries in its folder
// whose names equal it except for ASCII letter case. Links are followed.
// Empty when there is none (and for a name that holds a zero byte, which no
// file name can).
std::filesystem::path find_file(const std::string& name, Accept accept);

// Opens the regular file that the name stands for, for reading as bytes.
// The type is checked before the file is opened, so that a FIFO never blocks
// and a device never streams without end. False when there is none.
bool open_regular_file(const std::string& name, std::ifstream& file);

}  // namespace files
