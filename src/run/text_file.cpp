#include "run/text_file.hpp"

#include "console/run_stop.hpp"

namespace run {

void TextFile::open(const std::string& name) {
  if (out_.is_open()) out_.close();
  name_ = name;
  out_.clear();
  // A zero byte would cut the name short, and another file would be emptied.
  if (name.find('\0') == std::string::npos) {
    out_.open(name, std::ios::out | std::ios::trunc | std::ios::binary);
  }
  if (!out_.is_open() || !out_) throw console::RunStop("CANNOT OPEN FILE " + name + " FOR WRITING");
}

void TextFile::text(std::string_view text) {
  if (!out_.is_open()) throw console::RunStop("FILE " + name_ + " IS NOT OPEN FOR WRITING");
  out_.write(text.data(), static_cast<std::streamsize>(text.size()));
  check();
}

void TextFile::flush() {
  if (!out_.is_open()) return;
  out_.flush();
  check();
}

void TextFile::close() {
  if (!out_.is_open()) return;
  out_.flush();
  check();
  out_.close();
}

void TextFile::check() {
  if (!out_) throw console::RunStop("ERROR WRITING FILE " + name_);
}

}  // namespace run
