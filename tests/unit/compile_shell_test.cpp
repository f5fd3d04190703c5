// Starting the resource compiler off Windows: the parameter text split as a
// Windows program would split it, the PATH search and the exit code.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "base/file_system.hpp"
#include "platform/posix_shell.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

TEST(SplitCommandLine, FollowsTheWindowsRuntimeRules) {
  struct Case {
    const char* text;
    std::vector<std::string> args;
  };
  const std::vector<Case> cases = {
      {"/no/r/fo \"C:\\My Out\\app.res\" \"C:\\K\\liste.rc\"", {"/no/r/fo", "C:\\My Out\\app.res", "C:\\K\\liste.rc"}},
      {"  a\t\tb  ", {"a", "b"}},
      {"", {}},
      {"\"\"", {""}},
      {"a\"b c\"d", {"ab cd"}},
      {"a\\\\b \\c", {"a\\\\b", "\\c"}},
      {"\\\"a", {"\"a"}},
      {"a\\\\\"b c\"", {"a\\b c"}},
      {"a\\\\\\\"b", {"a\\\"b"}},
      {"\"a\"\"b\" c", {"a\"b", "c"}},
      {"\"unterminated x", {"unterminated x"}},
      {"\"C:\\dir\\\\\" x", {"C:\\dir\\", "x"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(SplitCommandLine(c.text), c.args);
  }
}

#ifndef _WIN32

class PathWithFakeCompiler : public ::testing::Test {
 protected:
  PathWithFakeCompiler() : oldPath_(std::getenv("PATH") ? std::getenv("PATH") : "") {
    std::filesystem::copy_file(FolderOf(KOVANC_PATH) + "fake_gorc", bin / "GoRC");
    setenv("PATH", (bin.str() + ":" + oldPath_).c_str(), 1);
    setenv("FAKE_GORC_LOG", (dir / "log").c_str(), 1);
  }
  ~PathWithFakeCompiler() override {
    setenv("PATH", oldPath_.c_str(), 1);
    unsetenv("FAKE_GORC_LOG");
    unsetenv("FAKE_GORC_EXIT");
  }

  test::TempDir bin;
  test::TempDir dir;

 private:
  std::string oldPath_;
};

TEST_F(PathWithFakeCompiler, RunsTheProgramFoundOnPathAndReturnsItsExitCode) {
  test::WriteBytes(dir / "in put", "script");
  PosixShell shell;
  setenv("FAKE_GORC_EXIT", "7", 1);
  const ProcessRun run =
      shell.RunAndWait("GoRC", "/no/fo \"" + dir / "o\"\"ut" + "\" \"" + dir / "in put" + "\"", ShowState::Hide);
  EXPECT_EQ(run.outcome, ProcessRun::Outcome::Exited);
  EXPECT_EQ(run.exitCode, 7u);
  EXPECT_EQ(test::ReadBytes(dir / "o\"ut"), "script");
  EXPECT_EQ(test::ReadBytes(dir / "log"), "arg: /no/fo\narg: " + dir / "o\"ut" + "\narg: " + dir / "in put" + "\n");

  const ProcessRun missing = shell.RunAndWait("NoSuchCompiler", "", ShowState::Hide);
  EXPECT_EQ(missing.outcome, ProcessRun::Outcome::NotStarted);
  EXPECT_EQ(missing.error, 2);
  // Found only when executable.
  test::WriteBytes(bin / "plain", "#!/bin/sh\n");
  EXPECT_EQ(FindOnPath("plain"), "");
}

#endif

}  // namespace
}  // namespace kovan
