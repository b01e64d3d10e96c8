// Speed of the edit-descriptor engine on the heaviest uses of a run: the
// membership lines of 5000 samples with 35 classes, free-field dumps of a
// million reals written and read back, and formatted records of 200 fields.
// Prints one table.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "format/layout.hpp"

namespace {

using Clock = std::chrono::steady_clock;

float next_unit(unsigned& state) {
  state = state * 1664525u + 1013904223u;
  return static_cast<float>(state >> 8) / 16777216.0f;
}

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void report(const char* what, double seconds, double items, std::size_t checksum) {
  std::printf("%-46s %9.3f s %9.1f ns/value  (check %zu)\n", what, seconds, 1e9 * seconds / items,
              checksum);
}

void membership_lines() {
  unsigned seed = 1;
  std::vector<float> u(35);
  std::size_t bytes = 0;
  auto start = Clock::now();
  for (int i = 1; i <= 5000; ++i) {
    for (float& v : u) v = next_unit(seed);
    bytes += format::render("(' ',I4,2X,A10,1X,F6.3,2E12.6,3X,20(F6.4,3X))", i, "SAMPLE    ", 1.0f,
                            next_unit(seed) * 100.0f, -next_unit(seed), u)
                 .size();
  }
  report("membership lines, 5000 x (5 + 35 values)", seconds_since(start), 5000.0 * 40, bytes);
}

std::vector<std::string> list_dump(const std::vector<float>& values) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < values.size(); at += 10) {
    std::string line = format::write_list(std::span<const float>(values.data() + at, 10));
    line.pop_back();
    lines.push_back(std::move(line));
  }
  return lines;
}

void free_field_dump() {
  unsigned seed = 2;
  std::vector<float> values(1000000);
  for (float& v : values) v = next_unit(seed) * 1000.0f;
  auto start = Clock::now();
  std::vector<std::string> lines = list_dump(values);
  report("free-field write, 1e6 floats, 10 per line", seconds_since(start), 1e6, lines.size());
  format::StringLines source(std::move(lines));
  std::vector<float> back(values.size());
  start = Clock::now();
  format::ListStatus status = format::read_list(source, back);
  report("free-field read back, 1e6 floats", seconds_since(start), 1e6,
         status == format::ListStatus::ok && back == values ? 1 : 0);
}

void formatted_records() {
  unsigned seed = 3;
  std::vector<float> row(200);
  std::vector<std::string> lines;
  for (int i = 0; i < 5000; ++i) {
    for (float& v : row) v = next_unit(seed) * 999.0f;
    std::string line = format::render("(A10,200F8.2)", "SAMPLE", row);
    line.pop_back();
    lines.push_back(std::move(line));
  }
  format::StringLines source(std::move(lines));
  format::Layout layout = format::Layout::parse("(A10,200F8.2)");
  std::vector<format::Field> fields;
  std::size_t valid = 0;
  auto start = Clock::now();
  while (format::read(layout, source, 201, fields) == format::ReadStatus::ok)
    for (const format::Field& f : fields) valid += f.valid ? 1 : 0;
  report("formatted read, 5000 records of A10,200F8.2", seconds_since(start), 5000.0 * 201, valid);
}

}  // namespace

int main() {
  membership_lines();
  free_field_dump();
  formatted_records();
}
