// kovanc driven as a program: arguments in, bytes and exit codes out.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "kovan_version.h"
#include "support/run_kovanc.hpp"
#include "support/test_util.hpp"

#ifndef _WIN32
namespace kovan {
namespace {

using test::Kovanc;
using test::Q;
using Result = test::CommandResult;

TEST(Kovanc, VersionNeedsNoCommandAndShowsTheBuildsVersion) {
  const Result r = Kovanc("--version");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "kovanc " KOVAN_VERSION_TEXT "\n");
  EXPECT_NE(Kovanc("").exitCode, 0) << "without --version a command is still required";
}

TEST(Kovanc, PoolListPrintsFieldsAsJsonOrTabs) {
  test::TempDir dir;
  test::WriteBytes(dir / "Liste.kvl", "?,ico,\"C:\\My Icons\\a.ico\"\r\n\r\nx,\r\n\"\"\r\nA,\xFE,p\r\n");
  const Result json = Kovanc("pool list --json --codepage 1254 " + Q(dir / "Liste.kvl"));
  EXPECT_EQ(json.exitCode, 0);
  EXPECT_EQ(json.out,
            "[[\"?\",\"ico\",\"C:\\\\My Icons\\\\a.ico\"],[],[\"x\",\"\"],[\"\"],[\"A\",\"\xc5\x9f\",\"p\"]]\n");
  const Result plain = Kovanc("pool list " + Q(dir / "Liste.kvl"));
  EXPECT_EQ(plain.out, "?\tico\tC:\\My Icons\\a.ico\n\nx\t\n\nA\t\xc3\xbe\tp\n");
  EXPECT_NE(Kovanc("pool list " + Q(dir / "none.kvl")).exitCode, 0);
}

TEST(Kovanc, PoolAddAppendsLikeADropAndWritesTheListFile) {
  test::TempDir dir;
  test::WriteBytes(dir / "my icon.ico", "x");
  test::WriteBytes(dir / "README", "x");
  std::filesystem::create_directory(test::FsPath(dir / "folder"));
  test::WriteBytes(dir / "folder/inner.png", "x");
  const std::string list = dir / "Liste.kvl";

  Result r = Kovanc("pool add " + Q(list) + " " + Q(dir / "my icon.ico") + " " + Q(dir / "README") + " " +
                    Q(dir / "folder") + " " + Q(dir / "my icon.ico"));
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "2\n");
  EXPECT_EQ(test::ReadBytes(list), "?,ico,\"" + dir / "my icon.ico" + "\"\r\n?,," + dir / "README" + "\r\n");

  r = Kovanc("pool add --folders " + Q(list) + " " + Q(dir / "folder"));
  EXPECT_EQ(r.out, "3\n");
  EXPECT_EQ(test::ReadBytes(list).substr(test::ReadBytes(list).rfind("?,png")),
            "?,png," + dir / "folder/inner.png" + "\r\n");
}

TEST(Kovanc, PoolAddStoresFullPathsAndNamesWhatIsMissing) {
  test::TempDir dir;
  test::WriteBytes(dir / "a.ico", "x");
  // Run from the list's folder with bare names; stderr is kept, stdout dropped.
  const Result r = test::RunCommand("cd " + Q(dir.str()) + " && " + KOVANC_PATH +
                                    " pool add g.kvl a.ico nothing.ico 2>&1 >/dev/null");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "kovanc: nothing.ico: File not found\n");
  EXPECT_EQ(test::ReadBytes(dir / "g.kvl"), "?,ico," + dir / "a.ico" + "\r\n");
}

TEST(Kovanc, PoolSetAndRemoveChangeEntriesOrRefuseWithoutWriting) {
  test::TempDir dir;
  const std::string list = dir / "Liste.kvl";
  const std::string a = dir / "a.ico", b = dir / "b.png", c = dir / "c.wav";
  test::WriteBytes(list, "?,ico," + a + "\r\nK,png," + b + "\r\n?,wav," + c + "\r\n");
  auto withErrors = [](const std::string& args) {
    return test::RunCommand(std::string(KOVANC_PATH) + " " + args + " 2>&1");
  };

  EXPECT_EQ(Kovanc("pool set " + Q(list) + " " + Q(a) + " --key 'my key_1' --type bmp").exitCode, 0);
  EXPECT_EQ(Kovanc("pool set " + Q(list) + " " + Q(b) + " --key ''").exitCode, 0);
  const std::string edited = "MYKEY_1,BMP," + a + "\r\n?,png," + b + "\r\n?,wav," + c + "\r\n";
  EXPECT_EQ(test::ReadBytes(list), edited);

  struct Refusal {
    std::string args;
    std::string named;
  };
  const Refusal refusals[] = {
      {"pool set " + Q(list) + " " + Q(a) + " --key X --type 'a.b'", "\".\""},
      {"pool set " + Q(list) + " " + Q(a) + " --key '\xC3\xA7'", "\"\xC3\xA7\""},
      {"pool set " + Q(list) + " " + Q(dir / "A.ico") + " --key X", dir / "A.ico"},
      {"pool remove " + Q(list) + " " + Q(b) + " " + Q(dir / "none"), dir / "none"},
  };
  for (const Refusal& r : refusals) {
    const Result result = withErrors(r.args);
    EXPECT_EQ(result.exitCode, 1) << r.args;
    EXPECT_NE(result.out.find(r.named), std::string::npos) << result.out;
    EXPECT_EQ(test::ReadBytes(list), edited) << r.args;
  }

  const Result removed = Kovanc("pool remove " + Q(list) + " " + Q(a) + " " + Q(c));
  EXPECT_EQ(removed.exitCode, 0);
  EXPECT_EQ(removed.out, "1\n");
  EXPECT_EQ(test::ReadBytes(list), "?,png," + b + "\r\n");
}

TEST(Kovanc, PoolErrorsNameTheListFile) {
  test::TempDir dir;
  const std::string list = dir / "Liste.kvl";
  const std::string a = dir / "a.ico";
  test::WriteBytes(a, "x");
  test::WriteBytes(list, "?,ico," + a + "\r\n");
  const std::string unwritable = dir / "a.ico/Liste.kvl";  // its folder is a file
  const test::ErrorCase cases[] = {
      {"pool list " + Q(dir / "none.kvl"), dir / "none.kvl", 1},
      // Opened, then the read fails.
      {"pool list /proc/self/mem", "/proc/self/mem", 1},
      {"pool add " + Q(unwritable) + " " + Q(a), unwritable, 1},
      {"pool set " + Q(list) + " " + Q(a) + " --key 'a-b'", list, 1},
  };
  for (const test::ErrorCase& c : cases) {
    const Result r = test::KovancErrors(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args;
    EXPECT_NE(r.out.find(c.named), std::string::npos) << c.args << "\n" << r.out;
  }
}

}  // namespace
}  // namespace kovan
#endif
