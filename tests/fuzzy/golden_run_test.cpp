// A whole clustering of fifteen iris flowers (five of each species) with
// extragrades, weights, a log-transformed variable and the diagonal norm,
// compared line by line with report and result files checked by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "fuzzy_support.hpp"

namespace {

const Rows iris15 = {{5.1f, 3.5f, 1.4f, 0.2f}, {4.9f, 3.0f, 1.4f, 0.2f}, {4.7f, 3.2f, 1.3f, 0.2f},
                     {4.6f, 3.1f, 1.5f, 0.2f}, {5.0f, 3.6f, 1.4f, 0.2f}, {7.0f, 3.2f, 4.7f, 1.4f},
                     {6.4f, 3.2f, 4.5f, 1.5f}, {6.9f, 3.1f, 4.9f, 1.5f}, {5.5f, 2.3f, 4.0f, 1.3f},
                     {6.5f, 2.8f, 4.6f, 1.5f}, {6.3f, 3.3f, 6.0f, 2.5f}, {5.8f, 2.7f, 5.1f, 1.9f},
                     {7.1f, 3.0f, 5.9f, 2.1f}, {6.3f, 2.9f, 5.6f, 1.8f}, {6.5f, 3.0f, 5.8f, 2.2f}};

struct IrisRun : FuzzyRun {
  IrisRun() : FuzzyRun(iris15) {
    const char* names[4] = {"SEPAL_L", "SEPAL_W", "PETAL_L", "PETAL_W"};
    const char* species[3] = {"SETOSA", "VERSIC", "VIRGIN"};
    table.title = input::fixed_width("IRIS, FIVE FLOWERS OF EACH SPECIES", 80);
    for (int j = 1; j <= 4; ++j) table.names[j - 1] = input::fixed_width(names[j - 1], 10);
    table.log_flags[2] = 1;
    for (int i = 1; i <= 15; ++i) {
      table.value(i, 3) = std::log10(table.value(i, 3));
      table.ids[i - 1] = input::fixed_width(
          species[(i - 1) / 5] + std::string("-") + std::to_string((i - 1) % 5 + 1), 10);
      storage.config_x[i - 1] = table.value(i, 1);
      storage.config_y[i - 1] = table.value(i, 2);
    }
    storage.weights[2] = 0.0f;
    storage.weights[6] = 2.0f;
    storage.weighted_count = 15.0f;
    args.weight_option = 'Y';
    args.icon = 1;
    extragrade = 'Y';
    args.alpha = 0.1f;
    args.first_clusters = 2;
    args.last_clusters = 3;
  }
};

void expect_same_lines(const std::vector<std::string>& actual, const std::string& golden) {
  const auto expected =
      file_lines(std::string(TARNWICK_SOURCE_DIR) + "/tests/fuzzy/golden/" + golden);
  ASSERT_FALSE(expected.empty()) << golden;
  for (std::size_t n = 0; n < std::max(actual.size(), expected.size()); ++n) {
    const std::string a = n < actual.size() ? actual[n] : "<no line>";
    const std::string e = n < expected.size() ? expected[n] : "<no line>";
    EXPECT_EQ(a, e) << golden << " line " << n + 1;
  }
}

TEST(WholeRun, IrisWithExtragradesWeightsAndALogVariable) {
  IrisRun r;
  r.run();
  EXPECT_EQ(r.tag, "ONE");
  expect_same_lines(r.lines("RUN.OUT"), "iris15.OUT");
  expect_same_lines(r.lines("RUN.CNT"), "iris15.CNT");
  expect_same_lines(r.lines("RUN.MEM"), "iris15.MEM");
  expect_same_lines(r.lines("RUN.CLS"), "iris15.CLS");
  expect_same_lines(r.lines("RUN.OPT"), "iris15.OPT");
}

}  // namespace
