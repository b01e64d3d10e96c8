#include "input/file_names.hpp"

#include <gtest/gtest.h>

#include "input_support.hpp"

using input::DataKind;
using input::form_file_names;

TEST(FileNames, ExtensionOfTheKindIsAddedToAPlainName) {
  auto dbase = form_file_names("ROCKS", DataKind::dbase);
  ASSERT_TRUE(dbase);
  EXPECT_EQ(dbase->data, "ROCKS.DBF");
  auto csv = form_file_names("ROCKS", DataKind::comma_separated);
  EXPECT_EQ(csv->data, "ROCKS.CSV");
  auto fixed = form_file_names("ROCKS", DataKind::fixed_layout);
  EXPECT_EQ(fixed->data, "ROCKS.FXD");
  EXPECT_EQ(fixed->info, "ROCKS.INF");
  // Trailing blanks are not part of the name.
  EXPECT_EQ(form_file_names("data/ROCKS   ", DataKind::dbase)->data, "data/ROCKS.DBF");
}

TEST(FileNames, AnExtensionTypedInTheLastFourCharactersIsKept) {
  EXPECT_EQ(form_file_names("ROCKS.TXT", DataKind::comma_separated)->data, "ROCKS.TXT");
  auto fixed = form_file_names("ROCKS.TXT", DataKind::fixed_layout);
  EXPECT_EQ(fixed->data, "ROCKS.TXT");
  EXPECT_EQ(fixed->info, "ROCKS.TXT.INF");
  EXPECT_EQ(form_file_names("A.B", DataKind::dbase)->data, "A.B");
  // A point further back is part of the name, not an extension.
  EXPECT_EQ(form_file_names("V1.2_ROCKS", DataKind::dbase)->data, "V1.2_ROCKS.DBF");
  EXPECT_FALSE(form_file_names("ROCKS.TXT", DataKind::dbase)->as_typed);
}

TEST(FileNames, ANameEndingInAPointIsUsedAsTypedForBoth) {
  auto names = form_file_names("ROCKS.", DataKind::fixed_layout);
  ASSERT_TRUE(names);
  EXPECT_TRUE(names->as_typed);
  EXPECT_EQ(names->data, "ROCKS.");
  EXPECT_EQ(names->info, "ROCKS.");
}

TEST(FileNames, BlankAnswersAndALoneEightiethCharacterGiveNoName) {
  EXPECT_FALSE(form_file_names("", DataKind::dbase));
  EXPECT_FALSE(form_file_names("     ", DataKind::dbase));
  EXPECT_FALSE(form_file_names(std::string(79, ' ') + "X", DataKind::dbase));
}

TEST(FileNameDialogue, ShowsTheNamesFormedAndAsksAgainOnBlankOrLongAnswers) {
  console::ScriptedConsole screen({"", std::string(77, 'X'), "ROCKS"});
  console::DialogueUnit dialogue(screen);
  auto names = input::ask_file_names(dialogue, DataKind::fixed_layout);
  EXPECT_EQ(names.data, "ROCKS.FXD");
  EXPECT_EQ(screen.transcript(),
            " Name datafile without extension? "
            " Name datafile without extension? "
            " FILENAME TOO LONG: AT MOST 76 CHARACTERS. REDO!\n"
            " Name datafile without extension? "
            " NAME INFOFILE= ROCKS.INF\n"
            " NAME DATAFILE= ROCKS.FXD\n");
}

TEST(FileNameDialogue, ANameEndingInAPointShowsNothing) {
  console::ScriptedConsole screen({"ROCKS."});
  console::DialogueUnit dialogue(screen);
  input::ask_file_names(dialogue, DataKind::comma_separated);
  EXPECT_EQ(screen.transcript(), " Name datafile without extension? ");
}

TEST(FileNameDialogue, AFileThatCannotBeOpenedIsAskedAgainWithRedo) {
  input_test::ScratchFolder folder;
  folder.write("THERE.CSV", "A\n1\n");
  console::ScriptedConsole screen({"MISSING", "ALSO_MISSING", "THERE"});
  console::DialogueUnit dialogue(screen);
  std::ifstream file;
  auto names = input::open_first_file(dialogue, DataKind::comma_separated, file);
  EXPECT_EQ(names.data, "THERE.CSV");
  EXPECT_TRUE(file.is_open());
  const std::string& t = screen.transcript();
  // Not before the first attempt; before each later one.
  EXPECT_EQ(t.find("FILENAME NOT CORRECT. REDO!"), t.find("MISSING.CSV\n") + 12);
  int redo = 0;
  for (auto at = t.find("REDO!"); at != std::string::npos; at = t.find("REDO!", at + 1)) ++redo;
  EXPECT_EQ(redo, 2);
}

TEST(FileNameDialogue, TheInformationFileIsTheOneThatMustExistForFixedLayoutData) {
  input_test::ScratchFolder folder;
  folder.write("ROCKS.INF", "TITLE\n");
  console::ScriptedConsole screen({"ROCKS"});
  console::DialogueUnit dialogue(screen);
  std::ifstream file;
  auto names = input::open_first_file(dialogue, DataKind::fixed_layout, file);
  EXPECT_EQ(names.info, "ROCKS.INF");
  EXPECT_EQ(screen.transcript().find("REDO"), std::string::npos);
}
