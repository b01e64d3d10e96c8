#pragma once

// Text from answers and files as a message may show it.

#include <string>
#include <string_view>

namespace console {

// The text with its control bytes escaped: a zero byte as \0, the others
// (tab, escape, DEL, ...) as \x followed by two hexadecimal digits, so that a
// message is never cut short or turned into terminal commands. Everything
// else, UTF-8 included, stays as it is.
std::string printable(std::string_view text);

}  // namespace console
