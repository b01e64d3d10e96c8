// Parsing of layout texts into the flat item list, and the cache by text.

#include <cctype>
#include <mutex>
#include <stdexcept>
#include <unordered_map>

#include "format/layout_tree.hpp"

namespace format {

namespace {

// Widths and counts beyond this are typing errors, not layouts; the bound
// also keeps the number conversions inside their fixed buffers.
constexpr int largest_number = 1000;
// Deeper nesting than this is no layout anyone writes; the bound keeps the
// parser's recursion small.
constexpr int deepest_group = 32;

Item plain(Op op, int repeat = 1) {
  Item item;
  item.op = op;
  item.repeat = repeat;
  return item;
}

Item counted(Op op, int count) {
  Item item = plain(op);
  item.count = count;
  return item;
}

Item literal(std::string text, int repeat) {
  Item item = plain(Op::literal, repeat);
  item.text = std::move(text);
  return item;
}

[[noreturn]] void reject(std::string_view text, std::string_view why) {
  throw std::invalid_argument("not a layout: " + std::string(text) + " (" + std::string(why) + ")");
}

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  LayoutTree parse() {
    LayoutTree tree;
    tree.text = std::string(text_);
    if (!take('(')) fail("it must begin with '('");
    parse_list(tree.items, 0);
    // Characters after the closing parenthesis are ignored, as a Fortran
    // run-time format ignores them.
    finish(tree);
    return tree;
  }

 private:
  [[noreturn]] void fail(std::string_view why) const { reject(text_, why); }

  void skip_blanks() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t')) ++at_;
  }
  char peek() {
    skip_blanks();
    return at_ < text_.size()
               ? static_cast<char>(std::toupper(static_cast<unsigned char>(text_[at_])))
               : '\0';
  }
  bool take(char c) {
    if (peek() != c) return false;
    ++at_;
    return true;
  }
  bool next_is_digit() { return std::isdigit(static_cast<unsigned char>(peek())) != 0; }

  // An unsigned number; blanks between its digits are ignored.
  int number() {
    if (!next_is_digit()) fail("a number is missing");
    long value = 0;
    while (next_is_digit()) {
      value = value * 10 + (text_[at_++] - '0');
      if (value > largest_number) fail("a number is too large");
    }
    return static_cast<int>(value);
  }
  int optional_number(int absent) { return next_is_digit() ? number() : absent; }

  void parse_list(std::vector<Item>& items, int depth) {
    for (;;) {
      char c = peek();
      if (c == '\0') fail("a ')' is missing");
      if (c == ')') {
        ++at_;
        return;
      }
      if (c == ',') {  // empty items between commas are passed over
        ++at_;
        continue;
      }
      parse_item(items, depth);
    }
  }

  void parse_item(std::vector<Item>& items, int depth) {
    bool negative = take('-');
    bool signed_number = negative || take('+');
    bool has_count = next_is_digit();
    int n = has_count ? number() : 1;
    char c = peek();
    if (c == 'P') {
      ++at_;
      items.push_back(counted(Op::scale, negative ? -n : n));
      return;
    }
    if (signed_number) fail("a sign is allowed only before P");
    if (has_count && n == 0 && c != 'X') fail("a repeat count must be positive");
    if (c == 'X') {
      ++at_;
      items.push_back(counted(Op::skip, n));
      return;
    }
    if (c == 'H') {
      if (!has_count) fail("H needs a character count");
      ++at_;
      hollerith(items, n);
      return;
    }
    if (c == '(') {
      ++at_;
      if (depth + 1 > deepest_group) fail("groups are nested too deeply");
      group(items, n, depth + 1);
      return;
    }
    if (c == '\'' || c == '"') {
      ++at_;
      items.push_back(literal(quoted(c), n));
      return;
    }
    if (c == '/') {
      ++at_;
      items.push_back(plain(Op::slash, n));
      return;
    }
    if (has_count && !is_repeatable(c)) fail("a count stands before an item that cannot repeat");
    descriptor(items, n);
  }

  static bool is_repeatable(char c) {
    return c == 'I' || c == 'F' || c == 'E' || c == 'D' || c == 'G' || c == 'A';
  }

  void group(std::vector<Item>& items, int repeat, int depth) {
    items.push_back(plain(Op::group_open, repeat));
    parse_list(items, depth);
    items.push_back(plain(Op::group_close));
  }

  // A quoted literal; a doubled quote stands for one. Blanks count here.
  std::string quoted(char quote) {
    std::string text;
    for (;;) {
      if (at_ >= text_.size()) fail("a quoted text is not closed");
      char c = text_[at_++];
      if (c == quote) {
        if (at_ < text_.size() && text_[at_] == quote) {
          text += quote;
          ++at_;
          continue;
        }
        return text;
      }
      text += c;
    }
  }

  void hollerith(std::vector<Item>& items, int n) {
    if (at_ + static_cast<std::size_t>(n) > text_.size()) fail("an H text is cut short");
    items.push_back(literal(std::string(text_.substr(at_, n)), 1));
    at_ += n;
  }

  void descriptor(std::vector<Item>& items, int repeat) {
    char c = peek();
    ++at_;
    switch (c) {
      case 'I':
        return items.push_back(integer_item(repeat));
      case 'F':
        return items.push_back(real_item(Op::fixed, repeat, false));
      case 'E':
        return items.push_back(real_item(Op::exponent, repeat, true));
      case 'D':
        return items.push_back(real_item(Op::exponent_d, repeat, false));
      case 'G':
        return items.push_back(real_item(Op::general, repeat, true));
      case 'A':
        return items.push_back(text_item(repeat));
      case 'T':
        return items.push_back(tab_item());
      case ':':
        return items.push_back(plain(Op::colon));
      case '$':
      case '\\':
        return items.push_back(plain(Op::dollar));
      case 'S':
        return items.push_back(sign_item());
      case 'B':
        return items.push_back(blank_item());
      default:
        fail("an unknown item");
    }
  }

  Item integer_item(int repeat) {
    Item item = plain(Op::integer, repeat);
    item.width = number();
    if (take('.')) item.digits = number();
    return item;
  }

  Item real_item(Op op, int repeat, bool exponent_digits) {
    Item item = plain(op, repeat);
    item.width = number();
    if (!take('.')) fail("a '.d' is missing");
    item.digits = number();
    if (exponent_digits && take('E')) item.exponent = number();
    return item;
  }

  Item text_item(int repeat) {
    Item item = plain(Op::text, repeat);
    item.width = optional_number(-1);
    return item;
  }

  Item tab_item() {
    if (take('L')) return counted(Op::tab_left, number());
    if (take('R')) return counted(Op::skip, number());
    int column = number();
    if (column < 1) fail("T needs a column of 1 or more");
    return counted(Op::tab, column);
  }

  Item sign_item() {
    if (take('P')) return plain(Op::sign_plus);
    take('S');
    return plain(Op::sign_default);
  }

  Item blank_item() {
    if (take('N')) return plain(Op::blank_null);
    if (take('Z')) return plain(Op::blank_zero);
    fail("B must be BN or BZ");
  }

  // The layout goes on from its last top-level group when values remain.
  static void finish(LayoutTree& tree) {
    int depth = 0;
    for (std::size_t i = 0; i < tree.items.size(); ++i) {
      const Item& item = tree.items[i];
      if (item.op == Op::group_open && depth++ == 0) tree.reversion = i;
      if (item.op == Op::group_close) --depth;
    }
    for (std::size_t i = tree.reversion; i < tree.items.size(); ++i)
      if (is_data(tree.items[i].op)) tree.data_after_reversion = true;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

// Looks texts up without copying them into a std::string first.
struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const {
    return std::hash<std::string_view>{}(text);
  }
};

class LayoutCache {
 public:
  std::shared_ptr<const LayoutTree> find_or_parse(std::string_view text) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = trees_.find(text);
    if (found != trees_.end()) return found->second;
    auto tree = std::make_shared<const LayoutTree>(Parser(text).parse());
    trees_.emplace(std::string(text), tree);
    return tree;
  }

 private:
  std::mutex mutex_;
  std::unordered_map<std::string, std::shared_ptr<const LayoutTree>, TextHash, std::equal_to<>>
      trees_;
};

}  // namespace

Layout Layout::parse(std::string_view text) {
  // The one cache of the program: layouts are fixed texts or are built from
  // a few widths, so it stays small, and every write of a line finds its
  // parse here instead of parsing again.
  static LayoutCache cache;
  return Layout(cache.find_or_parse(text));
}

const std::string& Layout::text() const {
  return tree_->text;
}

}  // namespace format
