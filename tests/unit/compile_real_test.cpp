// kovanc with the real resource compilers of the system (llvm-rc and
// llvm-cvtres, GNU windres): a pool of real files compiled to a .RES file and
// read back, .OBJ files for both machines, and a compiler's own words when
// it fails. A compiler that is not installed skips its cases.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/file_system.hpp"
#include "base/text.hpp"
#include "platform/posix_shell.hpp"
#include "pool/pool_file.hpp"
#include "support/res_file_reader.hpp"
#include "support/run_kovanc.hpp"
#include "support/test_util.hpp"

#ifndef _WIN32
namespace kovan {
namespace {

using test::Q;

struct PoolFile {
  const char* key;
  const char* type;
  const char* fileName;  // UTF-8; stored in the pool file as code page 1252
  const char* typeInRes;
};

class RealCompiler : public ::testing::TestWithParam<const char*> {
 protected:
  RealCompiler() {
    const std::string folder = dir / "my files & more";
    std::filesystem::create_directory(test::FsPath(folder));
    for (const PoolFile& f : kFiles) {
      const std::string path = folder + "/" + f.fileName;
      // Bytes of every value, so nothing on the way may treat the data as text.
      std::string data;
      for (int i = 0; i < 300; ++i) data += static_cast<char>((i * 7 + f.key[0]) & 0xFF);
      test::WriteBytes(path, data);
      pool.Append(f.key, f.type, path);
    }
  }

  bool Installed() const {
    const std::string compiler = GetParam();
    if (compiler == "llvm") return !FindOnPath("llvm-rc").empty() || !FindOnPath("llvm-rc-14").empty();
    return !FindOnPath("x86_64-w64-mingw32-windres").empty() || !FindOnPath("windres").empty();
  }

  test::CommandResult Compile(const std::string& args) {
    const std::string poolFile = dir / "Liste.kvl";
    WritePoolFile(pool, poolFile);
    return test::RunCommand(std::string(KOVANC_PATH) + " compile --compiler " + GetParam() + " " + args + " " +
                            Q(poolFile) + " 2>&1");
  }

  static constexpr PoolFile kFiles[] = {
      {"LOGO", "rcdata", "logo file.bin", "#10"},
      {"PAGE", "html", "Sayfa \xC3\xBC\xC3\xA7 & co.htm", "#23"},
      {"NOTES", "veri", "notlar \xC3\xA9t\xC3\xA9.dat", "VERI"},
      {"BLOB", "Ozel", "a&b.raw", "OZEL"},
  };
  test::TempDir dir;
  ResourcePool pool;
};

TEST_P(RealCompiler, EveryPoolFileComesBackFromTheResFile) {
  if (!Installed()) GTEST_SKIP() << GetParam() << " is not installed";
  const test::CommandResult r = Compile("--res " + Q(dir / "out put"));
  ASSERT_EQ(r.exitCode, 0) << r.out;
  const std::vector<test::ResResource> resources = test::ReadResFile(test::ReadBytes(dir / "out put.res"));
  ASSERT_EQ(resources.size(), std::size(kFiles));
  // In the compiler's order, which need not be the pool's.
  for (size_t i = 0; i < std::size(kFiles); ++i) {
    SCOPED_TRACE(kFiles[i].key);
    const auto found = std::find_if(resources.begin(), resources.end(), [&](const test::ResResource& r) {
      return r.type == kFiles[i].typeInRes && r.name == kFiles[i].key;
    });
    ASSERT_NE(found, resources.end());
    EXPECT_EQ(found->data, test::ReadBytes(pool.Field(i, kFilePath)));
  }
}

TEST_P(RealCompiler, ObjFilesAreMadeForTheChosenMachine) {
  if (!Installed()) GTEST_SKIP() << GetParam() << " is not installed";
  const struct {
    const char* option;
    uint16_t machine;
  } machines[] = {{"", 0x014C}, {"--machine x86", 0x014C}, {"--machine x64", 0x8664}};
  for (const auto& m : machines) {
    SCOPED_TRACE(m.option);
    std::filesystem::remove(test::FsPath(dir / "lib.obj"));
    const test::CommandResult r = Compile(std::string(m.option) + " --obj " + Q(dir / "lib"));
    ASSERT_EQ(r.exitCode, 0) << r.out;
    const test::CoffObject object = test::ReadCoffObject(test::ReadBytes(dir / "lib.obj"));
    EXPECT_EQ(object.machine, m.machine);
    bool hasResources = false;
    for (const std::string& name : object.sections) hasResources |= name.rfind(".rsrc", 0) == 0;
    EXPECT_TRUE(hasResources);
  }

  // And from a .RES file.
  ASSERT_EQ(Compile("--res " + Q(dir / "in")).exitCode, 0);
  const test::CommandResult r =
      test::RunCommand(std::string(KOVANC_PATH) + " res2obj --compiler " + GetParam() + " --machine x64 " +
                       Q(dir / "in.res") + " " + Q(dir / "conv") + " 2>&1");
  ASSERT_EQ(r.exitCode, 0) << r.out;
  EXPECT_EQ(test::ReadCoffObject(test::ReadBytes(dir / "conv.obj")).machine, 0x8664);
}

TEST_P(RealCompiler, AFailingCompileShowsTheCompilersMessage) {
  if (!Installed()) GTEST_SKIP() << GetParam() << " is not installed";
  pool.Append("GONE", "rcdata", dir / "no such file.bin");
  const test::CommandResult r = Compile("--res " + Q(dir / "out"));
  EXPECT_EQ(r.exitCode, 3);
  // The compiler's own words come before kovanc's line.
  const size_t kovancLine = r.out.find("kovanc: ");
  ASSERT_NE(kovancLine, std::string::npos) << r.out;
  EXPECT_NE(AsciiUpper(r.out.substr(0, kovancLine)).find("NO SUCH FILE"), std::string::npos) << r.out;
}

INSTANTIATE_TEST_SUITE_P(Compilers, RealCompiler, ::testing::Values("llvm", "windres"));

}  // namespace
}  // namespace kovan
#endif
