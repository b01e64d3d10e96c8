// The installed tree as a user gets it from cmake --install (and from the
// package, which is made of the same install rules): the program, its manual
// page, the guide and the examples, which run from a copy of their folder.
#include "e2e/e2e_support.hpp"

using namespace e2e;

namespace {

const fs::path source = TARNWICK_SOURCE_DIR;

void expect_same_file(const fs::path& installed, const fs::path& original) {
  ASSERT_TRUE(fs::is_regular_file(installed)) << installed;
  EXPECT_EQ(read_file(installed), read_file(original)) << installed;
}

}  // namespace

TEST(Install, PutsTheProgramManualGuideAndRunnableExamplesUnderThePrefix) {
  Folder dir;
  const CommandResult install =
      run_command(dir, std::string("'") + TARNWICK_CMAKE + "' --install '" + TARNWICK_BUILD_DIR +
                           "' --prefix '" + (dir / "prefix").string() + "'");
  ASSERT_EQ(install.status, 0) << install.out << install.err;

  const fs::path bin = dir / "prefix/bin/tarnwick";
  const fs::path docs = dir / "prefix/share/doc/tarnwick";
  ASSERT_TRUE(fs::is_regular_file(bin));
  EXPECT_TRUE(fs::is_regular_file(dir / "prefix/share/man/man1/tarnwick.1"));
  expect_same_file(docs / "guide.md", source / "docs/guide.md");
  expect_same_file(docs / "README.md", source / "README.md");
  for (const char* file : {"iris/IRIS.CSV", "iris/iris.dlg", "soil/SOIL.DBF", "soil/soil.dlg",
                           "sediment/SEDIMENT.FXD", "sediment/SEDIMENT.INF", "sediment/sed.dlg"}) {
    expect_same_file(docs / "examples" / file, source / "examples" / file);
  }

  // Installed under another prefix than the configured one, the program
  // still points to the guide it was installed with.
  const CommandResult help = run_command(dir, "'" + bin.string() + "' --help");
  EXPECT_TRUE(contains(help.out, "Guide:    " + (docs / "guide.md").string() + "\n")) << help.out;

  // The way the manual page runs the iris example: a copy of the examples
  // and a folder beside it.
  fs::create_directories(dir / "work/scratch");
  fs::copy(docs / "examples", dir / "work/examples", fs::copy_options::recursive);
  const CommandResult run = run_command(
      dir, "cd work/scratch && printf 'Y\\n../examples/iris/iris.dlg\\n' | '" + bin.string() + "'");
  EXPECT_EQ(run.status, 0) << last_line(run.out);
  EXPECT_TRUE(contains(read_file(dir / "work/scratch/IRIS.OUT"), "NORMAL END OF FUZZY JOB"));
  EXPECT_TRUE(fs::is_regular_file(dir / "work/scratch/IRIS.OPT"));
}

TEST(Install, ManualPageHasNoGroffWarnings) {
  if (std::system("command -v groff > /dev/null 2>&1") != 0) {
    GTEST_SKIP() << "groff is not installed: the manual page is not checked";
  }
  Folder dir;
  const fs::path page = fs::path(TARNWICK_BUILD_DIR) / "tarnwick.1";
  ASSERT_TRUE(fs::is_regular_file(page));
  const CommandResult check = run_command(dir, "groff -man -ww -z '" + page.string() + "'");
  EXPECT_EQ(check.status, 0);
  EXPECT_EQ(check.err, "");
  // Every placeholder of the page source was filled in by the build.
  EXPECT_FALSE(contains(read_file(page), "@")) << page;
}
