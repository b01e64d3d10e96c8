#include "mapping/scratch_file.hpp"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <future>
#include <limits>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "console/run_stop.hpp"

namespace mapping {

namespace {

constexpr std::size_t chunk_size = std::size_t{1} << 20;     // bytes read at a time
constexpr std::size_t chunk_entries = std::size_t{1} << 18;  // entries formatted at a time
constexpr std::size_t longest_item = 128;                    // room a whole item must fit in
constexpr std::size_t padding = 16;  // blanks after the data, for 8-byte loads
constexpr int items_per_line = 8;

std::uint32_t bits_of(float v) {
  return std::bit_cast<std::uint32_t>(v);
}

// Writing -----------------------------------------------------------------

// The text of one chunk of a dump: items eight to a line, the last line of
// the chunk ended too.
class ItemText {
 public:
  void clear() {
    used_ = 0;
    in_line_ = 0;
  }

  // One item: the value, or count*value for a run of count equal values.
  void item(std::size_t count, float value) {
    if (used_ + longest_item > buffer_.size()) buffer_.resize(2 * buffer_.size() + longest_item);
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

  void end_line() {
    if (in_line_ == 0) return;
    if (used_ == buffer_.size()) buffer_.resize(buffer_.size() + 1);
    buffer_[used_++] = '\n';
    in_line_ = 0;
  }

  const char* data() const { return buffer_.data(); }
  std::size_t size() const { return used_; }

 private:
  std::vector<char> buffer_ = std::vector<char>(chunk_entries * 12);
  std::size_t used_ = 0;
  int in_line_ = 0;
};

// The items of chunk c of values followed by zeros up to total entries: one
// item for each maximal run of bit-identical entries that starts in the
// chunk. A run may reach into later chunks (the zero tail is one run with any
// zeros before it); the last chunk carries the tail.
void format_chunk(ItemText& out, std::span<const float> values, std::size_t c, std::size_t chunks,
                  std::size_t total) {
  const std::size_t n = values.size();
  const std::size_t from = c * chunk_entries;
  const std::size_t to = std::min(n, from + chunk_entries);
  // The end of the run that holds entry i.
  const auto run_end = [&](std::size_t i) {
    const std::uint32_t bits = bits_of(values[i]);
    std::size_t j = i + 1;
    while (j < n && bits_of(values[j]) == bits) ++j;
    return j == n && bits == 0 ? total : j;
  };
  out.clear();
  std::size_t i = from;
  if (i > 0 && i < n && bits_of(values[i]) == bits_of(values[i - 1])) i = run_end(i);
  while (i < to) {
    const std::size_t j = run_end(i);
    out.item(j - i, values[i]);
    i = j;
  }
  if (c + 1 == chunks && i < total) out.item(total - i, 0.0f);
  out.end_line();
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
[[gnu::always_inline]] inline int scan_digits(const char*& p, std::uint64_t& m) {
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
[[gnu::always_inline]] inline bool quick_float(std::uint64_t m, int digits, int exp10, float& out) {
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

// The rest of a decimal number whose leading digits (digits of them, value
// m) have been read: fraction and exponent. Returns its end or nullptr.
[[gnu::always_inline]] inline const char* finish_real(const char* text, const char* p,
                                                      std::uint64_t m, int digits, float& out) {
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
  return p;
}

// An infinity or a NaN at p, as a dump writes the distances of points that
// overflowed; returns its end or nullptr. Needs a separator after the text.
const char* scan_special(const char* p, float& out) {
  const char* end = p;
  while (!is_separator(*end)) ++end;
  const auto result = std::from_chars(p, end, out);
  if (result.ec != std::errc() || result.ptr != end) return nullptr;
  return end;
}

// A signed decimal number at p; returns its end or nullptr.
const char* scan_real(const char* p, float& out) {
  bool negative = false;
  if (*p == '-' || *p == '+') negative = *p++ == '-';
  if (*p == 'i' || *p == 'n') {
    p = scan_special(p, out);
    if (negative) out = -out;
    return p;
  }
  std::uint64_t m = 0;
  const char* text = p;
  const int digits = scan_digits(p, m);
  p = finish_real(text, p, m, digits, out);
  if (negative) out = -out;
  return p;
}

// One item, "value" or "count*value", at p (not a separator); returns its
// end or nullptr. The leading digits are read once, as a count or as the
// start of the value.
const char* scan_item(const char* p, std::uint64_t& count, float& value) {
  count = 1;
  if (is_digit(*p)) {
    const char* text = p;
    std::uint64_t m = 0;
    const int digits = scan_digits(p, m);
    if (*p == '*') {
      if (digits > 18 || m == 0) return nullptr;
      count = m;
      p = scan_real(p + 1, value);
    } else {
      p = finish_real(text, p, m, digits, value);
    }
  } else {
    p = scan_real(p, value);
  }
  if (p == nullptr || !is_separator(*p)) return nullptr;
  return p;
}

// Reads a file in chunks; an item never straddles the end of the text held.
class DumpReader {
 public:
  explicit DumpReader(std::FILE* file) : file_(file), buffer_(chunk_size + padding) { refill(); }

  // Next item; false at the end of the data or at text that is no item.
  bool next(std::uint64_t& count, float& value) {
    for (;;) {
      while (p_ < end_ && is_separator(*p_)) ++p_;
      if (static_cast<std::size_t>(end_ - p_) >= longest_item || at_end_) break;
      refill();
    }
    if (p_ == end_) return false;
    const char* after = scan_item(p_, count, value);
    if (after == nullptr || after > end_ || (after == end_ && !at_end_)) return false;
    p_ = after;
    return true;
  }

  bool failed() const { return std::ferror(file_) != 0; }

 private:
  void refill() {
    const std::size_t kept = static_cast<std::size_t>(end_ - p_);
    if (kept > 0) std::memmove(buffer_.data(), p_, kept);  // p_ is null before the first fill
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
  // Dumps are written and read in large chunks of their own.
  std::setvbuf(file_, nullptr, _IONBF, 0);
}

void ScratchFile::dump(std::span<const float> values) {
  if (values.size() > dump_entries) throw std::length_error("distance array larger than a dump");
  // Two chunks are formatted side by side, and written in their order.
  const std::size_t chunks =
      std::max<std::size_t>(1, (values.size() + chunk_entries - 1) / chunk_entries);
  ItemText first, second;
  for (std::size_t c = 0; c < chunks; c += 2) {
    std::future<void> other;
    if (c + 1 < chunks) {
      other = std::async(std::launch::async,
                         [&, c] { format_chunk(second, values, c + 1, chunks, dump_entries); });
    }
    format_chunk(first, values, c, chunks, dump_entries);
    write(first.data(), first.size());
    if (other.valid()) {
      other.get();
      write(second.data(), second.size());
    }
  }
  if (std::fflush(file_) != 0) fail_write();
  // The dump replaces whatever followed it from an earlier, longer dump.
  std::error_code error;
  std::filesystem::resize_file(name_, static_cast<std::uintmax_t>(std::ftell(file_)), error);
  if (error) fail_write();
}

void ScratchFile::write(const char* text, std::size_t size) {
  if (size > 0 && std::fwrite(text, 1, size, file_) != size) fail_write();
}

void ScratchFile::fail_write() const {
  throw console::RunStop("ERROR WRITING SCRATCH FILE " + name_);
}

void ScratchFile::rewind() {
  if (std::fseek(file_, 0, SEEK_SET) != 0) {
    throw console::RunStop("CANNOT REWIND SCRATCH FILE " + name_);
  }
}

void ScratchFile::read(std::span<float> values) {
  DumpReader in(file_);
  const std::uint64_t n = values.size();
  std::uint64_t k = 0;
  while (k < dump_entries) {
    std::uint64_t count = 0;
    float value = 0.0f;
    if (!in.next(count, value) || count > dump_entries - k) fail_read();
    if (count == 1 && k < n) {
      values[k] = value;
    } else {
      for (std::uint64_t e = k; e < n && e < k + count; ++e) values[e] = value;
    }
    k += count;
  }
  if (in.failed()) fail_read();
}

void ScratchFile::fail_read() const {
  throw console::RunStop("SCRATCH FILE " + name_ + " DOES NOT READ BACK AS A WHOLE DISTANCE DUMP");
}

}  // namespace mapping
