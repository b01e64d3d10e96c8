// The program asks for everything in its dialogue: --help and --version
// describe it, and any other argument is refused before a question is put.
#include "e2e/e2e_support.hpp"

using namespace e2e;

namespace {

const std::string program = std::string("'") + TARNWICK_BINARY + "'";

// Nothing but the command's own files: no report, no scratch file.
void expect_nothing_written(const Folder& dir) {
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "command.sh" || name == "command.out" || name == "command.err") << name;
  }
}

}  // namespace

TEST(CommandLine, HelpAndVersionDescribeTheProgramAndPutNoQuestion) {
  Folder dir;
  const CommandResult help = run_command(dir, program + " --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, "");
  EXPECT_TRUE(contains(help.out, "It takes no arguments"));
  EXPECT_TRUE(contains(help.out, "\n  printf 'Y\\nrun.dlg\\n' | tarnwick\n")) << help.out;
  EXPECT_TRUE(contains(help.out, "/share/doc/tarnwick/guide.md\n")) << help.out;
  EXPECT_FALSE(contains(help.out, "Graphics")) << "the dialogue started";

  const CommandResult version = run_command(dir, program + " --version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.err, "");
  EXPECT_EQ(version.out.substr(0, version.out.find('\n')), "tarnwick " TARNWICK_VERSION);
  EXPECT_TRUE(contains(version.out, "--help"));
  expect_nothing_written(dir);
}

TEST(CommandLine, AnyOtherArgumentIsRefusedInOneLineWithStatus2) {
  for (const std::string arguments : {"-h", "iris.dlg", "--HELP", "''", "--help --version",
                                      "--help x", "x --help", "-- --help"}) {
    Folder dir;
    const CommandResult result = run_command(dir, program + " " + arguments);
    EXPECT_EQ(result.status, 2) << arguments;
    EXPECT_EQ(result.out, "") << arguments;
    EXPECT_EQ(count_of(result.err, "\n"), 1) << arguments << ": " << result.err;
    EXPECT_TRUE(contains(result.err, "takes no arguments")) << result.err;
    EXPECT_TRUE(contains(result.err, "tarnwick --help")) << result.err;
    expect_nothing_written(dir);
  }
}

TEST(CommandLine, HelpThatCannotBeWrittenIsAFailure) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this machine";
  const int raw = std::system((program + " --help > /dev/full 2> /dev/null").c_str());
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 1);
}
