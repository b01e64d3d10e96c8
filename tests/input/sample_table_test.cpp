#include "input/sample_table.hpp"

#include <gtest/gtest.h>

TEST(SampleTable, ColumnRemovalMovesLaterColumnsDownByOne) {
  input::SampleTable t;
  t.variable_count = 6;
  t.sample_count = 2;
  for (int j = 1; j <= 6; ++j) {
    std::string name = "V";
    name += std::to_string(j);
    t.names[j - 1] = input::fixed_width(name, 10);
    t.log_flags[j - 1] = j % 2;
    for (int i = 1; i <= 2; ++i) t.value(i, j) = static_cast<float>(10 * j + i);
  }
  t.remove_column(3);
  EXPECT_EQ(t.variable_count, 5);
  EXPECT_EQ(t.names[1], "V2        ");
  EXPECT_EQ(t.names[2], "V4        ");
  EXPECT_EQ(t.names[4], "V6        ");
  EXPECT_EQ(t.log_flags[2], 0);
  EXPECT_EQ(t.log_flags[3], 1);
  EXPECT_EQ(t.value(2, 2), 22.0f);
  EXPECT_EQ(t.value(1, 3), 41.0f);
  EXPECT_EQ(t.value(2, 5), 62.0f);
  // Removing the last column just lowers the count.
  t.remove_column(5);
  EXPECT_EQ(t.variable_count, 4);
  EXPECT_EQ(t.value(1, 4), 51.0f);
}

TEST(SampleTable, ColumnsAreContiguousAndStartBlank) {
  input::SampleTable t;
  t.value(3, 2) = 7.0f;
  EXPECT_EQ(t.column(2)[2], 7.0f);
  EXPECT_EQ(t.column(2).size(), static_cast<std::size_t>(limits::max_samples));
  EXPECT_EQ(t.title, std::string(80, ' '));
  EXPECT_EQ(t.ids[0], std::string(10, ' '));
  EXPECT_EQ(input::fixed_width("ABCDEFGHIJKL", 10), "ABCDEFGHIJ");
  EXPECT_EQ(input::fixed_width("AB", 4), "AB  ");
}
