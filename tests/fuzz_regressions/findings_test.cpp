// What each fuzz finding broke, checked on its own beside the replay of the
// inputs that found it.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "../../fuzz/entries.hpp"
#include "console/console.hpp"
#include "console/dialogue.hpp"
#include "console/run_stop.hpp"
#include "format/layout.hpp"
#include "input/data_input.hpp"
#include "input/sample_table.hpp"

namespace {

// Runs data input on files written into the scratch folder; gives the
// message of the stop that ended it.
std::string stop_message(std::vector<std::string> answers) {
  console::ScriptedConsole screen(std::move(answers));
  console::DialogueUnit dialogue(screen);
  input::SampleTable table;
  try {
    input::run_data_input(dialogue, table, 999);
  } catch (const console::RunStop& stop) {
    return stop.what();
  }
  return "";
}

TEST(LayoutFindings, ExponentsWithManyDigitsAreWrittenInFullOrStarred) {
  // More exponent digits than a short buffer held: written out when the
  // field is wide enough, asterisks when not.
  EXPECT_EQ(format::render("(E30.3E20)", 1.5), "   0.150E+00000000000000000001\n");
  EXPECT_EQ(format::render("(1E09.3E91)", 2.0), "*********\n");
  EXPECT_EQ(format::render("(G40.3E30)", -2.5e7), "  -0.250E+000000000000000000000000000008\n");
}

TEST(LayoutFindings, RepeatsThatMultiplyBetweenValuesAreRefused) {
  // A billion skips, record ends or literals before the value.
  EXPECT_THROW(format::render("(1000(1000(1000(1X))),I5)", 1), std::invalid_argument);
  EXPECT_THROW(format::render("(1000(1000(1000(/))),I5)", 1), std::invalid_argument);
  EXPECT_THROW(format::render("(1000(1000(1000('ABC'))))"), std::invalid_argument);
  EXPECT_THROW(format::render("(2(1000'-'))"), std::invalid_argument);
  format::StringLines lines(std::vector<std::string>{"1"});
  std::vector<format::Field> fields;
  EXPECT_THROW(format::read(format::Layout::parse("(1000(1000(1000(1X))),I5)"), lines, 1, fields),
               std::invalid_argument);
  // Long rows of values and wide rulers are no such layouts.
  EXPECT_EQ(format::render("(1X,77('*'))").size(), 79u);
  EXPECT_EQ(format::render("(132('-'),I2)", 7), std::string(132, '-') + " 7\n");
  const std::vector<int> many(5000, 1);
  EXPECT_EQ(format::render("(300(1X),10I2)", many).size(), 500u * (300 + 20 + 1));
}

TEST(LayoutFindings, AnInformationFileWhoseFormatRepeatsWithoutEndIsAFaultOfThatFile) {
  fuzz_entry::enter_scratch_folder();
  fuzz_entry::write_file("NEST.INF",
                         "NESTED\n    2\n    1\n-999.\n(1000(1000(1000(1X))),F8.2)\nCU\n");
  fuzz_entry::write_file("NEST.FXD", "    1.25\n");
  EXPECT_EQ(stop_message({"G", "NEST"}), "ERRORS IN INFO FILE");
}

}  // namespace
