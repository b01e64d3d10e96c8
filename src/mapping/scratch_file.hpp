#pragma once

// The distance scratch files NLMA.TMP and NLMB.TMP. A dump holds every entry
// of a distance array, all dump_entries of them, as free-field text: the
// shortest decimal form that reads back to the same float (inf and nan for
// distances that overflowed), the repeat form r*value for a run of equal
// values (so the unused zero tail costs one item), eight items to a line, and
// a new line every chunk of 2^18 entries. Reading a dump back restores the
// array bit for bit. Dumps are formatted on two threads; the text does not
// depend on that.

#include <cstddef>
#include <cstdio>
#include <span>
#include <string>

namespace mapping {

class ScratchFile {
 public:
  // Entries in one dump: the size of a packed distance array for the
  // largest sample count the tables were laid out for.
  static constexpr std::size_t dump_entries = 32'000'000;

  ScratchFile() = default;
  ~ScratchFile();
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  // Opens the file at its start, keeping what it holds; creates it when absent.
  void open(const std::string& name);
  // Writes values followed by zeros up to dump_entries entries, from the
  // current position; the file ends after the dump.
  void dump(std::span<const float> values);
  void rewind();
  // Reads dump_entries entries from the current position; the first
  // values.size() of them go into values, the rest (the zero tail) is passed.
  void read(std::span<float> values);

  const std::string& name() const { return name_; }

 private:
  void write(const char* text, std::size_t size);
  [[noreturn]] void fail_write() const;
  [[noreturn]] void fail_read() const;
  std::FILE* file_ = nullptr;
  std::string name_;
};

}  // namespace mapping
