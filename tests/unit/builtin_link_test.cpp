// A program linked with an object file of the built-in compiler finds every
// resource through the system: the pool's object is linked into a small
// Windows program with the mingw-w64 linker, and the program, run under Wine,
// reads each resource with FindResourceW and LoadResource (and LoadImageW for
// icons, cursors and bitmaps) and compares it with the bytes expected.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pool/builtin_compiler.hpp"
#include "support/resource_files.hpp"
#include "support/test_util.hpp"

#ifndef _WIN32
#include "platform/posix_shell.hpp"
#include "support/run_kovanc.hpp"

namespace kovan {
namespace {

using test::Q;

TEST(BuiltinLink, ALinkedProgramLoadsEveryResource) {
  if (FindOnPath("x86_64-w64-mingw32-gcc").empty() || FindOnPath("wine").empty()) {
    GTEST_SKIP() << "the mingw-w64 compiler or Wine is not installed";
  }
  test::TempDir dir;
  ResourcePool pool;
  std::string list;
  // Paths for the program under Wine, which sees the root as drive Z:.
  auto windowsPath = [](const std::string& path) {
    std::string windows = "Z:" + path;
    for (char& c : windows) {
      if (c == '/') c = '\\';
    }
    return windows;
  };
  auto expect = [&](const std::string& type, const std::string& name, const std::string& bytes) {
    const std::string file = dir / ("expected" + std::to_string(list.size()) + ".bin");
    test::WriteBytes(file, bytes);
    list += "data\t" + type + "\t" + name + "\t" + windowsPath(file) + "\n";
  };
  auto add = [&](const std::string& key, const std::string& type, const std::string& fileName,
                 const std::string& bytes) {
    test::WriteBytes(dir / fileName, bytes);
    pool.Append(key, type, dir / fileName);
  };

  std::string blob;
  for (int i = 0; i < 70001; ++i) blob += static_cast<char>(i * 13);
  add("BLOB", "rcdata", "blob.bin", blob);
  expect("#10", "BLOB", blob);
  add("7", "veri", "seven.dat", "seven");
  expect("VERI", "#7", "seven");
  // The loader upper-cases a name it looks for in full, so only letters
  // beyond ASCII that are capitals already can be found by name.
  add("\xC3\x87" "ay", "t\xC3\x9Cr", "tea.txt", "non-ASCII names");
  expect("T\xC3\x9CR", "\xC3\x87" "AY", "non-ASCII names");
  add("EMPTYISH", "rcdata", "one.bin", "1");
  expect("#10", "EMPTYISH", "1");

  const std::string small = test::DibImage(16, 16, 32);
  const std::string large = test::DibImage(32, 32, 32);
  const std::string png = test::PngImage(256);
  add("APP", "icon", "app.ico",
      test::IconFileBytes(1, {{16, 16, 0, 1, 32, small}, {32, 32, 0, 1, 32, large}, {0, 0, 0, 1, 32, png}}));
  expect("#3", "#1", small);
  expect("#3", "#2", large);
  expect("#3", "#3", png);
  list += "icon\tAPP\n";
  const std::string pointer = test::DibImage(32, 32, 32);
  add("HAND", "cursor", "hand.cur", test::IconFileBytes(2, {{32, 32, 0, 5, 7, pointer}}));
  expect("#1", "#4", test::Le16(5) + test::Le16(7) + pointer);
  list += "cursor\tHAND\n";
  const std::string bmp = test::BmpFileBytes(5, 3);
  add("PIC", "bitmap", "pic.bmp", bmp);
  expect("#2", "PIC", bmp.substr(14));
  list += "bitmap\tPIC\n";

  CompilePoolBuiltin(pool, CompileKind::Obj, dir / "resources.obj", {CoffMachine::X64, 0, nullptr});
  test::WriteBytes(dir / "checks.txt", list);
  const test::CommandResult linked =
      test::RunCommand("x86_64-w64-mingw32-gcc -O1 -o " + Q(dir / "probe.exe") + " " +
                       Q(std::string(KOVAN_SOURCE_DIR) + "/tests/data/link_probe/resource_probe.c") + " " +
                       Q(dir / "resources.obj") + " 2>&1");
  ASSERT_EQ(linked.exitCode, 0) << linked.out;
  const test::CommandResult ran = test::RunCommand(
      "bash -c 'source " + std::string(KOVAN_SOURCE_DIR) + "/tools/wine-env.sh && kovan_display && kovan_wine_prefix && "
      "wine \"" + dir / "probe.exe" + "\" \"" + windowsPath(dir / "checks.txt") + "\"' 2>/dev/null");
  EXPECT_EQ(ran.exitCode, 0) << ran.out;
  EXPECT_NE(ran.out.find("12 checks, 0 failed"), std::string::npos) << ran.out;
}

}  // namespace
}  // namespace kovan
#endif
