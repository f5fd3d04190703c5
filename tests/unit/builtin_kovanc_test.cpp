// kovanc with Kovan's own compiler: chosen by name, or standing in when no
// compiler is named and GoRC is not found; its refusals as LIST:N: lines.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <string>
#include <thread>

#include "base/file_system.hpp"
#include "formats/res_file.hpp"
#include "pool/pool_file.hpp"
#include "support/resource_files.hpp"
#include "support/run_kovanc.hpp"
#include "support/test_util.hpp"

#ifndef _WIN32
namespace kovan {
namespace {

using test::Q;
using Result = test::CommandResult;

class KovancBuiltin : public ::testing::Test {
 protected:
  KovancBuiltin() {
    Add("LOGO", "rcdata", "logo.bin", "logo bytes");
    Add("APP", "icon", "app.ico", test::IconFileBytes(1, {{16, 16, 0, 1, 32, test::DibImage(16, 16, 32)}}));
  }

  void Add(const std::string& key, const std::string& type, const std::string& name, const std::string& bytes) {
    test::WriteBytes(dir / name, bytes);
    pool.Append(key, type, dir / name);
  }

  std::string PoolFile() {
    WritePoolFile(pool, dir / "Liste.kvl");
    return dir / "Liste.kvl";
  }

  // kovanc with no GoRC on PATH; standard error after standard output when `errors`.
  Result Run(const std::string& args, bool errors = false, const std::string& env = "") {
    return test::RunCommand("env PATH=/usr/bin:/bin " + env + " " + std::string(KOVANC_PATH) + " " + args +
                            (errors ? " 2>&1" : " 2>/dev/null"));
  }

  test::TempDir dir;
  ResourcePool pool;
};

TEST_F(KovancBuiltin, CompilesWithoutGoRCAndSaysWhoMadeTheFile) {
  const std::string file = PoolFile();
  Result r = Run("compile --res " + Q(dir / "out") + " " + Q(file));
  ASSERT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, dir / "out.res" + "\n");
  EXPECT_NE(Run("compile --force --res " + Q(dir / "out") + " " + Q(file), true).out.find("made by Kovan"),
            std::string::npos);
  const std::string res = test::ReadBytes(dir / "out.res");
  MemorySource source(res);
  const std::vector<ResEntry> entries = ReadResEntries(source);
  ASSERT_EQ(entries.size(), 3u);  // LOGO, the icon's image and its group
  EXPECT_EQ(res.substr(entries[0].dataOffset, entries[0].header.dataSize), "logo bytes");
  EXPECT_FALSE(std::filesystem::exists(test::FsPath(dir / "liste.rc")));  // no script is needed

  // The object made from the pool and the one made from its .RES file are the same.
  ASSERT_EQ(Run("compile --compiler builtin --machine arm64 --obj " + Q(dir / "direct") + " " + Q(file)).exitCode, 0);
  ASSERT_EQ(Run("res2obj --compiler builtin --machine arm64 " + Q(dir / "out.res") + " " + Q(dir / "converted"))
                .exitCode,
            0);
  const std::string obj = test::ReadBytes(dir / "direct.obj");
  EXPECT_EQ(obj.substr(0, 2), "\x64\xAA");
  EXPECT_EQ(obj, test::ReadBytes(dir / "converted.obj"));
}

TEST_F(KovancBuiltin, ObjectTimeComesFromSourceDateEpoch) {
  const std::string file = PoolFile();
  ASSERT_EQ(Run("compile --obj " + Q(dir / "a") + " " + Q(file), false, "SOURCE_DATE_EPOCH=1234").exitCode, 0);
  EXPECT_EQ(test::ReadBytes(dir / "a.obj").substr(4, 4), test::Le32(1234));
  ASSERT_EQ(Run("compile --obj " + Q(dir / "b") + " " + Q(file), false, "SOURCE_DATE_EPOCH=").exitCode, 0);
  EXPECT_EQ(test::ReadBytes(dir / "b.obj").substr(4, 4), test::Le32(0));
}

TEST_F(KovancBuiltin, RefusedEntriesAreListedByLineAndNothingIsWritten) {
  Add("BAD", "icon", "bad.ico", test::PngImage(16));
  pool.Append("GONE", "rcdata", dir / "gone.bin");
  const std::string file = PoolFile();
  const std::string expected = file + ":3: error: entry 3 (BAD, icon, " + dir / "bad.ico" +
                               "): not an icon file\n" + file + ":4: error: entry 4 (GONE, rcdata, " +
                               dir / "gone.bin" + "): its file " + dir / "gone.bin" + " cannot be read: File not found\n";
  for (const std::string& args : {"compile --res " + Q(dir / "out") + " " + Q(file),
                                  "compile --compiler builtin --obj " + Q(dir / "out") + " " + Q(file),
                                  "pool check --files " + Q(file)}) {
    SCOPED_TRACE(args);
    const Result r = Run(args, true);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, expected);
  }
  EXPECT_FALSE(std::filesystem::exists(test::FsPath(dir / "out.res")));
  EXPECT_FALSE(std::filesystem::exists(test::FsPath(dir / "out.obj")));
  EXPECT_EQ(Run("pool check " + Q(file)).exitCode, 0);  // the key names alone are sound
}

TEST_F(KovancBuiltin, DamagedResFileAndUnmadeMachinesAreRefused) {
  test::WriteBytes(dir / "bad.res", ResFileStart() + test::Le32(100) + test::Le32(32));
  Result r = Run("res2obj --compiler builtin " + Q(dir / "bad.res") + " " + Q(dir / "lib"), true);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find(dir / "bad.res" + ": the .RES entry at byte 32 does not fit the file"), std::string::npos)
      << r.out;
  EXPECT_FALSE(std::filesystem::exists(test::FsPath(dir / "lib.obj")));

  std::filesystem::copy_file(FolderOf(KOVANC_PATH) + "fake_gorc", dir / "GoRC");
  r = test::RunCommand("env PATH=" + Q(dir.str()) + ":/usr/bin:/bin " + std::string(KOVANC_PATH) +
                       " compile --compiler gorc --machine arm64 --obj " + Q(dir / "out") + " " + Q(PoolFile()) +
                       " 2>&1");
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.out.find("GoRC cannot make .OBJ files for arm64"), std::string::npos) << r.out;
}

// An outside compiler's complaint about an entry is written as a line of the
// pool list file, with the entry's key and file beside the compiler's words.
TEST_F(KovancBuiltin, AnOutsideCompilersErrorPointsAtTheEntry) {
  if (test::RunCommand("command -v llvm-rc >/dev/null && command -v llvm-cvtres >/dev/null").exitCode != 0) {
    GTEST_SKIP() << "llvm-rc is not installed";
  }
  Add("BROKEN", "icon", "broken.ico", "not an icon");
  const std::string file = PoolFile();
  const Result r = Run("compile --compiler llvm --res " + Q(dir / "out") + " " + Q(file), true);
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_NE(r.out.find(file + ":3: error: llvm-rc: Error in ICON statement (ID BROKEN): "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("(BROKEN, " + dir / "broken.ico" + ")\n"), std::string::npos) << r.out;
}

// Built at another time, in another time zone, locale and working folder, the
// files are the same. The Turkish locale upper-cases i to a dotted capital,
// which a key name must never get.
TEST_F(KovancBuiltin, TheSamePoolGivesTheSameBytesAnywhereAnytime) {
  Add("mini", "data", "mini.bin", "m");
  const std::string file = PoolFile();
  std::filesystem::create_directory(test::FsPath(dir / "elsewhere"));
  const std::string first = "cd / && env TZ=UTC LC_ALL=C ";
  const std::string second = "cd " + Q(dir / "elsewhere") + " && env TZ=Asia/Tokyo LC_ALL=tr_TR.UTF-8 LANG=tr_TR.UTF-8 ";
  for (const char* kind : {"--res", "--obj"}) {
    SCOPED_TRACE(kind);
    ASSERT_EQ(test::RunCommand(first + KOVANC_PATH + " compile " + kind + " " + Q(dir / "one") + " " + Q(file) +
                               " >/dev/null 2>&1").exitCode,
              0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    ASSERT_EQ(test::RunCommand(second + KOVANC_PATH + " compile " + kind + " " + Q(dir / "two") + " " + Q(file) +
                               " >/dev/null 2>&1").exitCode,
              0);
    const std::string extension = std::string(".") + (kind + 2);
    EXPECT_EQ(test::ReadBytes(dir / ("one" + extension)), test::ReadBytes(dir / ("two" + extension)));
  }
  const std::string res = test::ReadBytes(dir / "one.res");
  EXPECT_NE(res.find(std::string("M\0I\0N\0I\0", 8)), std::string::npos);
}

// The peak memory, in KiB, of kovanc compiling the pool in `file`.
long PeakKibOfCompile(const char* kind, const std::string& output, const std::string& file) {
  const char* argv[] = {KOVANC_PATH, "compile", kind, output.c_str(), file.c_str(), nullptr};
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, KOVANC_PATH, &quiet, nullptr, const_cast<char* const*>(argv), environ);
  posix_spawn_file_actions_destroy(&quiet);
  if (spawned != 0) return -1;
  int status = 0;
  struct rusage usage {};
  if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return usage.ru_maxrss;
}

// The files are streamed: compiling 256 MiB takes less than 64 MiB more
// than compiling a few bytes does (measured against that, so that a build
// under a sanitizer, which needs more for itself, is judged alike).
TEST_F(KovancBuiltin, APoolLargerThanMemoryAllowsIsStreamed) {
  const long small = PeakKibOfCompile("--obj", dir / "small", PoolFile());
  ASSERT_GT(small, 0);
  constexpr off_t kBig = off_t{256} << 20;
  for (const char* key : {"BIG1", "BIG2"}) {
    const std::string path = dir / (std::string(key) + ".bin");
    test::WriteBytes(path, "");
    ASSERT_EQ(truncate(path.c_str(), kBig / 2), 0);
    pool.Append(key, "rcdata", path);
  }
  const std::string file = PoolFile();
  for (const char* kind : {"--res", "--obj"}) {
    SCOPED_TRACE(kind);
    const std::string output = dir / "big";
    const long peak = PeakKibOfCompile(kind, output, file);
    ASSERT_GT(peak, 0);
    EXPECT_LT(peak - small, 64 * 1024) << "KiB beyond a small pool's " << small;
    EXPECT_GT(std::filesystem::file_size(test::FsPath(output + "." + (kind + 2))), static_cast<uintmax_t>(kBig));
  }
}

}  // namespace
}  // namespace kovan
#endif
