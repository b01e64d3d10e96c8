#pragma once

// Helpers of the data-input tests: a scratch folder that is the current
// directory while a test runs, a scripted run of data input, and a writer of
// dBase III and IV bytes (type F fields are dBase IV's).

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "console/console.hpp"
#include "console/dialogue.hpp"
#include "console/run_stop.hpp"
#include "input/data_input.hpp"
#include "input/sample_table.hpp"

namespace input_test {

namespace fs = std::filesystem;

class ScratchFolder {
 public:
  ScratchFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = fs::temp_directory_path() / ("tarnwick_input_" + std::to_string(::getpid()) + "_" +
                                         info->test_suite_name() + "_" + info->name());
    fs::remove_all(path_);
    fs::create_directories(path_);
    previous_ = fs::current_path();
    fs::current_path(path_);
  }
  ~ScratchFolder() {
    fs::current_path(previous_);
    fs::remove_all(path_);
  }
  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(path_ / name, std::ios::binary);
    out << bytes;
  }

 private:
  fs::path path_;
  fs::path previous_;
};

// One scripted run of data input.
struct InputRun {
  explicit InputRun(std::vector<std::string> answers, bool terminal = false)
      : screen(std::move(answers), terminal), dialogue(screen) {}

  void run() { input::run_data_input(dialogue, *table, 999); }
  // Runs and gives the message of the RunStop that ended it ("" if none).
  std::string stop_message() {
    try {
      run();
    } catch (const console::RunStop& stop) {
      return stop.what();
    }
    return "";
  }
  const std::string& transcript() const { return screen.transcript(); }
  bool shows(const std::string& text) const {
    return screen.transcript().find(text) != std::string::npos;
  }
  int times_shown(const std::string& text) const {
    int n = 0;
    const std::string& t = screen.transcript();
    for (auto at = t.find(text); at != std::string::npos; at = t.find(text, at + 1)) ++n;
    return n;
  }

  console::ScriptedConsole screen;
  console::DialogueUnit dialogue;
  std::unique_ptr<input::SampleTable> table = std::make_unique<input::SampleTable>();
};

inline std::vector<std::string> operator+(std::vector<std::string> a,
                                          const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// dBase III and IV bytes -----------------------------------------------------

struct DbfField {
  std::string name;
  char type;
  int length;
  int decimals = 0;
};

// One record: the deletion flag, then each value in its field, numbers
// right-aligned and texts left-aligned, cut to the field's length.
inline std::string dbf_record(const std::vector<DbfField>& fields,
                              const std::vector<std::string>& values, bool deleted = false) {
  std::string record(1, deleted ? '*' : ' ');
  for (std::size_t j = 0; j < fields.size(); ++j) {
    std::string v = j < values.size() ? values[j] : "";
    const auto width = static_cast<std::size_t>(fields[j].length);
    if (v.size() > width) v.resize(width);
    const std::string pad(width - v.size(), ' ');
    const bool number = fields[j].type == 'N' || fields[j].type == 'F';
    record += number ? pad + v : v + pad;
  }
  return record;
}

struct DbfOptions {
  int extra_header_bytes = 0;   // between the terminator and the first record
  int record_length_shift = 0;  // a header that misstates the record length
  bool end_of_file_byte = true;
  char version = 0x03;  // dBase III and IV tables without memo; 0x8B dBase IV with memo
};

inline void put16(std::string& bytes, std::size_t at, int value) {
  bytes[at] = static_cast<char>(value & 0xFF);
  bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

inline std::string dbf_bytes(const std::vector<DbfField>& fields,
                             const std::vector<std::string>& records, DbfOptions options = {}) {
  int record_length = 1;
  for (const DbfField& f : fields) record_length += f.length;
  const int header_length =
      32 + 32 * static_cast<int>(fields.size()) + 1 + options.extra_header_bytes;
  std::string bytes(32, '\0');
  bytes[0] = options.version;
  bytes[1] = 95;
  bytes[2] = 1;
  bytes[3] = 1;
  const auto count = static_cast<std::uint32_t>(records.size());
  for (int b = 0; b < 4; ++b) bytes[4 + b] = static_cast<char>((count >> (8 * b)) & 0xFF);
  put16(bytes, 8, header_length);
  put16(bytes, 10, record_length + options.record_length_shift);
  for (const DbfField& f : fields) {
    std::string d(32, '\0');
    for (std::size_t c = 0; c < f.name.size() && c < 10; ++c) d[c] = f.name[c];
    d[11] = f.type;
    d[16] = static_cast<char>(f.length & 0xFF);
    d[17] = static_cast<char>(f.decimals);
    bytes += d;
  }
  bytes += '\r';
  bytes += std::string(static_cast<std::size_t>(options.extra_header_bytes), '\0');
  for (const std::string& r : records) bytes += r;
  if (options.end_of_file_byte) bytes += '\x1A';
  return bytes;
}

}  // namespace input_test
