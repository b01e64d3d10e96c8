// The answer primitives: defaults, upper-casing, refusals, the fixed widths of
// numeric answers, and the sort used for typed column lists.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "console/dialogue.hpp"
#include "console/run_stop.hpp"

using console::ask_integer;
using console::ask_letter;
using console::ask_real;
using console::DialogueUnit;
using console::RunStop;
using console::ScriptedConsole;

namespace {

struct Answers {
  explicit Answers(std::vector<std::string> lines) : screen(std::move(lines)), unit(screen) {}
  ScriptedConsole screen;
  DialogueUnit unit;
};

}  // namespace

TEST(AskLetter, BlankTakesDefaultAndLettersAreRaised) {
  Answers a({"", "n", "yes", "f", " x"});
  EXPECT_EQ(ask_letter(a.unit, 'Y', "YN"), 'Y');
  EXPECT_EQ(ask_letter(a.unit, 'Y', "YN"), 'N');
  EXPECT_EQ(ask_letter(a.unit, 'Y', "YN"), 'Y');
  EXPECT_EQ(ask_letter(a.unit, 'B', "BNF"), 'F');
  // A line that begins with a blank is blank, whatever follows.
  EXPECT_EQ(ask_letter(a.unit, 'N', "YN"), 'N');
  EXPECT_EQ(a.screen.transcript(), "");
}

TEST(AskLetter, RefusesLettersOutsideTheSetAndAsksAgain) {
  Answers a({"x", "q", "n"});
  EXPECT_EQ(ask_letter(a.unit, 'Y', "YN"), 'N');
  const std::string refusal = " THE ONLY ANSWERS ALLOWED ARE: Y, N\n TRY AGAIN: ";
  EXPECT_EQ(a.screen.transcript(), refusal + refusal);

  Answers mode({"x", "f"});
  EXPECT_EQ(ask_letter(mode.unit, 'B', "BNF"), 'F');
  EXPECT_EQ(mode.screen.transcript(), " THE ONLY ANSWERS ALLOWED ARE: B, N, F\n TRY AGAIN: ");
}

TEST(AskLetter, EndOfConsoleInputEndsTheRunSayingSo) {
  Answers a({});
  try {
    ask_letter(a.unit, 'Y', "YN");
    FAIL() << "the run went on without an answer";
  } catch (const RunStop& stop) {
    EXPECT_STREQ(stop.what(), "END OF INPUT ON THE CONSOLE: MORE ANSWERS NEEDED");
  }
}

TEST(AskInteger, ReadsOnlyTheFirstThreeCharacters) {
  Answers a({"1000", "7", "-5", " 12", "", "12 xyz", "  "});
  EXPECT_EQ(ask_integer(a.unit, 9), 100);
  EXPECT_EQ(ask_integer(a.unit, 9), 7);
  EXPECT_EQ(ask_integer(a.unit, 9), -5);
  EXPECT_EQ(ask_integer(a.unit, 9), 9);
  EXPECT_EQ(ask_integer(a.unit, 9), 9);
  EXPECT_EQ(ask_integer(a.unit, 9), 12);  // the fourth character is never looked at
  EXPECT_EQ(ask_integer(a.unit, 4), 4);
}

TEST(AskInteger, UnreadableAnswerEndsTheRunNamingIt) {
  Answers a({"abc"});
  try {
    ask_integer(a.unit, 1);
    FAIL() << "no RunStop";
  } catch (const RunStop& stop) {
    EXPECT_NE(std::string(stop.what()).find("'abc'"), std::string::npos) << stop.what();
  }
  Answers point({"2.5"});
  EXPECT_THROW(ask_integer(point.unit, 1), RunStop);
}

TEST(AskReal, FixedFieldOfTwelveCharacters) {
  Answers a({"1", ".0001", "1E-4", "", "15", "-999", "0.1234567890123"});
  EXPECT_EQ(ask_real(a.unit, 0.5f), 1.0f);
  EXPECT_EQ(ask_real(a.unit, 0.5f), 0.0001f);
  EXPECT_EQ(ask_real(a.unit, 0.5f), 0.0001f);
  EXPECT_EQ(ask_real(a.unit, 0.5f), 0.5f);
  EXPECT_EQ(ask_real(a.unit, 0.5f), 15.0f);
  EXPECT_EQ(ask_real(a.unit, 0.5f), -999.0f);
  EXPECT_EQ(ask_real(a.unit, 0.5f), 0.1234567890f);  // cut after twelve characters
  Answers bad({"abc"});
  EXPECT_THROW(ask_real(bad.unit, 1.0f), RunStop);
  // A missing-value code of NaN would never equal any value; one beyond
  // single precision is infinite: both are refused.
  for (const char* answer : {"nan", "inf", "1E99"}) {
    Answers odd({answer});
    EXPECT_THROW(ask_real(odd.unit, 1.0f), RunStop) << answer;
  }
}

TEST(SortAscending, SortsAndKeepsShortLists) {
  std::vector<int> a{5, 3, 9, 1};
  console::sort_ascending(a);
  EXPECT_EQ(a, (std::vector<int>{1, 3, 5, 9}));
  std::vector<int> equal{2, 2, 1, 2};
  console::sort_ascending(equal);
  EXPECT_EQ(equal, (std::vector<int>{1, 2, 2, 2}));
  std::vector<int> one{4};
  console::sort_ascending(one);
  EXPECT_EQ(one, std::vector<int>{4});
  std::vector<int> none;
  console::sort_ascending(none);
  EXPECT_TRUE(none.empty());
}

TEST(DialogueFile, ReadsLinesWithoutCarriageReturnsOrByteOrderMarkAndEndsCleanly) {
  auto path = std::filesystem::temp_directory_path() /
              ("tarnwick_dialogue_test_" + std::to_string(::getpid()) + ".dlg");
  {
    std::ofstream out(path, std::ios::binary);
    out << "\xEF\xBB\xBFN\r\n\r\n12\n";
  }
  ScriptedConsole screen;
  DialogueUnit unit(screen, path.string());
  EXPECT_FALSE(unit.from_console());
  EXPECT_EQ(ask_letter(unit, 'Y', "YN"), 'N');
  EXPECT_EQ(ask_integer(unit, 5), 5);
  EXPECT_EQ(ask_integer(unit, 5), 12);
  try {
    unit.read_line();
    FAIL() << "no RunStop at the end of the file";
  } catch (const RunStop& stop) {
    EXPECT_NE(std::string(stop.what()).find(path.string()), std::string::npos);
  }
  std::filesystem::remove(path);
}

TEST(DialogueFile, ConAndBlankMeanTheConsoleAndAMissingFileEndsAtFirstAnswer) {
  ScriptedConsole screen({"Y"});
  DialogueUnit con(screen, "CON");
  EXPECT_TRUE(con.from_console());
  EXPECT_EQ(con.read_line(), "Y");
  DialogueUnit missing(screen, "/nonexistent/answers.dlg");
  EXPECT_THROW(missing.read_line(), RunStop);
  // A folder is no dialogue file: it cannot be opened, rather than ending at once.
  const std::string folder = std::filesystem::temp_directory_path().string();
  DialogueUnit directory(screen, folder);
  try {
    directory.read_line();
    FAIL() << "no RunStop for a folder";
  } catch (const RunStop& stop) {
    EXPECT_EQ(std::string(stop.what()), "DIALOGUE FILE " + folder + " CANNOT BE OPENED");
  }
}
