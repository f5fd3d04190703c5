// Listing and extracting the resources of .RES files, object files and
// programs. The programs are real: the built-in compiler's object is linked
// for x86, x64 and ARM64 by lld-link and into an x64 program by the mingw-w64
// linker; objects made by llvm-rc with llvm-cvtres and by windres are read as
// well. Extracting a program's resources and importing the folder gives a
// pool that compiles back to the same resources.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "base/text.hpp"
#include "formats/format_error.hpp"
#include "formats/res_file.hpp"
#include "formats/resource_directory.hpp"
#include "pool/builtin_compiler.hpp"
#include "pool/pool_file.hpp"
#include "support/resource_files.hpp"
#include "support/test_util.hpp"

#ifndef _WIN32
#include "platform/posix_shell.hpp"
#include "support/run_kovanc.hpp"

namespace kovan {
namespace {

using test::Q;

// type, name, language and data of every resource, sorted.
using Resource = std::tuple<std::string, std::string, uint16_t, std::string>;

std::vector<Resource> ResourcesOf(const std::string& bytes) {
  MemorySource source(bytes);
  std::vector<Resource> out;
  for (const FoundResource& r : ReadResourceFile(source).resources) {
    out.emplace_back(ResourceIdText(r.type), ResourceIdText(r.name), r.language, bytes.substr(r.dataOffset, r.size));
  }
  std::sort(out.begin(), out.end());
  return out;
}

// A pool of every kind the extraction treats apart: icons and a cursor
// (groups rebuilt from their images), a bitmap (file header put back), named
// and numbered types and names, and a type with no word of its own.
struct SamplePool {
  test::TempDir dir;
  ResourcePool pool;

  SamplePool() {
    auto add = [&](const std::string& key, const std::string& type, const std::string& name, const std::string& bytes) {
      test::WriteBytes(dir / name, bytes);
      pool.Append(key, type, dir / name);
    };
    add("APP", "icon", "app.ico",
        test::IconFileBytes(1, {{16, 16, 0, 1, 32, test::DibImage(16, 16, 32)},
                                {32, 32, 16, 1, 4, test::DibImage(32, 32, 4)},
                                {0, 0, 0, 1, 32, test::PngImage(256)}}));
    add("HAND", "cursor", "hand.cur", test::IconFileBytes(2, {{32, 32, 0, 5, 7, test::DibImage(32, 32, 1)}}));
    add("2", "ICON", "second.ico", test::IconFileBytes(1, {{48, 48, 0, 1, 32, test::DibImage(48, 48, 32)}}));
    add("PIC", "bitmap", "pic.bmp", test::BmpFileBytes(5, 3));
    add("BLOB", "rcdata", "blob.bin", std::string(1000, '\x5A') + std::string(3, '\0'));
    add("1", "MANIFEST", "app.manifest", "<assembly/>");
    add("7", "VERI", "seven.dat", "seven");
    add("DLG", "5", "dialog.bin", std::string("\x01\x00\xFF\xFF", 4));
  }
};

std::string KovancOk(const std::string& args) {
  const test::CommandResult r = test::Kovanc(args);
  EXPECT_EQ(r.exitCode, 0) << args << "\n" << test::KovancErrors(args).out;
  return r.out;
}

TEST(ResourceList, ProgramsObjectsAndResFilesListTheSameResources) {
  if (FindOnPath("lld-link").empty()) GTEST_SKIP() << "lld-link is not installed";
  SamplePool sample;
  const test::TempDir& dir = sample.dir;
  CompilePoolBuiltin(sample.pool, CompileKind::Res, dir / "pool.res", {});
  const std::vector<Resource> expected = ResourcesOf(test::ReadBytes(dir / "pool.res"));
  ASSERT_EQ(expected.size(), 13u);  // 4 icon images and 2 groups, a cursor image and its group, 5 more

  struct Built {
    std::string file;
    std::string kind;
    std::string machine;
  };
  std::vector<Built> built = {{dir / "pool.res", "res", ""}};
  for (const auto& [machine, name] : {std::pair{CoffMachine::X86, "x86"}, {CoffMachine::X64, "x64"},
                                      {CoffMachine::Arm64, "arm64"}}) {
    const std::string object = dir / (std::string(name) + ".obj");
    CompilePoolBuiltin(sample.pool, CompileKind::Obj, object, {machine, 0, nullptr});
    built.push_back({object, "object", name});
    const std::string dll = dir / (std::string(name) + ".dll");
    const test::CommandResult linked = test::RunCommand("lld-link /dll /noentry /machine:" + std::string(name) +
                                                        " /out:" + Q(dll) + " " + Q(object) + " 2>&1");
    ASSERT_EQ(linked.exitCode, 0) << linked.out;
    built.push_back({dll, "program", name});
  }
  if (!FindOnPath("x86_64-w64-mingw32-gcc").empty()) {
    test::WriteBytes(dir / "main.c", "int main(void) { return 0; }\n");
    const test::CommandResult linked =
        test::RunCommand("x86_64-w64-mingw32-gcc -o " + Q(dir / "probe.exe") + " " + Q(dir / "main.c") + " " +
                         Q(dir / "x64.obj") + " 2>&1");
    ASSERT_EQ(linked.exitCode, 0) << linked.out;
    built.push_back({dir / "probe.exe", "program", "x64"});
  }

  for (const Built& b : built) {
    SCOPED_TRACE(b.file);
    const nlohmann::json listed = nlohmann::json::parse(KovancOk("list --json " + Q(b.file)));
    EXPECT_EQ(listed["kind"], b.kind);
    if (!b.machine.empty()) {
      EXPECT_EQ(listed["machine"], b.machine);
    }
    ASSERT_EQ(listed["resources"].size(), expected.size());
    EXPECT_EQ(ResourcesOf(test::ReadBytes(b.file)), expected);
  }
  // The plain listing: one line per resource, the standard types by name.
  const std::string text = KovancOk("list " + Q(dir / "x64.dll"));
  EXPECT_NE(text.find("GROUP_ICON\tAPP\t1033\t"), std::string::npos) << text;
  EXPECT_NE(text.find("MANIFEST\t#1\t1033\t11\n"), std::string::npos) << text;
  EXPECT_NE(text.find("VERI\t#7\t1033\t5\n"), std::string::npos) << text;
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 13);
}

TEST(ResourceList, AProgramsResourcesExtractedAndImportedCompileBackTheSame) {
  if (FindOnPath("lld-link").empty()) GTEST_SKIP() << "lld-link is not installed";
  SamplePool sample;
  const test::TempDir& dir = sample.dir;
  CompilePoolBuiltin(sample.pool, CompileKind::Res, dir / "pool.res", {});
  CompilePoolBuiltin(sample.pool, CompileKind::Obj, dir / "pool.obj", {CoffMachine::X64, 0, nullptr});
  const test::CommandResult linked = test::RunCommand("lld-link /dll /noentry /machine:x64 /out:" +
                                                      Q(dir / "pool.dll") + " " + Q(dir / "pool.obj") + " 2>&1");
  ASSERT_EQ(linked.exitCode, 0) << linked.out;

  KovancOk("list " + Q(dir / "pool.dll") + " --extract " + Q(dir / "out"));
  // Groups come back whole, bitmaps with their header, the rest as it was.
  EXPECT_EQ(test::ReadBytes(dir / "out/BITMAP-PIC.bmp"), test::ReadBytes(dir / "pic.bmp"));
  EXPECT_EQ(test::ReadBytes(dir / "out/CURSOR-HAND.cur"), test::ReadBytes(dir / "hand.cur"));
  EXPECT_EQ(test::ReadBytes(dir / "out/MANIFEST-1.manifest"), "<assembly/>");
  EXPECT_EQ(test::ReadBytes(dir / "out/type5-DLG.bin"), std::string("\x01\x00\xFF\xFF", 4));

  KovancOk("import " + Q(dir / "out") + " --into " + Q(dir / "again.kvl"));
  ResourcePool again;
  ASSERT_TRUE(ReadPoolFile(again, dir / "again.kvl").opened);
  ASSERT_EQ(again.Count(), sample.pool.Count());
  CompilePoolBuiltin(again, CompileKind::Res, dir / "again.res", {});
  EXPECT_EQ(ResourcesOf(test::ReadBytes(dir / "again.res")), ResourcesOf(test::ReadBytes(dir / "pool.res")));
}

TEST(ResourceList, ObjectsOfOtherCompilersAreRead) {
  if (FindOnPath("llvm-rc").empty() || FindOnPath("llvm-cvtres").empty() ||
      FindOnPath("x86_64-w64-mingw32-windres").empty()) {
    GTEST_SKIP() << "llvm-rc, llvm-cvtres or windres is not installed";
  }
  test::TempDir dir;
  test::WriteBytes(dir / "a.bin", "first");
  test::WriteBytes(dir / "b.txt", "second one");
  test::WriteBytes(dir / "app.ico", test::IconFileBytes(1, {{16, 16, 0, 1, 32, test::DibImage(16, 16, 32)}}));
  test::WriteBytes(dir / "x.rc", "A RCDATA \"a.bin\"\n7 TEXT \"b.txt\"\nAPP ICON \"app.ico\"\n");
  const std::string run = "cd " + Q(dir.str()) + " && ";
  ASSERT_EQ(test::RunCommand(run + "llvm-rc /fo x.res x.rc 2>&1").exitCode, 0);
  ASSERT_EQ(test::RunCommand(run + "llvm-cvtres /machine:x64 /out:llvm.obj x.res 2>&1").exitCode, 0);
  ASSERT_EQ(test::RunCommand(run + "x86_64-w64-mingw32-windres -O coff -i x.rc -o windres.obj 2>&1").exitCode, 0);
  const std::vector<Resource> expected = ResourcesOf(test::ReadBytes(dir / "x.res"));
  ASSERT_EQ(expected.size(), 4u);
  for (const char* object : {"llvm.obj", "windres.obj"}) {
    SCOPED_TRACE(object);
    EXPECT_EQ(ResourcesOf(test::ReadBytes(dir / object)), expected);
  }
}

// Damaged files: the error names the file and the byte where it broke, and
// nothing crashes or hangs.
TEST(ResourceList, DamagedFilesAreErrorsThatSayWhere) {
  if (FindOnPath("lld-link").empty()) GTEST_SKIP() << "lld-link is not installed";
  SamplePool sample;
  const test::TempDir& dir = sample.dir;
  CompilePoolBuiltin(sample.pool, CompileKind::Obj, dir / "pool.obj", {CoffMachine::X64, 0, nullptr});
  CompilePoolBuiltin(sample.pool, CompileKind::Res, dir / "pool.res", {});
  ASSERT_EQ(test::RunCommand("lld-link /dll /noentry /machine:x64 /out:" + Q(dir / "pool.dll") + " " +
                             Q(dir / "pool.obj") + " 2>&1").exitCode, 0);
  const std::string dll = test::ReadBytes(dir / "pool.dll");
  const std::string obj = test::ReadBytes(dir / "pool.obj");
  const std::string res = test::ReadBytes(dir / "pool.res");

  // Where the DLL's resource directory starts in the file.
  MemorySource dllSource(dll);
  const auto listed = ReadResourceFile(dllSource);
  const uint32_t peAt = ReadLe32(dll, 0x3C);
  const uint32_t optionalAt = peAt + 24;
  const uint32_t rootRva = ReadLe32(dll, optionalAt + 112 + 16);
  uint32_t rootAt = 0;
  const uint32_t sections = optionalAt + ReadLe16(dll, peAt + 20);
  for (uint32_t s = 0; s < ReadLe16(dll, peAt + 6); ++s) {
    const uint32_t at = sections + 40 * s;
    if (rootRva >= ReadLe32(dll, at + 12) && rootRva < ReadLe32(dll, at + 12) + ReadLe32(dll, at + 16)) {
      rootAt = ReadLe32(dll, at + 20) + rootRva - ReadLe32(dll, at + 12);
    }
  }
  ASSERT_NE(rootAt, 0u);
  auto patched = [](std::string bytes, size_t at, uint32_t value) {
    PutLe32(bytes, at, value);
    return bytes;
  };
  struct Case {
    const char* what;
    std::string bytes;
    std::string says;
  };
  const std::vector<Case> cases = {
      {"not a resource file at all", "hello, world", "not a .RES file, an object file or a program"},
      {"a program cut inside its headers", dll.substr(0, 200), "runs past the end of the file"},
      {"a program cut inside its resources", dll.substr(0, rootAt + 40), "runs past the end of the file"},
      {"a directory that leads back to itself", patched(dll, rootAt + 20, 0x80000000u), "reached twice"},
      {"a type's entry that points past the section", patched(dll, rootAt + 20, 0x8FFFFFF0u),
       "lies outside the resource directory"},
      {"a PE signature gone", patched(dll, peAt, 0), "no PE signature at byte " + std::to_string(peAt)},
      {"an object's relocations past its end", patched(obj, 20 + 24, 0x7FFFFFF0u), "runs past the end of the file"},
      {"a .RES entry larger than the file", patched(res, 32, 0x7FFFFFF0u), "at byte 32"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::WriteBytes(dir / "damaged.bin", c.bytes);
    const test::CommandResult r = test::KovancErrors("list " + Q(dir / "damaged.bin"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find(dir / "damaged.bin"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(c.says), std::string::npos) << r.out;
  }
  EXPECT_FALSE(listed.resources.empty());
}

}  // namespace
}  // namespace kovan
#endif
