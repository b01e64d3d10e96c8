#include "input/selection.hpp"

#include <gtest/gtest.h>

#include "input_support.hpp"

namespace {

using input::Selection;
using input_test::operator+;

const std::vector<std::string> four = {"CU", "ZN", "PB", "NI"};

struct Pass : input_test::InputRun {
  using InputRun::InputRun;
  Selection select(const std::vector<std::string>& names, const std::string* id = nullptr) {
    return input::select_text_variables(dialogue, names, id);
  }
  int count(const std::string& text) const { return times_shown(text); }
};

}  // namespace

TEST(TextSelection, OnePassTranscriptLineByLine) {
  Pass p({"", "Y", "", "N", ""});
  Selection s = p.select({"CU", "ZN"});
  ASSERT_EQ(s.selected.size(), 1u);
  const std::string rule = " " + std::string(35, '-') + "\n";
  EXPECT_EQ(p.screen.transcript(),
            "\n\n\n" + rule + "\n\n" +
                " | 1   CU         |  | 2   ZN         | \n"
                "\n\n\n" +
                rule +
                " Do you want extraction of a numeric sample ID variable (Y,<N>)? "
                "\n CU         (<Y>,N,S)       LOGTRANSFORM? (Y,<N>,S)      "
                "\n NUMBER OF SELECTED VARS =  1\n"
                " ZN         (<Y>,N,S)   "
                "\n NUMBER OF SELECTED VARS =  1\n"
                "\n\n\n The following numeric variables were selected:\n"
                "                1 CU        \n"
                "\n Is this correct <Y>: ");
}

TEST(TextSelection, VariablesAreListedFourToALine) {
  Pass p({"", "S", ""});
  p.select({"A", "B", "C", "D", "E"});
  EXPECT_NE(p.screen.transcript().find(" | 4   D          | \n | 5   E          | \n"),
            std::string::npos);
}

TEST(TextSelection, SAtTheFirstVariableSelectsNothing) {
  Pass p({"", "S", ""});
  Selection s = p.select(four);
  EXPECT_TRUE(s.selected.empty());
  EXPECT_EQ(s.id_column, 0);
  EXPECT_EQ(p.count(" NUMBER OF SELECTED VARS =  0"), 1);
  EXPECT_EQ(p.count("(<Y>,N,S)"), 1);
}

TEST(TextSelection, TakenVariablesKeepTheirFilePositionsAndLogFlags) {
  Pass p({"", "Y", "", "N", "Y", "Y", "S", ""});
  Selection s = p.select(four);
  ASSERT_EQ(s.selected.size(), 2u);
  EXPECT_EQ(s.selected[0].position, 1);
  EXPECT_EQ(s.selected[0].log_flag, 0);
  EXPECT_EQ(s.selected[1].position, 3);
  EXPECT_EQ(s.selected[1].name, "PB        ");
  EXPECT_EQ(s.selected[1].log_flag, 1);
  EXPECT_EQ(p.count("                2 PB          LOG\n"), 1);
  EXPECT_EQ(p.count("                1 CU        \n"), 1);
}

TEST(TextSelection, LogAnswerSStopsTheLogQuestionForTheRestOfThePass) {
  // CU taken without log, ZN taken with log S, PB and NI taken without being asked.
  Pass p({"", "Y", "N", "Y", "S", "Y", "Y", ""});
  Selection s = p.select(four);
  ASSERT_EQ(s.selected.size(), 4u);
  for (const auto& v : s.selected) EXPECT_EQ(v.log_flag, 0);
  EXPECT_EQ(p.count("LOGTRANSFORM?"), 2);
  EXPECT_EQ(p.count(" NUMBER OF SELECTED VARS =  4"), 1);
}

TEST(TextSelection, NAtTheConfirmationStartsANewPassWithANewIdQuestion) {
  Pass p({"N", "Y", "Y", "S", "N",  // first pass, refused
          "Y", "Y", "", "Y", "", "N", "Y", "", "", "2"});
  Selection s = p.select(four);
  EXPECT_EQ(p.count("Do you want extraction"), 2);
  ASSERT_EQ(s.selected.size(), 3u);
  EXPECT_EQ(s.selected[2].position, 4);
  EXPECT_EQ(s.numeric_id, 'Y');
  EXPECT_EQ(s.id_column, 2);
  // The refused pass left nothing behind.
  for (const auto& v : s.selected) EXPECT_EQ(v.log_flag, 0);
}

TEST(TextSelection, AnIdColumnOutsideTheSelectedListIsAskedAgain) {
  Pass p({"Y", "Y", "", "Y", "", "S", "", "9", "0", "2"});
  Selection s = p.select(four);
  EXPECT_EQ(s.id_column, 2);
  EXPECT_EQ(p.count(" ID COLUMN MUST BE A NUMBER FROM 1 TO 2. REDO!"), 2);
  EXPECT_EQ(p.count(" Give column nr ID variable <1>: "), 3);
}

TEST(TextSelection, ANumericIdWithNothingSelectedFallsBackToSampleNumbers) {
  Pass p({"Y", "S", ""});
  Selection s = p.select(four);
  EXPECT_EQ(s.numeric_id, 'N');
  EXPECT_EQ(s.id_column, 0);
  EXPECT_EQ(p.count("Give column nr"), 0);
}

TEST(TextSelection, ACharacterIdentifierIsListedAsNumberZeroAndNoNumericIdIsAsked) {
  const std::string id = "SAMPLE";
  Pass p({"Y", "", "S", ""});
  Selection s = p.select({"CU", "ZN"}, &id);
  EXPECT_EQ(s.numeric_id, 'N');
  ASSERT_EQ(s.selected.size(), 1u);
  EXPECT_EQ(p.count("Do you want extraction"), 0);
  EXPECT_EQ(p.count("   0   SAMPLE    " + std::string(3, ' ') + "   1   CU        "), 1);
  EXPECT_EQ(p.count(" The first (character) variable is used as sample ID \n"), 1);
  // Without a question before it, the walk starts on a fresh line.
  EXPECT_EQ(p.count(std::string(35, '-') + "\n CU         (<Y>,N,S)"), 1);
}

namespace {

// Records cursor moves in the transcript as @row,column.
class PlacingConsole : public console::ScriptedConsole {
 public:
  using ScriptedConsole::ScriptedConsole;
  int columns() const override { return columns_; }
  int columns_ = 0;
  void set_cursor(int row, int column) override {
    ScriptedConsole::set_cursor(row, column);
    std::string mark(1, '@');
    mark += std::to_string(row);
    mark += ',';
    mark += std::to_string(column);
    write(mark);
  }
};

}  // namespace

TEST(TextSelection, OnATerminalEveryQuestionIsAskedAtOnePlace) {
  PlacingConsole screen({"", "Y", "Y", "N", "S", ""}, true);
  console::DialogueUnit dialogue(screen);
  input::select_text_variables(dialogue, {"CU", "ZN", "PB"}, nullptr);
  const std::string& t = screen.transcript();
  const std::string first = t.substr(t.find('@'), t.find(',', t.find('@')) - t.find('@'));
  const std::string at = first + ",1";
  const std::string wipe = at + std::string(104, ' ') + at;
  EXPECT_NE(t.find(wipe + " CU         (<Y>,N,S)   " + first + ",29LOGTRANSFORM? (Y,<N>,S)      "),
            std::string::npos);
  EXPECT_NE(t.find(wipe + " ZN         (<Y>,N,S)   "), std::string::npos);
  EXPECT_NE(t.find(wipe + " PB         (<Y>,N,S)   "), std::string::npos);
  // The running count stands on the line below and ends no line.
  const int row = std::stoi(first.substr(1));
  std::string below = "@";
  below += std::to_string(row + 1);
  below += ",1 NUMBER OF SELECTED VARS =  1@";
  EXPECT_NE(t.find(below), std::string::npos);
}

TEST(TextSelection, TheWipeStaysInsideANarrowWindow) {
  // 104 blanks on an 80-column terminal would wrap onto the running count's
  // line and, on the screen's last line, scroll the question away.
  PlacingConsole screen({"", "S", ""}, true);
  screen.columns_ = 80;
  console::DialogueUnit dialogue(screen);
  input::select_text_variables(dialogue, {"CU"}, nullptr);
  const std::string& t = screen.transcript();
  EXPECT_NE(t.find(",1" + std::string(79, ' ') + "@"), std::string::npos);
  EXPECT_EQ(t.find(std::string(80, ' ')), std::string::npos);
}
