// The status line on a real (pseudo-)terminal: both analyses tell how far they
// have come, each text fits the terminal's width and is rewritten in place,
// and each is wiped before anything else is written; none of it reaches the
// report or a result file.

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "e2e/e2e_support.hpp"
#include "e2e/terminal_run.hpp"

using namespace e2e;

namespace {

constexpr int kLimit = 120;  // seconds; only a guard against a run that hangs
const std::string kEraseLine = "\x1b[K";

// The texts the program put on the status line, in order: each is written as
// "\r" + text + erase-to-end-of-line, and each must be followed by the next
// such text or by the wipe "\r" + erase-to-end-of-line.
struct StatusTexts {
  std::vector<std::string> texts;
  int unwiped = 0;
};

StatusTexts status_texts(const std::string& output) {
  static const std::regex status("\r( (MAPPING ITERATION|[ 0-9]{2} CLUSTERS)[^\r\n\x1b]*)\x1b\\[K");
  StatusTexts found;
  for (auto it = std::sregex_iterator(output.begin(), output.end(), status);
       it != std::sregex_iterator(); ++it) {
    found.texts.push_back((*it)[1].str());
    const std::size_t end = static_cast<std::size_t>(it->position() + it->length());
    if (output.compare(end, 1, "\r") != 0) ++found.unwiped;
  }
  return found;
}

// The iris example with graphics off on a terminal of the given width.
std::string run_on_terminal(const Folder& dir, int columns) {
  copy_example(dir, "iris");
  TerminalRun run(dir.path(), columns, 24);
  if (!run.started()) return {};
  run.type("Y");
  run.type("iris.dlg");
  EXPECT_EQ(run.finish(kLimit), 0) << run.output();
  return run.output();
}

bool any_file_holds(const Folder& dir, const std::string& text) {
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    if (contains(read_file(entry.path()), text)) return true;
  }
  return false;
}

}  // namespace

TEST(StatusLine, BothAnalysesShowTheirProgressAndWipeIt) {
  Folder dir;
  const std::string output = run_on_terminal(dir, 80);
  const StatusTexts found = status_texts(output);
  ASSERT_FALSE(found.texts.empty()) << output;
  EXPECT_EQ(found.unwiped, 0) << "a status line was left for other text to be written over";
  // The first call of each analysis shows at once: its first iteration.
  EXPECT_EQ(found.texts.front().substr(0, 30), " MAPPING ITERATION   1 OF 100 ");
  const std::regex mapping(
      R"( MAPPING ITERATION ( {2}\d| \d\d|\d{3}) OF 100   MAPPING ERROR 0\.\d{6}E[-+]\d\d)");
  const std::regex clustering(
      R"( [ \d]\d CLUSTERS \( 2 TO  6\)   ITERATION ( {2}\d| \d\d|\d{3})   LARGEST MEMBERSHIP CHANGE 0\.\d{4}E[-+]\d\d)");
  bool clustered = false;
  for (const auto& text : found.texts) {
    EXPECT_LE(text.size(), 79u) << text;
    const bool is_mapping = std::regex_match(text, mapping);
    const bool is_clustering = std::regex_match(text, clustering);
    EXPECT_TRUE(is_mapping || is_clustering) << text;
    EXPECT_FALSE(clustered && is_mapping) << "the mapping runs before the clustering";
    clustered = clustered || is_clustering;
  }
  EXPECT_TRUE(clustered) << "no status line from the clustering";
  EXPECT_FALSE(any_file_holds(dir, "MAPPING ITERATION")) << "the status line reached a file";
  EXPECT_FALSE(any_file_holds(dir, "LARGEST MEMBERSHIP CHANGE"));
}

// The mapping error of the first iteration is the one the report lists.
TEST(StatusLine, TheMappingErrorIsTheReportedOne) {
  Folder dir;
  const StatusTexts found = status_texts(run_on_terminal(dir, 80));
  ASSERT_FALSE(found.texts.empty());
  const std::string& first = found.texts.front();
  const double shown = std::strtod(first.substr(first.rfind(' ')).c_str(), nullptr);
  const auto report = dir.lines("IRIS.OUT");
  std::size_t at = 0;
  while (at < report.size() && report[at] != " MAPPING ERROR:") ++at;
  ASSERT_LT(at + 2, report.size());
  const double listed = std::strtod(report[at + 2].c_str(), nullptr);
  EXPECT_NEAR(shown, listed, 0.00005) << first << "\n" << report[at + 2];
}

TEST(StatusLine, IsCutToANarrowTerminal) {
  Folder dir;
  const StatusTexts found = status_texts(run_on_terminal(dir, 40));
  ASSERT_FALSE(found.texts.empty());
  for (const auto& text : found.texts) EXPECT_EQ(text.size(), 39u) << text;
  EXPECT_EQ(found.unwiped, 0);
}
