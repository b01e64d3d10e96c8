// The clustering shares its work among threads: the report and every result
// file come out byte for byte the same for one thread and for several.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "fuzzy/fuzzy.hpp"
#include "fuzzy_support.hpp"

namespace {

// Three groups in four variables with a missing value in every seventh
// sample and weights of 0, 0.5, 1 and 2.
Rows survey() {
  Rows rows = blobs({{0, 0, 1, 3}, {6, 1, 3, 2}, {2, 7, 5, 9}}, 300, 5.0f, 17);
  for (std::size_t i = 0; i < rows.size(); i += 7) rows[i][i % 4] = -999.0f;
  return rows;
}

using Files = std::map<std::string, std::string>;

Files cluster(int threads, int norm, char extragrade) {
  FuzzyRun r(survey());
  for (int i = 0; i < r.table.sample_count; ++i) {
    r.storage.weights[static_cast<std::size_t>(i)] = 0.5f * static_cast<float>(i % 4);
  }
  r.storage.weighted_count = 900.0f;
  r.args.weight_option = 'Y';
  r.args.icon = norm;
  r.args.first_clusters = 2;
  r.args.last_clusters = 5;
  r.extragrade = extragrade;
  r.args.alpha = 0.2f;
  fuzzy::run_fuzzy_clustering(r.args, r.context, r.scaling, nullptr, threads);
  r.report.flush();
  Files files;
  for (const char* name : {"RUN.OUT", "RUN.MEM", "RUN.CNT", "RUN.CLS", "RUN.OPT"}) {
    std::string text;
    for (const std::string& line : r.lines(name)) text += line + "\n";
    files[name] = text;
  }
  return files;
}

TEST(Threads, EveryFileIsTheSameForOneTwoAndFiveThreads) {
  for (const int norm : {0, 3}) {
    for (const char extragrade : {'N', 'Y'}) {
      const Files alone = cluster(1, norm, extragrade);
      EXPECT_GT(alone.at("RUN.MEM").size(), 1000u);
      for (const int threads : {2, 5}) {
        const Files shared = cluster(threads, norm, extragrade);
        for (const auto& [name, text] : alone) {
          EXPECT_TRUE(shared.at(name) == text)
              << name << " differs with " << threads << " threads, norm " << norm
              << ", extragrades " << extragrade;
        }
      }
    }
  }
}

}  // namespace
