#pragma once

// The parsed form of a layout, shared by the writer and the reader: a flat
// list of items in which a group is an opening and a closing item, so that
// both can walk it with a small stack instead of recursion.

#include <string>
#include <vector>

#include "format/layout.hpp"

namespace format {

enum class Op {
  literal,       // 'text', "text" or nH text
  skip,          // nX and TRn: move right n columns
  tab,           // Tc: move to column c
  tab_left,      // TLn: move left n columns
  slash,         // /: end of record
  colon,         // :: stop when no values are left
  dollar,        // $: no line end after the last record
  scale,         // kP
  blank_null,    // BN: blanks in numeric input fields are ignored
  blank_zero,    // BZ: blanks in numeric input fields are zeros
  sign_plus,     // SP: a plus sign before positive numbers
  sign_default,  // S and SS: no plus sign
  integer,       // Iw or Iw.m
  fixed,         // Fw.d
  exponent,      // Ew.d or Ew.dEe
  exponent_d,    // Dw.d
  general,       // Gw.d or Gw.dEe
  text,          // Aw or A
  group_open,    // n(
  group_close    // )
};

inline bool is_data(Op op) {
  return op == Op::integer || op == Op::fixed || op == Op::exponent || op == Op::exponent_d ||
         op == Op::general || op == Op::text;
}

struct Item {
  Op op = Op::literal;
  int repeat = 1;     // repeat count of a descriptor, a group or a literal
  int width = -1;     // w; -1 for A without a width
  int digits = -1;    // d of F, E, D, G; m of Iw.m; -1 when not given
  int exponent = -1;  // e of Ew.dEe and Gw.dEe; -1 when not given
  int count = 0;      // n of nX, TLn, TRn; c of Tc; k of kP
  std::string text;   // a literal's characters
};

struct LayoutTree {
  std::string text;                   // the layout as given
  std::vector<Item> items;            // the outer parentheses are not items
  std::size_t reversion = 0;          // where the layout goes on when values remain
  bool data_after_reversion = false;  // whether that part takes values at all
};

}  // namespace format
