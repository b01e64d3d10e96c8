// The mapping shares its work among threads: the report, the .NLM file and
// both scratch files come out byte for byte the same for one thread and for
// several.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "mapping_support.hpp"

namespace {

using Files = std::map<std::string, std::string>;

// Above the scratch-file threshold, with a missing value in every ninth
// sample and weights that leave some samples out of the statistics.
Files map_samples(int threads, int norm) {
  mapping_test::Rows rows = mapping_test::random_rows(1100, 4, 23);
  for (std::size_t i = 0; i < rows.size(); i += 9) rows[i][(i / 9) % 4] = -999.0f;
  mapping_test::MappingRun r(rows);
  for (std::size_t i = 0; i < rows.size(); i += 5) r.storage.weights[i] = 0.0f;
  r.map(norm, 6, 1.5f, threads);
  r.report.flush();
  Files files;
  for (const char* name : {"TEST.OUT", "TEST.NLM", "NLMA.TMP", "NLMB.TMP"}) {
    files[name] = mapping_test::file_text(name);
  }
  return files;
}

TEST(Threads, EveryFileIsTheSameForOneTwoAndFiveThreads) {
  for (const int norm : {0, 3}) {
    const Files alone = map_samples(1, norm);
    EXPECT_GT(alone.at("NLMB.TMP").size(), 1000000u);
    for (const int threads : {2, 5}) {
      const Files shared = map_samples(threads, norm);
      for (const auto& [name, text] : alone) {
        EXPECT_TRUE(shared.at(name) == text)
            << name << " differs with " << threads << " threads, norm " << norm;
      }
    }
  }
}

}  // namespace
