#include "mapping/scratch_file.hpp"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <utility>
#include <vector>

#include "console/run_stop.hpp"

namespace mapping {

namespace {

constexpr std::size_t chunk_entries = std::size_t{1} << 18;  // entries formatted at a time
constexpr std::size_t longest_item = 128;                    // room a whole item must fit in
constexpr int items_per_line = 8;

std::uint32_t bits_of(float v) {
  return std::bit_cast<std::uint32_t>(v);
}

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

// The file a dump is written to: a new file of this process's own beside
// the scratch file, which takes the scratch file's name when the dump is
// complete and is removed when it is not. A scratch file that is no plain
// file (a link the user made to put it elsewhere, a device) is written
// through in place, as is one in a folder that takes no new file but may
// still let us write the files already in it.
class DumpFile {
 public:
  explicit DumpFile(const std::string& name) : name_(name) {
    if (replaceable(name)) create_own();
    if (file_ == nullptr) {
      path_ = name;
      file_ = std::fopen(path_.c_str(), "wb");
    }
    if (file_ == nullptr) fail();
    // The text is written in large pieces of its own.
    std::setvbuf(file_, nullptr, _IONBF, 0);
  }

  ~DumpFile() {
    if (file_ != nullptr) std::fclose(file_);
    if (path_ != name_) std::remove(path_.c_str());
  }

  DumpFile(const DumpFile&) = delete;
  DumpFile& operator=(const DumpFile&) = delete;

  void write(const char* text, std::size_t size) {
    if (size > 0 && std::fwrite(text, 1, size, file_) != size) fail();
  }

  void commit() {
    std::FILE* file = std::exchange(file_, nullptr);
    if (std::fclose(file) != 0) fail();
    if (path_ != name_ && std::rename(path_.c_str(), name_.c_str()) != 0) fail();
    path_ = name_;
  }

 private:
  static bool replaceable(const std::string& name) {
    std::error_code error;
    const std::filesystem::file_type type = std::filesystem::symlink_status(name, error).type();
    return type == std::filesystem::file_type::regular ||
           type == std::filesystem::file_type::not_found;
  }

  void create_own() {
    static std::atomic<unsigned> made{0};
    const std::string own = name_ + "." + std::to_string(::getpid()) + ".";
    for (int attempt = 0; attempt < 100 && file_ == nullptr; ++attempt) {
      path_ = own + std::to_string(made.fetch_add(1));
      errno = 0;
      file_ = std::fopen(path_.c_str(), "wbx");
      if (file_ == nullptr && errno != EEXIST) break;
    }
  }

  [[noreturn]] void fail() const { throw console::RunStop("ERROR WRITING SCRATCH FILE " + name_); }

  std::string name_;
  std::string path_;
  std::FILE* file_ = nullptr;
};

}  // namespace

void open_scratch_file(const std::string& name) {
  std::FILE* file = std::fopen(name.c_str(), "r+b");
  if (file == nullptr) file = std::fopen(name.c_str(), "w+b");
  if (file == nullptr) throw console::RunStop("CANNOT OPEN SCRATCH FILE " + name);
  std::fclose(file);
}

void dump_scratch_file(const std::string& name, std::span<const float> values,
                       parallel::Team& team) {
  if (values.size() > dump_entries) throw std::length_error("distance array larger than a dump");
  const std::size_t chunks =
      std::max<std::size_t>(1, (values.size() + chunk_entries - 1) / chunk_entries);
  std::vector<ItemText> texts(std::min(chunks, static_cast<std::size_t>(team.size())));
  DumpFile file(name);
  // A batch of chunks is formatted side by side, then written in its order.
  for (std::size_t first = 0; first < chunks; first += texts.size()) {
    const std::size_t batch = std::min(texts.size(), chunks - first);
    team.run(batch, [&](std::size_t b) {
      format_chunk(texts[b], values, first + b, chunks, dump_entries);
    });
    for (std::size_t b = 0; b < batch; ++b) file.write(texts[b].data(), texts[b].size());
  }
  file.commit();
}

}  // namespace mapping
