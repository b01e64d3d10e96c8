#include "mapping/scratch_file.hpp"

#include <bit>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <limits>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "console/run_stop.hpp"

namespace mapping {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t chunk_size = std::size_t{1} << 20;
constexpr std::size_t longest_item = 128;  // room a whole item must fit in
constexpr std::size_t padding = 16;        // blanks after the data, for 8-byte loads
constexpr int items_per_line = 8;

class Stopwatch {
 public:
  explicit Stopwatch(double& total) : total_(total), start_(Clock::now()) {}
  ~Stopwatch() { total_ += std::chrono::duration<double>(Clock::now() - start_).count(); }

 private:
  double& total_;
  Clock::time_point start_;
};

std::uint32_t bits_of(float v) {
  return std::bit_cast<std::uint32_t>(v);
}

// Writing -----------------------------------------------------------------

class DumpWriter {
 public:
  DumpWriter(std::FILE* file, const std::string& name)
      : file_(file), name_(name), buffer_(chunk_size + longest_item) {}

  // One item: the value, or count*value for a run of count equal values.
  void item(std::size_t count, float value) {
    if (used_ + longest_item > chunk_size) flush();
    char* p = buffer_.data() + used_;
    if (in_line_ > 0) *p++ = ' ';
    if (count > 1) {
      p = std::to_chars(p, p + 24, count).ptr;
      *p++ = '*';
    }
    p = std::to_chars(p, p + 32, value).ptr;
    if (++in_line_ == items_per_line) {
      *p++ = '\n';
      in_line_ = 0;
    }
    used_ = static_cast<std::size_t>(p - buffer_.data());
  }

  void finish() {
    if (in_line_ > 0) buffer_[used_++] = '\n';
    flush();
    if (std::fflush(file_) != 0) fail();
  }

 private:
  void flush() {
    if (used_ > 0 && std::fwrite(buffer_.data(), 1, used_, file_) != used_) fail();
    used_ = 0;
  }
  [[noreturn]] void fail() const { throw console::RunStop("ERROR WRITING SCRATCH FILE " + name_); }

  std::FILE* file_;
  const std::string& name_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
  int in_line_ = 0;
};

// Items for the entries values[0..] followed by zeros up to total entries,
// one item per maximal run of bit-identical entries.
void write_runs(DumpWriter& out, std::span<const float> values, std::size_t total) {
  const std::size_t n = values.size();
  std::size_t i = 0;
  while (i < total) {
    std::size_t j = total;  // the zero tail is one run
    float value = 0.0f;
    if (i < n) {
      value = values[i];
      const std::uint32_t bits = bits_of(value);
      j = i + 1;
      while (j < n && bits_of(values[j]) == bits) ++j;
      if (j == n && bits == 0) j = total;  // trailing zeros join the tail
    }
    out.item(j - i, value);
    i = j;
  }
}

// Reading -----------------------------------------------------------------

bool is_separator(char c) {
  return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == ',';
}
bool is_digit(char c) {
  return static_cast<unsigned char>(c - '0') < 10;
}

constexpr std::uint64_t power10_integer[9] = {1,      10,      100,      1000,     10000,
                                              100000, 1000000, 10000000, 100000000};
constexpr double power10_real[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                     1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                     1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Eight digit values (bytes 0..9, first digit in the lowest byte) as a number.
std::uint64_t eight_digits(std::uint64_t t) {
  t = t * 10 + (t >> 8);
  constexpr std::uint64_t mask = 0x000000FF000000FFull;
  constexpr std::uint64_t mul1 = 100 + (1000000ull << 32);
  constexpr std::uint64_t mul2 = 1 + (10000ull << 32);
  return (((t & mask) * mul1) + (((t >> 16) & mask) * mul2)) >> 32;
}

// Adds the digits at p to m (m = m * 10 + digit), eight at a time where the
// machine allows it; returns how many there were. Needs 8 readable bytes at p.
int scan_digits(const char*& p, std::uint64_t& m) {
  int count = 0;
  if constexpr (std::endian::native == std::endian::little) {
    for (;;) {
      std::uint64_t chunk;
      std::memcpy(&chunk, p, 8);
      const std::uint64_t other =
          ((chunk & 0xF0F0F0F0F0F0F0F0ull) ^ 0x3030303030303030ull) |
          (((chunk + 0x0606060606060606ull) & 0xF0F0F0F0F0F0F0F0ull) ^ 0x3030303030303030ull);
      const int n = other == 0 ? 8 : std::countr_zero(other) / 8;
      if (n == 0) return count;
      std::uint64_t t = chunk - 0x3030303030303030ull;
      if (n < 8) t <<= 8 * (8 - n);
      m = m * power10_integer[n] + eight_digits(t);
      p += n;
      count += n;
      if (n < 8) return count;
    }
  }
  while (is_digit(*p)) {
    m = m * 10 + static_cast<std::uint64_t>(*p++ - '0');
    ++count;
  }
  return count;
}

// m * 10^exp10 rounded to the nearest float, when one correctly rounded
// double operation settles it: the double lies within half a double unit of
// the true value, so unless it sits next to a midpoint between two floats it
// rounds to the same float as the true value does.
bool quick_float(std::uint64_t m, int digits, int exp10, float& out) {
  if (m == 0) {
    out = 0.0f;
    return true;
  }
  if (digits > 19 || m > (std::uint64_t{1} << 53) || exp10 < -22 || exp10 > 22) return false;
  const double d = exp10 < 0 ? static_cast<double>(m) / power10_real[-exp10]
                             : static_cast<double>(m) * power10_real[exp10];
  if (!(d >= static_cast<double>(std::numeric_limits<float>::min()) &&
        d < static_cast<double>(std::numeric_limits<float>::max()))) {
    return false;
  }
  constexpr std::uint64_t dropped = (std::uint64_t{1} << 29) - 1;  // bits a float does not keep
  constexpr std::uint64_t half = std::uint64_t{1} << 28;
  const std::uint64_t low = std::bit_cast<std::uint64_t>(d) & dropped;
  if (low + 1 >= half && low <= half + 1) return false;
  out = static_cast<float>(d);
  return true;
}

// A decimal number at p; returns the end of it, or nullptr when there is none.
const char* scan_real(const char* p, float& out) {
  bool negative = false;
  if (*p == '-' || *p == '+') negative = *p++ == '-';
  const char* text = p;
  std::uint64_t m = 0;
  int digits = scan_digits(p, m);
  int exp10 = 0;
  if (*p == '.') {
    ++p;
    const int fraction = scan_digits(p, m);
    digits += fraction;
    exp10 = -fraction;
  }
  if (digits == 0) return nullptr;
  if (*p == 'e' || *p == 'E') {
    ++p;
    bool down = false;
    if (*p == '-' || *p == '+') down = *p++ == '-';
    if (!is_digit(*p)) return nullptr;
    int e = 0;
    while (is_digit(*p)) {
      if (e < 100000) e = e * 10 + (*p - '0');
      ++p;
    }
    exp10 += down ? -e : e;
  }
  if (!quick_float(m, digits, exp10, out)) {
    const auto result = std::from_chars(text, p, out);
    if (result.ec != std::errc() || result.ptr != p) return nullptr;
  }
  if (negative) out = -out;
  return p;
}

// One item, "value" or "count*value"; returns its end or nullptr.
const char* scan_item(const char* p, std::uint64_t& count, float& value) {
  count = 1;
  const char* q = p;
  std::uint64_t r = 0;
  const int digits = scan_digits(q, r);
  if (digits > 0 && *q == '*') {
    if (digits > 18 || r == 0) return nullptr;
    count = r;
    p = q + 1;
  }
  p = scan_real(p, value);
  if (p == nullptr || !is_separator(*p)) return nullptr;
  return p;
}

class DumpReader {
 public:
  explicit DumpReader(std::FILE* file) : file_(file), buffer_(chunk_size + padding) { refill(); }

  // Next item; false at the end of the data or at text that is no item.
  bool next(std::uint64_t& count, float& value) {
    for (;;) {
      if (static_cast<std::size_t>(end_ - p_) < longest_item && !at_end_) refill();
      while (p_ < end_ && is_separator(*p_)) ++p_;
      if (p_ < end_) break;
      if (at_end_) return false;
    }
    if (static_cast<std::size_t>(end_ - p_) < longest_item && !at_end_) refill();
    const char* after = scan_item(p_, count, value);
    if (after == nullptr || after > end_) return false;
    if (after == end_ && !at_end_) return false;  // an item longer than any dump writes
    p_ = after;
    return true;
  }

  bool failed() const { return std::ferror(file_) != 0; }

 private:
  void refill() {
    const std::size_t kept = static_cast<std::size_t>(end_ - p_);
    std::memmove(buffer_.data(), p_, kept);
    const std::size_t got = std::fread(buffer_.data() + kept, 1, chunk_size - kept, file_);
    if (got < chunk_size - kept) at_end_ = true;
    p_ = buffer_.data();
    end_ = p_ + kept + got;
    std::memset(buffer_.data() + kept + got, ' ', padding);
  }

  std::FILE* file_;
  std::vector<char> buffer_;
  const char* p_ = nullptr;
  const char* end_ = nullptr;
  bool at_end_ = false;
};

}  // namespace

ScratchFile::~ScratchFile() {
  if (file_ != nullptr) std::fclose(file_);
}

void ScratchFile::open(const std::string& name) {
  if (file_ != nullptr) std::fclose(file_);
  name_ = name;
  file_ = std::fopen(name.c_str(), "r+b");
  if (file_ == nullptr) file_ = std::fopen(name.c_str(), "w+b");
  if (file_ == nullptr) throw console::RunStop("CANNOT OPEN SCRATCH FILE " + name);
}

void ScratchFile::dump(std::span<const float> values) {
  if (values.size() > dump_entries) throw std::length_error("distance array larger than a dump");
  Stopwatch watch(seconds_);
  DumpWriter out(file_, name_);
  write_runs(out, values, dump_entries);
  out.finish();
  // The dump replaces whatever followed it from an earlier, longer dump.
  std::error_code error;
  std::filesystem::resize_file(name_, static_cast<std::uintmax_t>(std::ftell(file_)), error);
  if (error) throw console::RunStop("ERROR WRITING SCRATCH FILE " + name_);
}

void ScratchFile::rewind() {
  Stopwatch watch(seconds_);
  if (std::fseek(file_, 0, SEEK_SET) != 0) {
    throw console::RunStop("CANNOT REWIND SCRATCH FILE " + name_);
  }
}

void ScratchFile::read(std::span<float> values) {
  Stopwatch watch(seconds_);
  DumpReader in(file_);
  const std::uint64_t n = values.size();
  std::uint64_t k = 0;
  while (k < dump_entries) {
    std::uint64_t count = 0;
    float value = 0.0f;
    if (!in.next(count, value) || count > dump_entries - k) fail_read();
    for (std::uint64_t e = k; e < n && e < k + count; ++e) values[e] = value;
    k += count;
  }
  if (in.failed()) fail_read();
}

void ScratchFile::fail_read() const {
  throw console::RunStop("SCRATCH FILE " + name_ + " DOES NOT READ BACK AS A WHOLE DISTANCE DUMP");
}

}  // namespace mapping
