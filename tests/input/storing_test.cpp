#include "input/storing.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "input_support.hpp"

namespace {

input::Selection four_selected(int id_column) {
  input::Selection s;
  const char* names[] = {"A", "B", "C", "D"};
  for (int i = 0; i < 4; ++i) {
    s.selected.push_back({i + 2, input::fixed_width(names[i], 10), i == 3 ? 1 : 0});
  }
  s.numeric_id = id_column > 0 ? 'Y' : 'N';
  s.id_column = id_column;
  return s;
}

}  // namespace

TEST(Identifiers, TheThreeKindsAreTenCharactersWide) {
  EXPECT_EQ(input::sample_number_id(12), "        12");
  EXPECT_EQ(input::numeric_id_two_decimals(1234.5f), "   1234.50");
  EXPECT_EQ(input::numeric_id_two_decimals(-999.0f), "   -999.00");
  EXPECT_EQ(input::numeric_id_no_decimals(1234.0f), "     1234.");
  EXPECT_EQ(input::character_id("GR022"), "GR022     ");
  EXPECT_EQ(input::character_id("ABCDEFGHIJKLMN"), "EFGHIJKLMN");
  // The blanks that pad a wide text field are not its value.
  EXPECT_EQ(input::character_id("SITE-A" + std::string(30, ' ')), "SITE-A    ");
  EXPECT_EQ(input::character_id("  B7  "), "  B7      ");
}

TEST(LogRule, CodeZeroAndNegativesBecomeTheCodeWithAWarningForTheLatter) {
  console::ScriptedConsole screen;
  EXPECT_FLOAT_EQ(input::apply_log_rule(100.0f, -999.0f, screen), 2.0f);
  EXPECT_EQ(input::apply_log_rule(-999.0f, -999.0f, screen), -999.0f);
  EXPECT_EQ(screen.transcript(), "");
  EXPECT_EQ(input::apply_log_rule(0.0f, -999.0f, screen), -999.0f);
  EXPECT_EQ(input::apply_log_rule(-5.0f, -999.0f, screen), -999.0f);
  EXPECT_EQ(screen.transcript(),
            "ATTEMPTING TO TAKE LOG FROM NEGATIVE. CHECK!\n"
            "ATTEMPTING TO TAKE LOG FROM NEGATIVE. CHECK!\n");
  // A code that is itself positive is still only a mark.
  EXPECT_EQ(input::apply_log_rule(1.0f, 1.0f, screen), 1.0f);
  EXPECT_EQ(input::apply_log_rule(0.5f, 1.0f, screen), std::log10(0.5f));
}

TEST(RowStore, WithoutIdTheSelectedVariablesFillTheColumnsInOrder) {
  console::ScriptedConsole screen;
  auto table = std::make_unique<input::SampleTable>();
  table->names[5] = "OLD       ";
  const input::Selection s = four_selected(0);
  input::RowStore store(*table, s, screen, false);
  const float row[] = {1.0f, 2.0f, 3.0f, 1000.0f};
  store.store(1, row);
  EXPECT_EQ(table->variable_count, 4);
  EXPECT_EQ(table->ids[0], "         1");
  EXPECT_EQ(table->value(1, 3), 3.0f);
  EXPECT_FLOAT_EQ(table->value(1, 4), 3.0f);  // the log column
  EXPECT_EQ(table->names[5], std::string(10, ' '));
}

TEST(RowStore, TheIdColumnLeavesTheTableAndLaterColumnsMoveUp) {
  console::ScriptedConsole screen;
  auto table = std::make_unique<input::SampleTable>();
  const input::Selection s = four_selected(2);
  input::RowStore store(*table, s, screen, false);
  const float first[] = {1.0f, 1234.5f, 3.0f, 100.0f};
  const float second[] = {5.0f, 7.0f, 6.0f, 10.0f};
  store.store(1, first);
  store.store(2, second);
  EXPECT_EQ(table->variable_count, 3);
  EXPECT_EQ(table->names[0], "A         ");
  EXPECT_EQ(table->names[1], "C         ");
  EXPECT_EQ(table->names[2], "D         ");
  EXPECT_EQ(table->names[3], std::string(10, ' '));
  EXPECT_EQ(table->log_flags[2], 1);
  EXPECT_EQ(table->log_flags[3], 0);
  EXPECT_EQ(table->ids[0], "   1234.50");
  EXPECT_EQ(table->ids[1], "      7.00");
  EXPECT_EQ(table->value(1, 2), 3.0f);
  EXPECT_FLOAT_EQ(table->value(1, 3), 2.0f);
  EXPECT_EQ(table->value(2, 1), 5.0f);
  EXPECT_FLOAT_EQ(table->value(2, 3), 1.0f);
}

TEST(RowStore, ACharacterIdentifierIsLeftToTheReader) {
  console::ScriptedConsole screen;
  auto table = std::make_unique<input::SampleTable>();
  table->ids[0] = "GR022     ";
  const input::Selection s = four_selected(0);
  input::RowStore store(*table, s, screen, true);
  const float row[] = {1.0f, 2.0f, 3.0f, 4.0f};
  store.store(1, row);
  EXPECT_EQ(table->ids[0], "GR022     ");
}

TEST(DbaseStoring, TheNumericIdColumnMovesOutWithoutDecimals) {
  auto table = std::make_unique<input::SampleTable>();
  table->sample_count = 2;
  table->variable_count = 3;
  for (int j = 1; j <= 3; ++j) {
    table->names[j - 1] = input::fixed_width(std::string(1, 'V') + std::to_string(j), 10);
    table->log_flags[j - 1] = j == 3 ? 1 : 0;
    for (int k = 1; k <= 2; ++k) table->value(k, j) = static_cast<float>(100 * j + k);
  }
  input::take_numeric_id_column(*table, 2);
  EXPECT_EQ(table->variable_count, 2);
  EXPECT_EQ(table->ids[0], "      201.");
  EXPECT_EQ(table->ids[1], "      202.");
  EXPECT_EQ(table->names[1], "V3        ");
  EXPECT_EQ(table->log_flags[1], 1);
  EXPECT_EQ(table->names[2], std::string(10, ' '));
  EXPECT_EQ(table->value(2, 2), 302.0f);

  console::ScriptedConsole screen;
  table->value(1, 2) = 0.0f;
  input::log_transform_columns(*table, screen);
  EXPECT_EQ(table->value(1, 2), table->missing_code);
  EXPECT_FLOAT_EQ(table->value(2, 2), std::log10(302.0f));
  EXPECT_EQ(table->value(1, 1), 101.0f);
  EXPECT_EQ(screen.transcript(), "ATTEMPTING TO TAKE LOG FROM NEGATIVE. CHECK!\n");
}
