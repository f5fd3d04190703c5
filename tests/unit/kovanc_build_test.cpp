// kovanc in a build: the dependency file as Ninja reads it, the up-to-date
// record and --force, and the generated header as C and C++ compilers take it.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/file_stamp.hpp"
#include "pool/pool_file.hpp"
#include "support/resource_files.hpp"
#include "support/run_kovanc.hpp"
#include "support/test_util.hpp"

#ifndef _WIN32
namespace kovan {
namespace {

using test::Q;
using Result = test::CommandResult;

class KovancBuild : public ::testing::Test {
 protected:
  KovancBuild() {
    Add("LOGO", "rcdata", "logo.bin", "logo bytes");
    Add("APP", "icon", "app.ico", test::IconFileBytes(1, {{16, 16, 0, 1, 32, test::DibImage(16, 16, 32)}}));
    WriteList();
  }

  void Add(const std::string& key, const std::string& type, const std::string& name, const std::string& bytes) {
    test::WriteBytes(dir / name, bytes);
    pool.Append(key, type, dir / name);
  }

  void WriteList() { WritePoolFile(pool, list); }

  // kovanc with standard error after standard output.
  Result Run(const std::string& args, const std::string& env = "") {
    return test::RunCommand("env " + env + " " + std::string(KOVANC_PATH) + " " + args + " 2>&1");
  }

  static bool Mentions(const Result& r, const std::string& text) { return r.out.find(text) != std::string::npos; }

  test::TempDir dir;
  ResourcePool pool;
  std::string list = dir / "Liste.kvl";
};

bool HasProgram(const std::string& name) {
  return test::RunCommand("command -v " + name + " >/dev/null").exitCode == 0;
}

// Pool files whose names need every escape, in a folder with a space: Ninja
// reads the dependency file back to exactly these paths, sees nothing to do
// after the build, and builds again when one of them changes.
TEST_F(KovancBuild, NinjaReadsTheDependencyFile) {
  if (!HasProgram("ninja")) GTEST_SKIP() << "ninja is not installed";
  std::filesystem::create_directories(test::FsPath(dir / "my files"));
  const std::vector<std::string> odd = {dir / "my files/a b.bin", dir / "my files/hash#1.bin",
                                        dir / "my files/cost$5.bin", dir / "my files/c:d.bin",
                                        dir / "my files/back\\ slash.bin"};
  for (size_t i = 0; i < odd.size(); ++i) {
    test::WriteBytes(odd[i], "data " + std::to_string(i));
    pool.Append("ODD" + std::to_string(i), "rcdata", odd[i]);
  }
  WriteList();
  test::WriteBytes(dir / "build.ninja",
                   "rule kovanc\n"
                   "  command = " +
                       std::string(KOVANC_PATH) + " compile --obj --compiler builtin --depfile out.d out " + Q(list) +
                       "\n"
                       "  depfile = out.d\n"
                       "  deps = gcc\n"
                       "build out.obj: kovanc\n");
  const std::string ninja = "ninja -C " + Q(dir.str()) + " ";
  ASSERT_EQ(test::RunCommand(ninja + ">/dev/null").exitCode, 0);

  std::vector<std::string> expected = {list};
  for (size_t i = 0; i < pool.Count(); ++i) expected.push_back(pool.Field(i, kFilePath));
  const Result listed = test::RunCommand(ninja + "-t deps");
  std::vector<std::string> read;
  for (size_t at = listed.out.find("\n    "); at != std::string::npos; at = listed.out.find("\n    ", at + 1)) {
    const size_t end = listed.out.find('\n', at + 5);
    read.push_back(listed.out.substr(at + 5, end - at - 5));
  }
  EXPECT_EQ(read, expected) << listed.out;

  EXPECT_NE(test::RunCommand(ninja + "-n").out.find("no work to do"), std::string::npos);
  std::filesystem::last_write_time(test::FsPath(odd[2]),
                                   std::filesystem::last_write_time(test::FsPath(odd[2])) + std::chrono::seconds(5));
  EXPECT_NE(test::RunCommand(ninja + "-n").out.find("[1/1]"), std::string::npos);
}

TEST_F(KovancBuild, RefusesAPathTheDependencyFileCannotCarry) {
  Add("TABBED", "rcdata", "tab\tbed.bin", "x");
  WriteList();
  const Result r =
      Run("compile --res --compiler builtin --depfile " + Q(dir / "out.d") + " " + Q(dir / "out") + " " + Q(list));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(Mentions(r, "tab\tbed.bin")) << r.out;
  EXPECT_FALSE(std::filesystem::exists(test::FsPath(dir / "out.res")));
}

// After a compile, a second one with nothing changed leaves the output as it
// is; each kind of change compiles again, and the run after it is up to date.
TEST_F(KovancBuild, CompilesAgainOnlyWhenAnInputChanged) {
  const std::string output = dir / "out.obj";
  const std::string header = dir / "res.h";
  const std::string base = "compile --obj --compiler builtin --header " + Q(header) + " " + Q(dir / "out") + " ";
  auto compile = [&](const std::string& extra = "", const std::string& env = "") {
    return Run(base + extra + " " + Q(list), env);
  };
  auto later = [](const std::string& path) {
    std::filesystem::last_write_time(test::FsPath(path),
                                     std::filesystem::last_write_time(test::FsPath(path)) + std::chrono::seconds(3));
  };

  ASSERT_TRUE(Mentions(compile(), "made by Kovan"));
  const std::string bytes = test::ReadBytes(output);
  const auto stamp = FileStampOf(output);
  const auto headerStamp = FileStampOf(header);
  const Result again = compile();
  EXPECT_EQ(again.exitCode, 0);
  EXPECT_TRUE(Mentions(again, output + " is up to date")) << again.out;
  EXPECT_EQ(FileStampOf(output), stamp);
  EXPECT_EQ(FileStampOf(header), headerStamp);
  EXPECT_EQ(test::ReadBytes(output), bytes);

  struct Change {
    const char* what;
    std::function<void()> make;
    std::string extra;
    std::string env;
  };
  const std::vector<Change> changes = {
      {"a pool file's time", [&] { later(dir / "logo.bin"); }, "", ""},
      {"a pool file's size", [&] { test::WriteBytes(dir / "logo.bin", "longer logo bytes"); }, "", ""},
      {"the list file",
       [&] {
         pool.SetField(0, kKeyName, "EMBLEM");
         WriteList();
       },
       "", ""},
      {"the list file's time", [&] { later(list); }, "", ""},
      {"the output removed", [&] { std::filesystem::remove(test::FsPath(output)); }, "", ""},
      {"the output changed", [&] { test::WriteBytes(output, "edited"); }, "", ""},
      {"the header removed", [&] { std::filesystem::remove(test::FsPath(header)); }, "", ""},
      {"the record damaged", [&] { test::WriteBytes(output + ".kovan-stamp", "kovan-stamp 1\n"); }, "", ""},
      {"the machine", [] {}, "--machine x64", ""},
      {"the object's time stamp", [] {}, "--machine x64", "SOURCE_DATE_EPOCH=1700000000"},
      {"--force", [] {}, "--force", ""},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.what);
    change.make();
    const Result r = compile(change.extra, change.env);
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_TRUE(Mentions(r, "made by Kovan")) << r.out;
    EXPECT_TRUE(std::filesystem::exists(test::FsPath(header)));
    if (change.extra != "--force") {
      EXPECT_TRUE(Mentions(compile(change.extra, change.env), "is up to date"));
    }
  }
  // The header holds what the pool gives, rewritten only when that changed.
  EXPECT_NE(test::ReadBytes(header).find("RES_EMBLEM_SIZE 17UL"), std::string::npos);
}

// Builds a header for a pool of every kind of key and type, checks what it
// says, and compiles a file that uses it as C89 and C++17 with the host's
// compilers and with mingw's against <windows.h>.
TEST_F(KovancBuild, HeaderCompilesCleanlyAsCAndCxx) {
  Add("5", "rcdata", "five.bin", "12345");
  Add("data-1", "wave", "sound.wav", "RIFF....");
  Add("pic", "bitmap", "pic.bmp", test::BmpFileBytes(2, 2));
  // Two question marks and a slash make a trigraph in C89.
  Add("\xC3\x87"
      "a?\?/y",
      "x\"y", "odd.bin", "odd");
  WriteList();
  const std::string header = dir / "pool resources.h";
  const Result made = Run("header " + Q(list) + " --out " + Q(header));
  ASSERT_EQ(made.exitCode, 0) << made.out;
  const std::string text = test::ReadBytes(header);
  for (const char* line : {"#define RES_APP_NAME L\"APP\"\n", "#define RES_APP_TYPE MAKEINTRESOURCEW(14)",
                           "#define RES_APP_SIZE 20UL\n",  // the group directory of one image
                           "#define RES_LOGO_TYPE MAKEINTRESOURCEW(10)", "#define RES_LOGO_SIZE 10UL\n",
                           "#define RES_5_NAME MAKEINTRESOURCEW(5)\n", "#define RES_DATA_1_NAME L\"DATA-1\"\n",
                           "#define RES_DATA_1_TYPE L\"WAVE\"\n", "#define RES_PIC_SIZE 56UL\n",
                           "#define RES__A___Y_NAME L\"\\x00C7\" L\"A\\x003F\" L\"\\x003F\" L\"/Y\"\n",
                           "#define RES__A___Y_TYPE L\"X\\x0022\" L\"Y\"\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  }

  const std::string use =
      "#include \"pool resources.h\"\n"
      "unsigned long TotalSize(void) {\n"
      "  return RES_APP_SIZE + RES_LOGO_SIZE + RES_5_SIZE + RES_DATA_1_SIZE + RES_PIC_SIZE + RES__A___Y_SIZE;\n"
      "}\n";
  const std::string windowsUse =
      "#include <windows.h>\n" + use +
      "int Found(void) {\n"
      "  return FindResourceW(NULL, RES_APP_NAME, RES_APP_TYPE) != NULL && FindResourceW(NULL, RES_5_NAME, RES_5_TYPE) "
      "!= NULL && FindResourceW(NULL, RES_DATA_1_NAME, RES_DATA_1_TYPE) != NULL && FindResourceW(NULL, "
      "RES__A___Y_NAME, RES__A___Y_TYPE) != NULL;\n"
      "}\n";
  // Off Windows only the header's own syntax is checked; the names need
  // <windows.h>, so a stand-in gives them a meaning.
  const std::string hostUse = "#include <wchar.h>\n#define MAKEINTRESOURCEW(i) ((const wchar_t*)(unsigned long)(i))\n" +
                              use +
                              "const wchar_t* Names(void) { return RES_DATA_1_TYPE; }\n"
                              "const wchar_t* Numbers(void) { return RES_APP_TYPE; }\n";
  test::WriteBytes(dir / "use.c", hostUse);
  test::WriteBytes(dir / "use.cpp", hostUse);
  test::WriteBytes(dir / "win.c", windowsUse);
  test::WriteBytes(dir / "win.cpp", windowsUse);
  struct Compiler {
    std::string program;
    std::string standard;
    std::string source;
  };
  const std::vector<Compiler> compilers = {
      {"gcc", "-std=c89", "use.c"},
      {"g++", "-std=c++17", "use.cpp"},
      {"x86_64-w64-mingw32-gcc", "-std=c89", "win.c"},
      {"x86_64-w64-mingw32-g++", "-std=c++17", "win.cpp"},
  };
  for (const Compiler& c : compilers) {
    if (!HasProgram(c.program)) {
      ADD_FAILURE() << c.program << " is not installed";
      continue;
    }
    const Result r = test::RunCommand("cd " + Q(dir.str()) + " && " + c.program + " " + c.standard +
                                      " -Wall -Wextra -pedantic -Werror -c -o /dev/null " + c.source + " 2>&1");
    EXPECT_EQ(r.exitCode, 0) << c.program << " " << c.standard << ":\n" << r.out;
  }
}

// The script's key check keeps such keys out of a compile; the header alone
// takes any key the compiler does.
TEST_F(KovancBuild, KeysGivingOneIdentifierAreRefusedByName) {
  Add("A-B", "rcdata", "one.bin", "1");
  Add("a.b", "rcdata", "two.bin", "2");
  WriteList();
  const Result r = Run("header " + Q(list) + " --out " + Q(dir / "res.h"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(Mentions(r, list + ":4: error: the keys A-B (line 3) and a.b (line 4) both give the C name A_B"))
      << r.out;
  EXPECT_FALSE(std::filesystem::exists(test::FsPath(dir / "res.h")));
}

}  // namespace
}  // namespace kovan
#endif
