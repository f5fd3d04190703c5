// kovanc with Kovan's own compiler: chosen by name, or standing in when no
// compiler is named and GoRC is not found; its refusals as LIST:N: lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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
  EXPECT_NE(Run("compile --res " + Q(dir / "out") + " " + Q(file), true).out.find("made by Kovan"), std::string::npos);
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

}  // namespace
}  // namespace kovan
#endif
