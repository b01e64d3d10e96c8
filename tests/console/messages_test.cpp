// What a message may quote of an answer, and how long an answer line may be.
#include <gtest/gtest.h>

#include <sstream>

#include "console/console.hpp"
#include "console/printable.hpp"
#include "console/run_stop.hpp"

using console::LineRead;
using console::printable;
using console::read_answer_line;

TEST(Printable, ControlBytesAreEscapedAndEverythingElseKept) {
  EXPECT_EQ(printable(std::string("1\0x", 3)), "1\\0x");
  EXPECT_EQ(printable("a\x01\x1b[2J\t\x7f"), "a\\x01\\x1B[2J\\x09\\x7F");
  EXPECT_EQ(printable("C:\\DATA\\Pb in \xC2\xB5g.CSV"), "C:\\DATA\\Pb in \xC2\xB5g.CSV");
  // A RunStop quotes through it, whoever built the message.
  EXPECT_STREQ(console::RunStop("ANSWER '" + std::string("1\0", 2) + "' IS NOT A NUMBER").what(),
               "ANSWER '1\\0' IS NOT A NUMBER");
}

TEST(AnswerLines, NoLineBeyondTheBound) {
  std::string line;
  std::istringstream longest(std::string(console::max_answer_line, 'a') + "\nlast");
  EXPECT_EQ(read_answer_line(longest, line), LineRead::ok);
  EXPECT_EQ(line.size(), console::max_answer_line);
  EXPECT_EQ(read_answer_line(longest, line), LineRead::ok);
  EXPECT_EQ(line, "last");
  EXPECT_EQ(read_answer_line(longest, line), LineRead::end);
  std::istringstream endless(std::string(console::max_answer_line + 1, '\0'));
  EXPECT_EQ(read_answer_line(endless, line), LineRead::too_long);
}
