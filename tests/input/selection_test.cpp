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

namespace {

// A terminal of 80 columns as the user sees it: text lands where the cursor
// stands, and a typed answer is echoed with its line end. At every read the
// screen is kept as it stood when the answer was asked.
class ScreenConsole : public console::Console {
 public:
  explicit ScreenConsole(std::vector<std::string> answers) : answers_(std::move(answers)) {}
  void write(std::string_view text) override {
    for (char c : text) {
      if (c != '\n') put(c);
      track(std::string_view(&c, 1));
    }
  }
  std::optional<std::string> read_line() override {
    if (next_ >= answers_.size()) return std::nullopt;
    seen.push_back(rows_);
    const std::string answer = answers_[next_++];
    write(answer + "\n");
    return answer;
  }
  bool is_terminal() const override { return true; }
  int columns() const override { return 80; }

  std::vector<std::vector<std::string>> seen;  // the screen at each read

 protected:
  void clear_text() override {
    rows_.clear();
    place(1, 1);
  }

 private:
  void put(char c) {
    const auto row = static_cast<std::size_t>(cursor_row());
    const auto column = static_cast<std::size_t>(cursor_column());
    if (rows_.size() < row) rows_.resize(row);
    std::string& line = rows_[row - 1];
    if (line.size() < column) line.resize(column, ' ');
    line[column - 1] = c;
  }

  std::vector<std::string> answers_;
  std::size_t next_ = 0;
  std::vector<std::string> rows_;
};

std::string trimmed_row(const std::vector<std::string>& rows, std::size_t row) {
  if (row >= rows.size()) return "";
  const std::string& line = rows[row];
  return line.substr(0, line.find_last_not_of(' ') + 1);
}

std::size_t row_starting(const std::vector<std::string>& rows, const std::string& text) {
  for (std::size_t r = 0; r < rows.size(); ++r) {
    if (rows[r].starts_with(text)) return r;
  }
  return rows.size();
}

bool anywhere(const std::vector<std::string>& rows, const std::string& text) {
  for (const std::string& line : rows) {
    if (line.find(text) != std::string::npos) return true;
  }
  return false;
}

}  // namespace

// A refused letter once wrote its refusal over the running count (" NUMBER
// OF SELECTED VARS =  1: Y, N, S") and left " TRY AGAIN: N" behind.
TEST(TextSelection, OnATerminalARefusalIsPlacedAndWipedLikeTheQuestions) {
  // ID question, CU refused then taken, its log refused then N, ZN refused
  // then N, PB taken with the log default, confirmation.
  ScreenConsole screen({"", "X", "Y", "Q", "N", "Z", "N", "Y", "", ""});
  console::DialogueUnit dialogue(screen);
  const Selection s = input::select_text_variables(dialogue, {"CU", "ZN", "PB"}, nullptr);
  ASSERT_EQ(s.selected.size(), 2u);
  EXPECT_EQ(s.selected[1].position, 3);
  ASSERT_EQ(screen.seen.size(), 10u);

  // Asked again for ZN: the refused letter is gone from the question's row,
  // the count stands whole below it, the refusal and the prompt below that.
  const std::vector<std::string>& again = screen.seen[6];
  const std::size_t zn = row_starting(again, " ZN ");
  ASSERT_LT(zn, again.size());
  EXPECT_EQ(trimmed_row(again, zn), " ZN         (<Y>,N,S)");
  EXPECT_EQ(trimmed_row(again, zn + 1), " NUMBER OF SELECTED VARS =  1");
  EXPECT_EQ(trimmed_row(again, zn + 2), " THE ONLY ANSWERS ALLOWED ARE: Y, N, S");
  EXPECT_EQ(trimmed_row(again, zn + 3), " TRY AGAIN:");

  // At the next question nothing of the refusals is left.
  const std::vector<std::string>& next = screen.seen[7];
  const std::size_t pb = row_starting(next, " PB ");
  ASSERT_EQ(pb, zn);
  EXPECT_EQ(trimmed_row(next, pb), " PB         (<Y>,N,S)");
  EXPECT_EQ(trimmed_row(next, pb + 1), " NUMBER OF SELECTED VARS =  1");
  EXPECT_FALSE(anywhere(next, "TRY AGAIN"));
  EXPECT_FALSE(anywhere(next, "ALLOWED"));
  for (const std::string& line : next) EXPECT_LT(line.size(), 81u);
}

// Piped, a refusal follows the question line by line as everywhere else.
TEST(TextSelection, OffATerminalARefusalFollowsTheQuestion) {
  Pass p({"", "X", "N", ""});
  p.select({"CU"});
  EXPECT_EQ(p.count(" CU         (<Y>,N,S)    THE ONLY ANSWERS ALLOWED ARE: Y, N, S\n TRY AGAIN: "
                    "\n NUMBER OF SELECTED VARS =  0\n"),
            1);
}
