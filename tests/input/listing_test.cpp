#include "input/listing.hpp"

#include <gtest/gtest.h>

#include "input/storing.hpp"
#include "input_support.hpp"

namespace {

std::unique_ptr<input::SampleTable> table_of(const std::vector<std::vector<float>>& columns) {
  auto t = std::make_unique<input::SampleTable>();
  t->variable_count = static_cast<int>(columns.size());
  t->sample_count = columns.empty() ? 0 : static_cast<int>(columns[0].size());
  for (int j = 1; j <= t->variable_count; ++j) {
    for (int k = 1; k <= t->sample_count; ++k) t->value(k, j) = columns[j - 1][k - 1];
  }
  for (int k = 1; k <= t->sample_count; ++k) t->ids[k - 1] = input::sample_number_id(k);
  return t;
}

}  // namespace

TEST(DataListing, FieldWidthsAndDecimalsFollowTheColumnsValues) {
  auto t = table_of({{12.5f, 0.3f, 150.0f},
                     {1500.0f, 2000.0f, 1750.0f},
                     {0.0f, 0.0f, 0.0f},
                     {5.0f, -999.0f, 7.5f},
                     {0.004f, 0.5f, 0.02f}});
  EXPECT_EQ(input::column_field(*t, 1).width, 8);
  EXPECT_EQ(input::column_field(*t, 1).decimals, 2);
  EXPECT_EQ(input::column_field(*t, 2).width, 7);
  EXPECT_EQ(input::column_field(*t, 2).decimals, 0);
  EXPECT_EQ(input::column_field(*t, 3).width, 4);
  EXPECT_EQ(input::column_field(*t, 3).decimals, 1);
  // The code counts as a value: 999 needs 2 + 4 columns, and 5 below 10 one decimal.
  EXPECT_EQ(input::column_field(*t, 4).width, 7);
  EXPECT_EQ(input::column_field(*t, 4).decimals, 1);
  // 0.004: |log10| = 2.4, truncated 2, plus 2 decimals.
  EXPECT_EQ(input::column_field(*t, 5).width, 7);
  EXPECT_EQ(input::column_field(*t, 5).decimals, 4);
  EXPECT_EQ(input::listing_layout(*t), " (1X,A11,F 8. 2,F 7. 0,F 4. 1,F 7. 1,F 7. 4)");
}

TEST(DataListing, EachLineIsTheIdentifierAndTheValuesInTheirFields) {
  auto t = table_of({{12.5f, 0.3f, 150.0f}, {1500.0f, 2000.0f, 1750.0f}});
  console::ScriptedConsole screen;
  input::write_data_listing(screen, *t);
  EXPECT_EQ(screen.transcript(),
            "           1   12.50  1500.\n"
            "           2    0.30  2000.\n"
            "           3  150.00  1750.\n");
}

TEST(DataListing, FromFiftySamplesOnlyEveryTenthIsListed) {
  std::vector<float> column(49);
  for (int k = 0; k < 49; ++k) column[k] = static_cast<float>(k + 1);
  auto t49 = table_of({column});
  console::ScriptedConsole s49;
  input::write_data_listing(s49, *t49);
  EXPECT_EQ(s49.transcript().find("TENTH"), std::string::npos);
  EXPECT_EQ(std::count(s49.transcript().begin(), s49.transcript().end(), '\n'), 49);

  column.push_back(50.0f);
  auto t50 = table_of({column});
  console::ScriptedConsole s50;
  input::write_data_listing(s50, *t50);
  EXPECT_EQ(s50.transcript(),
            "\n\n WRITE EVERY TENTH RECORD: \n\n"
            "           1   1.0\n"
            "          11  11.0\n"
            "          21  21.0\n"
            "          31  31.0\n"
            "          41  41.0\n");
}

TEST(DataListing, NegativeValuesFindRoomForTheirSign) {
  auto t = table_of({{-150.0f, 2.0f}});
  console::ScriptedConsole screen;
  input::write_data_listing(screen, *t);
  EXPECT_EQ(screen.transcript(), "           1 -150.0\n           2    2.0\n");
  auto w = table_of({{-1500.0f, 20.0f}});
  EXPECT_EQ(input::column_field(*w, 1).width, 7);
  console::ScriptedConsole wide;
  input::write_data_listing(wide, *w);
  EXPECT_EQ(wide.transcript(), "           1 -1500.\n           2    20.\n");
}
