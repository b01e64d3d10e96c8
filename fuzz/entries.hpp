#pragma once

// The entries of the fuzz targets, shared with the regression test that
// replays the inputs that once broke something. Each entry takes arbitrary
// bytes and must return normally: a refusal the interface documents
// (std::invalid_argument from the layout engine, a console::RunStop from data
// input) is a clean end; any other exception, a crash or a sanitizer report is
// a finding.

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "console/console.hpp"
#include "console/dialogue.hpp"
#include "console/run_stop.hpp"
#include "format/layout.hpp"
#include "input/data_input.hpp"
#include "input/sample_table.hpp"

namespace fuzz_entry {

inline std::string_view as_text(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The first line and the rest after it.
inline std::pair<std::string_view, std::string_view> split_first_line(std::string_view text) {
  const std::size_t end = text.find('\n');
  if (end == std::string_view::npos) return {text, {}};
  return {text.substr(0, end), text.substr(end + 1)};
}

// Layout parser and writer ------------------------------------------------

inline format::Values sample_values() {
  return format::values(7, -12345, 2147483647LL, 0.5f, -3.25e-7, 1.0e30, 0.0f, "TEXT", "",
                        std::string(12, 'W'));
}

inline void layout_writer(const std::uint8_t* data, std::size_t size) {
  std::optional<format::Layout> layout;
  try {
    layout = format::Layout::parse(as_text(data, size));
  } catch (const std::invalid_argument&) {
    return;  // not a layout
  }
  const format::Values all = sample_values();
  // All the values, only the first, and none: each ends the walk elsewhere.
  for (std::size_t count : {all.size(), std::size_t{1}, std::size_t{0}}) {
    try {
      (void)format::write(*layout, std::span<const format::Value>(all.data(), count));
    } catch (const std::invalid_argument&) {
      // values left for a layout whose repeated part takes none
    }
  }
}

// Formatted record reader --------------------------------------------------

inline void record_reader(const std::uint8_t* data, std::size_t size) {
  const auto [layout_text, records] = split_first_line(as_text(data, size));
  try {
    const format::Layout layout = format::Layout::parse(layout_text);
    for (int count : {1, 12}) {
      format::StringLines lines(records);
      std::vector<format::Field> fields;
      (void)format::read(layout, lines, count, fields);
      format::StringLines again(records);
      (void)format::read(layout, again, count, fields, 10);
    }
  } catch (const std::invalid_argument&) {
    // not a layout, or no item for the values asked
  }
}

// Free-field reader ---------------------------------------------------------

// The most records a text can fill: one per character or line end, and r
// more for each repeat count r* in it.
inline std::size_t most_records(std::string_view text) {
  std::size_t most = text.size() + 2;
  for (std::size_t star = text.find('*'); star != std::string_view::npos;
       star = text.find('*', star + 1)) {
    std::size_t first = star;
    while (first > 0 && text[first - 1] >= '0' && text[first - 1] <= '9') --first;
    if (star - first > 6) return 1'000'000'000;  // no check for such repeats
    std::size_t r = 0;
    for (std::size_t at = first; at < star; ++at) r = r * 10 + (text[at] - '0');
    most += r;
  }
  return most;
}

// Reads records until the data end; more records than the text can fill
// means a read that takes nothing and would loop for ever. Long repeats are
// cut off after a bound that keeps one input quick.
template <class Number>
void read_all_lists(std::string_view text, std::size_t width) {
  format::StringLines lines(text);
  std::vector<Number> values(width, Number{});
  const std::size_t most = most_records(text);
  for (std::size_t record = 0; record < std::min<std::size_t>(most, 100'000); ++record) {
    const format::ListStatus status = format::read_list(lines, std::span<Number>(values));
    if (status == format::ListStatus::end_of_data || status == format::ListStatus::short_data)
      return;
  }
  if (most <= 100'000) std::abort();
}

inline void list_reader(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = as_text(data, size);
  read_all_lists<double>(text, 3);
  read_all_lists<float>(text, 1);
  read_all_lists<float>(text, 7);
  std::string_view rest = text;
  while (!rest.empty()) {
    const auto [line, after] = split_first_line(rest);
    (void)format::split_list_items(line);
    rest = after;
  }
}

// Data input through the whole dialogue -------------------------------------

// The files are written into one scratch folder per process, made the
// current directory on first use (the readers open plain names) and removed
// at the end of the process.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string name = (std::filesystem::temp_directory_path() / "tarnwick_fuzz_XXXXXX").string();
    if (!::mkdtemp(name.data())) std::abort();
    path_ = name;
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

inline void enter_scratch_folder() {
  static const ScratchFolder folder;
}

inline void write_file(const std::string& name, std::string_view bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) std::abort();
}

// Answers after the source letter and the file name: either all defaults, or
// a mix of choices (numeric ID, no, stop, a number, a refused letter) whose
// meaning shifts with the questions each file brings. The dialogue ends when
// they run out, which is a RunStop.
inline std::vector<std::string> answers(char source, bool defaults) {
  std::vector<std::string> lines{std::string(1, source), "FUZZ"};
  if (source == 'D') lines.emplace_back("FUZZED TABLE");
  static const char* const mix[] = {"", "Y", "", "N", "Y", "S", "", "2", "Q", "", "N", "1"};
  for (std::size_t i = 0; i < 600; ++i) lines.emplace_back(defaults ? "" : mix[i % std::size(mix)]);
  return lines;
}

inline void run_input(char source, bool defaults) {
  console::ScriptedConsole screen(answers(source, defaults), !defaults);
  console::DialogueUnit dialogue(screen);
  // One table, emptied by copying an empty one over it: building a new
  // 5000 x 200 table for every input would take most of the time.
  static const input::SampleTable empty;
  static input::SampleTable table;
  table = empty;
  try {
    input::run_data_input(dialogue, table, 999);
  } catch (const console::RunStop&) {
    // a documented end of the run
  }
}

inline void run_input_both_ways(char source) {
  run_input(source, true);
  run_input(source, false);
}

inline void csv_reader(const std::uint8_t* data, std::size_t size) {
  enter_scratch_folder();
  write_file("FUZZ.CSV", as_text(data, size));
  run_input_both_ways('C');
}

// The information file, then this marker on a line of its own, then the data
// file; without the marker the data file is empty.
inline constexpr std::string_view data_marker = "\n%%DATA%%\n";

inline void fixed_reader(const std::uint8_t* data, std::size_t size) {
  enter_scratch_folder();
  const std::string_view text = as_text(data, size);
  const std::size_t at = text.find(data_marker);
  write_file("FUZZ.INF", text.substr(0, at));
  write_file("FUZZ.FXD", at == std::string_view::npos ? std::string_view()
                                                      : text.substr(at + data_marker.size()));
  run_input_both_ways('G');
}

inline void dbase_reader(const std::uint8_t* data, std::size_t size) {
  enter_scratch_folder();
  write_file("FUZZ.DBF", as_text(data, size));
  run_input_both_ways('D');
}

}  // namespace fuzz_entry
