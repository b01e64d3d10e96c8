#pragma once

// Output conversion of one value through one data descriptor. Each function
// fills the buffer with the complete field (right-aligned, asterisks when the
// value does not fit) and gives its length.

#include <string_view>

#include "format/layout_tree.hpp"

namespace format {

// Room for the widest field the parser accepts, or for the minimal-width
// form (w = 0) of the largest double with the most decimals allowed.
struct FieldText {
  static constexpr int capacity = 2400;
  char chars[capacity];
  int length = 0;
  std::string_view view() const { return {chars, static_cast<std::size_t>(length)}; }
};

// The modes that earlier items of the same layout set.
struct EditModes {
  int scale = 0;      // kP
  bool plus = false;  // SP
};

void edit_integer(long long value, const Item& item, const EditModes& modes, FieldText& out);
void edit_real(double value, const Item& item, const EditModes& modes, FieldText& out);
void edit_text(std::string_view text, const Item& item, FieldText& out);
void edit_asterisks(const Item& item, FieldText& out);

// The shortest decimal form that reads back to the same value (a float when
// the value is one); the form of free-field output.
int shortest_real(double value, char* chars, int capacity);

}  // namespace format
