// Starting the resource compiler off Windows: the parameter text split and
// joined as a Windows program's runtime does it, the argument vector passed
// as it is, the captured output, the exit code and the deadline.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "base/file_system.hpp"
#include "platform/command_line.hpp"
#include "platform/posix_shell.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

TEST(SplitCommandLine, FollowsTheWindowsRuntimeRulesAndJoinsBack) {
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
    // Whatever the arguments hold, joining them gives a text that splits back.
    EXPECT_EQ(SplitCommandLine(JoinCommandLine(c.args)), c.args);
  }
  EXPECT_EQ(JoinCommandLine({"/fo", "C:\\My Out\\", "a\"b"}), "/fo \"C:\\My Out\\\\\" \"a\\\"b\"");
}

TEST(LastLines, KeepsTheLastNonBlankLines) {
  EXPECT_EQ(LastLines("one\r\ntwo\n\n  \nthree\rfour", 3), "two\rthree\rfour");
  EXPECT_EQ(LastLines("only\n", 10), "only");
  EXPECT_EQ(LastLines(" \n\t\n", 10), "");
}

TEST(LastLines, AnEndlessLineIsCutAndTheWholeTextBounded) {
  // One 5 MB line, cut at a character boundary: "\xC3\xA7" (ç) straddles the limit.
  const std::string huge = std::string(399, 'x') + "\xC3\xA7" + std::string(5 << 20, 'y');
  EXPECT_EQ(LastLines("first\n" + huge + "\n", 10), "first\r" + std::string(399, 'x') + "...");
  // Ten long lines: the last ones that fit in the whole limit.
  std::string many;
  for (int i = 0; i < 10; ++i) many += std::to_string(i) + std::string(1000, 'z') + "\n";
  const std::string shown = LastLines(many, 10);
  EXPECT_LE(shown.size(), 4000u);
  EXPECT_EQ(shown.substr(0, 1), "1");  // line 0 no longer fits
  EXPECT_EQ(shown.substr(shown.size() - 4), "z...");
}

#ifndef _WIN32

class FakeCompiler : public ::testing::Test {
 protected:
  FakeCompiler() {
    std::filesystem::copy_file(FolderOf(KOVANC_PATH) + "fake_gorc", bin / "GoRC");
    setenv("FAKE_GORC_LOG", (dir / "log").c_str(), 1);
  }
  ~FakeCompiler() override {
    for (const char* name : {"FAKE_GORC_LOG", "FAKE_GORC_EXIT", "FAKE_GORC_SAY", "FAKE_GORC_DELAY_MS"}) unsetenv(name);
  }
  ProcessRequest Request(std::vector<std::string> arguments) {
    return {bin / "GoRC", std::move(arguments), {}, std::chrono::seconds(60), {}};
  }

  test::TempDir bin;
  test::TempDir dir;
};

TEST_F(FakeCompiler, ArgumentsArriveAsGivenAndTheOutputIsCaptured) {
  test::WriteBytes(dir / "in put", "script");
  PosixShell shell;
  setenv("FAKE_GORC_EXIT", "7", 1);
  setenv("FAKE_GORC_SAY", "line 1: bad", 1);
  // A quote in a name stays inside its argument.
  const ProcessRun run = shell.RunProgram(Request({"/no/fo", dir / "o\" \"ut", dir / "in put"}));
  EXPECT_EQ(run.outcome, ProcessRun::Outcome::Exited);
  EXPECT_EQ(run.exitCode, 7u);
  EXPECT_EQ(run.output, "line 1: bad\nerror: line 1: bad\n");
  EXPECT_EQ(test::ReadBytes(dir / "o\" \"ut"), "script");
  EXPECT_EQ(test::ReadBytes(dir / "log"), "arg: /no/fo\narg: " + dir / "o\" \"ut" + "\narg: " + dir / "in put" + "\n");

  ProcessRequest missing = Request({});
  missing.program = bin / "NoSuchCompiler";
  EXPECT_EQ(shell.RunProgram(missing).outcome, ProcessRun::Outcome::NotStarted);
  EXPECT_EQ(shell.RunProgram(missing).error, 2);
}

TEST_F(FakeCompiler, ACompilerThatNeverEndsIsEndedAtTheDeadlineOrOnRequest) {
  test::WriteBytes(dir / "in", "x");
  setenv("FAKE_GORC_DELAY_MS", "600000", 1);
  PosixShell shell;
  ProcessRequest request = Request({dir / "out", dir / "in"});
  request.timeout = std::chrono::milliseconds(300);
  EXPECT_EQ(shell.RunProgram(request).outcome, ProcessRun::Outcome::TimedOut);

  request.timeout = std::chrono::seconds(60);
  request.stopRequested = [] { return true; };
  EXPECT_EQ(shell.RunProgram(request).outcome, ProcessRun::Outcome::Stopped);
}

#endif

}  // namespace
}  // namespace kovan
