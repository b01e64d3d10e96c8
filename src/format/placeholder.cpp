// Placeholder until the edit-descriptor engine lands: just enough to link.
#include <stdexcept>

#include "format/layout.hpp"

namespace format {

struct LayoutTree {
  std::string text;
};

Layout Layout::parse(std::string_view text) {
  return Layout(std::make_shared<LayoutTree>(LayoutTree{std::string(text)}));
}
const std::string& Layout::text() const { return tree_->text; }
std::string write(const Layout& layout, std::span<const Value>) { return layout.text() + "\n"; }
std::string write(std::string_view layout, std::span<const Value> v) {
  return write(Layout::parse(layout), v);
}
std::string write_list(std::span<const Value>) { return "\n"; }
StringLines::StringLines(std::string_view) {}
bool StringLines::next_line(std::string& line) {
  if (next_ >= lines_.size()) return false;
  line = lines_[next_++];
  return true;
}
bool read_number(std::string_view, int, double&) { throw std::logic_error("placeholder"); }
bool read_integer(std::string_view, long long&) { throw std::logic_error("placeholder"); }

}  // namespace format
namespace format {
bool read_real(std::string_view, int, float&) { throw std::logic_error("placeholder"); }
}  // namespace format
