#pragma once

// The control of a formatted transfer, common to writing and reading:
// groups and repeat counts, ':' and '/', the stop at the next data item when
// no values are left, and reversion when the layout ends with values left.
// The handler does the transfer itself:
//   bool values_left()          whether a value (or an item to read) remains
//   void data(const Item&)      one value through a data descriptor
//   void edit(const Item&)      every other item: literals, positions, modes
//   bool end_record()           '/' and reversion; false ends the transfer

#include <array>
#include <stdexcept>

#include "format/layout_tree.hpp"

namespace format {

// The column moves of X, TRn, Tc and TLn within a record, the same for
// writing and reading; false for any other item.
inline bool move_position(const Item& item, std::size_t& position) {
  switch (item.op) {
    case Op::skip:
      position += static_cast<std::size_t>(item.count);
      return true;
    case Op::tab:
      position = static_cast<std::size_t>(item.count - 1);
      return true;
    case Op::tab_left:
      position -= position < static_cast<std::size_t>(item.count)
                      ? position
                      : static_cast<std::size_t>(item.count);
      return true;
    default:
      return false;
  }
}

// Repeat counts multiply through nested groups, so a short layout such as
// (1000(1000(1000(1X))),I5) would walk for hours (or write gigabytes) before
// its first value. A transfer may visit at most this many items between two
// values (a literal counts once per copy written); layouts in use stay far
// below it.
constexpr int most_items_between_values = 1000;

template <class Handler>
void walk(const LayoutTree& tree, Handler& handler) {
  struct Frame {
    std::size_t open;
    int left;
  };
  std::array<Frame, 40> frames{};  // deeper than the parser allows
  int depth = 0;
  const std::vector<Item>& items = tree.items;
  std::size_t at = 0;
  int visited = 0;  // items since the last value
  for (;;) {
    if (at < items.size()) {
      visited += items[at].op == Op::literal ? items[at].repeat : 1;
      if (visited > most_items_between_values)
        throw std::invalid_argument("layout " + tree.text + " repeats too much between values");
    }
    if (at == items.size()) {
      if (!handler.values_left()) return;
      if (!tree.data_after_reversion)
        throw std::invalid_argument("layout " + tree.text + " has no item for the values left");
      if (!handler.end_record()) return;
      at = tree.reversion;
      continue;
    }
    const Item& item = items[at];
    switch (item.op) {
      case Op::group_open:
        frames[depth++] = Frame{at, item.repeat};
        ++at;
        break;
      case Op::group_close:
        if (--frames[depth - 1].left > 0) {
          at = frames[depth - 1].open + 1;
        } else {
          --depth;
          ++at;
        }
        break;
      case Op::colon:
        if (!handler.values_left()) return;
        ++at;
        break;
      case Op::slash:
        for (int r = 0; r < item.repeat; ++r)
          if (!handler.end_record()) return;
        ++at;
        break;
      default:
        if (is_data(item.op)) {
          for (int r = 0; r < item.repeat; ++r) {
            if (!handler.values_left()) return;
            handler.data(item);
          }
          visited = 0;
        } else {
          handler.edit(item);
        }
        ++at;
    }
  }
}

}  // namespace format
