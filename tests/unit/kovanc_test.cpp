// kovanc driven as a program: arguments in, bytes and exit codes out.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

#include "base/file_system.hpp"
#include "base/text.hpp"
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
                    Q(dir / "my icon.ico"));
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "2\n");
  EXPECT_EQ(test::ReadBytes(list), "?,ico,\"" + dir / "my icon.ico" + "\"\r\n?,," + dir / "README" + "\r\n");

  r = Kovanc("pool add --folders " + Q(list) + " " + Q(dir / "folder"));
  EXPECT_EQ(r.out, "3\n");
  EXPECT_EQ(test::ReadBytes(list).substr(test::ReadBytes(list).rfind("?,png")),
            "?,png," + dir / "folder/inner.png" + "\r\n");
}

TEST(Kovanc, PoolAddOfAFolderWithoutFoldersSaysHowAndFails) {
  test::TempDir dir;
  std::filesystem::create_directory(test::FsPath(dir / "folder"));
  test::WriteBytes(dir / "folder/inner.png", "x");
  test::WriteBytes(dir / "a.ico", "x");
  const Result r =
      test::KovancErrors("pool add " + Q(dir / "g.kvl") + " " + Q(dir / "folder") + " " + Q(dir / "a.ico"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "kovanc: " + dir / "folder" +
                       " is a folder; add the files in it with --folders (and those of its subfolders with "
                       "--subfolders as well)\n");
  EXPECT_EQ(test::ReadBytes(dir / "g.kvl"), "?,ico," + dir / "a.ico" + "\r\n") << "the rest is added";
}

TEST(Kovanc, PoolAddRefusesNamesThatWouldAddEntriesOrScriptOfTheirOwn) {
  test::TempDir dir;
  std::filesystem::create_directory(test::FsPath(dir / "in"));
  const std::string names[] = {"x\" LEAK RCDATA \"secret.env", "a\n?,env,secret.env", "b\rc.ico",
                               "d\x1A"
                               "e.ico"};
  for (const std::string& name : names) test::WriteBytes(dir / "in/" + name, "x");
  test::WriteBytes(dir / "in/good.ico", "x");
  const std::string list = dir / "Liste.kvl";

  Result r = test::KovancErrors("pool add --folders " + Q(list) + " " + Q(dir / "in"));
  EXPECT_EQ(r.exitCode, 1);
  for (const std::string& name : names) {
    EXPECT_NE(r.out.find(ShowControlBytes(dir / "in/" + name) + "\" was not added"), std::string::npos)
        << test::Printable(r.out);
  }
  EXPECT_EQ(test::ReadBytes(list), "?,ico," + dir / "in/good.ico" + "\r\n");

  // Named one by one, they are refused the same way, and the list stays as it was.
  for (const std::string& name : names) {
    r = test::KovancErrors("pool add " + Q(list) + " " + Q(dir / "in/" + name));
    EXPECT_EQ(r.exitCode, 1) << test::Printable(name);
    EXPECT_NE(r.out.find("was not added"), std::string::npos) << test::Printable(r.out);
  }
  EXPECT_EQ(test::ReadBytes(list), "?,ico," + dir / "in/good.ico" + "\r\n");
}

TEST(Kovanc, AListReachedThroughALinkWithAColonInItsNameIsTheOneWritten) {
  test::TempDir dir;
  test::WriteBytes(dir / "a.ico", "x");
  test::WriteBytes(dir / "real.kvl", "");
  std::filesystem::create_symlink("real.kvl", test::FsPath(dir / "v1:list.kvl"));
  EXPECT_EQ(Kovanc("pool add " + Q(dir / "v1:list.kvl") + " " + Q(dir / "a.ico")).exitCode, 0);
  EXPECT_TRUE(std::filesystem::is_symlink(test::FsPath(dir / "v1:list.kvl")));
  EXPECT_EQ(test::ReadBytes(dir / "real.kvl"), "?,ico," + dir / "a.ico" + "\r\n");
  EXPECT_EQ(Kovanc("pool set --key A " + Q(dir / "v1:list.kvl") + " " + Q(dir / "a.ico")).exitCode, 0);
  EXPECT_EQ(Kovanc("script " + Q(dir / "v1:list.kvl")).exitCode, 0);
  EXPECT_TRUE(FileExists(dir / "liste.rc"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(test::FsPath(dir.str())), {}), 4);
}

TEST(Kovanc, AReadOnlyListIsRefusedAndKeptAsItIs) {
  test::TempDir dir;
  test::WriteBytes(dir / "a.ico", "x");
  const std::string list = dir / "Liste.kvl";
  test::WriteBytes(list, "K,ico,/k.ico\r\n");
  std::filesystem::permissions(test::FsPath(list), std::filesystem::perms::owner_read |
                                                       std::filesystem::perms::group_read |
                                                       std::filesystem::perms::others_read);
  for (const std::string& command :
       {"pool add " + Q(list) + " " + Q(dir / "a.ico"), "pool remove " + Q(list) + " /k.ico"}) {
    const Result r = test::KovancErrors(command);
    EXPECT_EQ(r.exitCode, 1) << command;
    EXPECT_EQ(r.out, "kovanc: cannot write " + list + ": File access denied\n");
  }
  EXPECT_EQ(test::ReadBytes(list), "K,ico,/k.ico\r\n");
}

TEST(Kovanc, AddsRunningAtOnceOnOneListLoseNothing) {
  test::TempDir dir;
  const std::string list = dir / "Liste.kvl";
  std::string script;
  for (int i = 0; i < 20; ++i) {
    const std::string file = dir / ("f" + std::to_string(i) + ".ico");
    test::WriteBytes(file, "x");
    script += std::string(KOVANC_PATH) + " pool add " + Q(list) + " " + Q(file) + " >/dev/null || echo failed & ";
  }
  const Result r = test::RunCommand("sh -c " + Q(script + "wait"));
  EXPECT_EQ(r.out, "");
  std::string bytes = test::ReadBytes(list);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 20) << bytes;
  for (int i = 0; i < 20; ++i) EXPECT_NE(bytes.find("f" + std::to_string(i) + ".ico\r\n"), std::string::npos) << i;
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
