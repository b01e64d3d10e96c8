#include "files/find.hpp"

#include <algorithm>
#include <string_view>
#include <vector>

namespace files {

namespace fs = std::filesystem;

namespace {

char upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool same_ignoring_case(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return upper(x) == upper(y); });
}

// Links followed: a link to a folder is a folder, a dangling link nothing.
bool acceptable(const fs::path& path, Accept accept) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error || !fs::exists(status)) return false;
  if (accept == Accept::regular_files) return fs::is_regular_file(status);
  return !fs::is_directory(status);
}

std::vector<std::string> case_variants(const fs::path& folder, const std::string& file,
                                       Accept accept) {
  std::vector<std::string> matches;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string candidate = it->path().filename().string();
    if (same_ignoring_case(candidate, file) && acceptable(it->path(), accept)) {
      matches.push_back(candidate);
    }
  }
  return matches;
}

}  // namespace

fs::path find_file(const std::string& name, Accept accept) {
  if (name.empty() || name.find('\0') != std::string::npos) return {};
  const fs::path wanted(name);
  if (acceptable(wanted, accept)) return wanted;
  const std::string file = wanted.filename().string();
  if (file.empty()) return {};
  const fs::path folder = wanted.has_parent_path() ? wanted.parent_path() : fs::path(".");
  const std::vector<std::string> matches = case_variants(folder, file, accept);
  if (matches.empty()) return {};
  const std::string first = *std::min_element(matches.begin(), matches.end());
  return wanted.has_parent_path() ? folder / first : fs::path(first);
}

bool open_regular_file(const std::string& name, std::ifstream& file) {
  file.close();
  file.clear();
  const fs::path path = find_file(name, Accept::regular_files);
  if (path.empty()) return false;
  file.open(path, std::ios::in | std::ios::binary);
  return file.is_open();
}

}  // namespace files
