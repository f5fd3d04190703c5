// The built-in compiler against LLVM's: the .RES file it writes for a pool
// must be llvm-rc's for the pool's script, and its object files those of
// llvm-cvtres /timestamp:0, byte for byte, for every machine. Then the
// entries it refuses, and damaged .RES files.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/text.hpp"
#include "formats/format_error.hpp"
#include "formats/res_file.hpp"
#include "pool/builtin_compiler.hpp"
#include "pool/resource_script.hpp"
#include "support/resource_files.hpp"
#include "support/test_util.hpp"

#ifndef _WIN32
#include "platform/posix_shell.hpp"
#include "support/run_kovanc.hpp"
#endif

namespace kovan {
namespace {

using test::BmpFileBytes;
using test::DibImage;
using test::IconFileBytes;
using test::PngImage;

struct EntryFile {
  std::string key;
  std::string type;
  std::string fileName;
  std::string bytes;
};

struct PoolCase {
  const char* name;
  std::vector<EntryFile> entries;
};

std::string Counting(size_t size, int seed) {
  std::string out;
  for (size_t i = 0; i < size; ++i) out += static_cast<char>((i * 7 + static_cast<size_t>(seed)) & 0xFF);
  return out;
}

const std::string kIcon = IconFileBytes(1, {{16, 16, 0, 1, 32, DibImage(16, 16, 32)},
                                            {32, 32, 16, 0, 0, DibImage(32, 32, 4)},
                                            {0, 0, 0, 1, 32, PngImage(256)}});
const std::string kCursor = IconFileBytes(2, {{32, 32, 0, 5, 7, DibImage(32, 32, 1)}, {48, 48, 0, 20, 3, PngImage(48)}});

// The comparisons with LLVM run where its tools do: natively.
[[maybe_unused]] std::vector<PoolCase> PoolCases() {
  return {
      {"CustomTypesAndRcdata",
       {{"LOGO", "rcdata", "logo.bin", Counting(301, 1)},
        {"NOTES", "veri", "notes.dat", Counting(5, 2)},
        {"blob", "Ozel", "blob.raw", Counting(4096, 3)},
        {"Page", "html", "page.htm", "<p>hi</p>"}}},
      {"NumberKeysAndTypes",
       {{"123", "rcdata", "a.bin", Counting(7, 4)},
        {"NAME", "77", "b.bin", Counting(2, 5)},
        {"65535", "300", "c.bin", Counting(9, 6)},
        {"0", "FOO", "d.bin", Counting(1, 7)},
        {"007", "FOO", "e.bin", Counting(3, 8)}}},
      {"IconsAndCursors",
       {{"APP", "ico", "app.ico", kIcon},
        {"MAIN", "icon", "main.ico", kIcon},
        {"HAND", "cursor", "hand.cur", kCursor},
        {"1", "rcdata", "one.bin", Counting(3, 9)}}},
      {"BitmapManifestEmpty",
       {{"PIC", "bitmap", "pic.bmp", BmpFileBytes(3, 5)},
        {"1", "manifest", "app.manifest", "<assembly/>"},
        {"EMPTY", "rcdata", "empty.bin", ""},
        {"FONTY", "font", "f.fnt", Counting(6, 10)}}},
  };
}

// This llvm-rc reads these standard type names as names of custom types,
// which the loader would not find (a MANIFEST so made is never applied); its
// scripts get their numbers instead.
std::string LlvmType(const std::string& type) {
  static const std::map<std::string, std::string> numbers = {
      {"FONT", "8"},       {"MESSAGETABLE", "11"}, {"DLGINCLUDE", "17"}, {"PLUGPLAY", "19"}, {"VXD", "20"},
      {"ANICURSOR", "21"}, {"ANIICON", "22"},      {"MANIFEST", "24"}};
  const auto found = numbers.find(AsciiUpper(type));
  return found == numbers.end() ? type : found->second;
}

// Equal bytes; otherwise the sizes and the first offset that differs, which
// say more than two dumps of binary text.
[[maybe_unused]] ::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  size_t at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
  return ::testing::AssertionFailure() << actual.size() << " bytes where " << expected.size()
                                       << " were expected; they differ first at offset " << at;
}

class BuiltinCompiler : public ::testing::Test {
 protected:
  ResourcePool MakePool(const std::vector<EntryFile>& entries, bool forLlvm = false) {
    ResourcePool pool;
    for (const EntryFile& e : entries) {
      const std::string path = dir / e.fileName;
      test::WriteBytes(path, e.bytes);
      pool.Append(e.key, forLlvm ? LlvmType(e.type) : e.type, path);
    }
    return pool;
  }

  std::string Compile(const ResourcePool& pool, CompileKind kind, CoffMachine machine = CoffMachine::X64) {
    const std::string out = dir / "built.out";
    CompilePoolBuiltin(pool, kind, out, {machine, 0, nullptr});
    return test::ReadBytes(out);
  }

  // The files in the folder apart from the inputs named.
  size_t FilesBeside() const {
    size_t n = 0;
    for (const auto& item : std::filesystem::directory_iterator(test::FsPath(dir.str()))) n += item.is_regular_file();
    return n;
  }

  test::TempDir dir;
};

#ifndef _WIN32

std::string LlvmTool(const char* name) {
  for (const std::string& candidate : {std::string(name), std::string(name) + "-14"}) {
    if (!FindOnPath(candidate).empty()) return candidate;
  }
  return {};
}

const char* MachineSwitch(CoffMachine machine) {
  return machine == CoffMachine::X86 ? "x86" : machine == CoffMachine::X64 ? "x64" : "arm64";
}

TEST_F(BuiltinCompiler, WritesWhatLlvmWritesForEveryPool) {
  const std::string rc = LlvmTool("llvm-rc");
  const std::string cvtres = LlvmTool("llvm-cvtres");
  if (rc.empty() || cvtres.empty()) GTEST_SKIP() << "llvm-rc and llvm-cvtres are not installed";
  for (const PoolCase& c : PoolCases()) {
    SCOPED_TRACE(c.name);
    const ResourcePool pool = MakePool(c.entries);
    WriteResourceScript(MakePool(c.entries, true), dir / "liste.rc", true);
    const std::string llvmRes = dir / "llvm.res";
    const test::CommandResult made = test::RunCommand(rc + " /no-preprocess /FO " + test::Q(llvmRes) + " -- " +
                                                      test::Q(dir / "liste.rc") + " 2>&1");
    ASSERT_EQ(made.exitCode, 0) << made.out;
    EXPECT_TRUE(SameBytes(Compile(pool, CompileKind::Res), test::ReadBytes(llvmRes)));
    for (CoffMachine machine : {CoffMachine::X86, CoffMachine::X64, CoffMachine::Arm64}) {
      SCOPED_TRACE(MachineSwitch(machine));
      const std::string llvmObj = dir / "llvm.obj";
      const test::CommandResult converted =
          test::RunCommand(cvtres + " /machine:" + MachineSwitch(machine) + " /timestamp:0 /out:" + test::Q(llvmObj) +
                           " " + test::Q(llvmRes) + " 2>&1");
      ASSERT_EQ(converted.exitCode, 0) << converted.out;
      const std::string expected = test::ReadBytes(llvmObj);
      EXPECT_TRUE(SameBytes(Compile(pool, CompileKind::Obj, machine), expected));
      ConvertResToObject(llvmRes, dir / "converted.obj", {machine, 0, nullptr});
      EXPECT_TRUE(SameBytes(test::ReadBytes(dir / "converted.obj"), expected));
    }
  }
}

// llvm-rc cannot read keys beyond ASCII, but llvm-cvtres takes any .RES file:
// the .RES file is checked by reading it back, and its object against LLVM's.
TEST_F(BuiltinCompiler, NonAsciiKeysKeepTheirLettersAndSortLikeLlvm) {
  const std::string cvtres = LlvmTool("llvm-cvtres");
  if (cvtres.empty()) GTEST_SKIP() << "llvm-cvtres is not installed";
  const ResourcePool pool = MakePool({{"\xC3\xA7" "ay", "veri", "a.bin", "1"},
                                      {"\xC4\xB0LK", "veri", "b.bin", "22"},
                                      {"\xE4\xB8\x80", "t\xC3\xBCr", "c.bin", "333"},
                                      {"AB", "veri", "d.bin", "4444"},
                                      {"A", "veri", "e.bin", "55555"}});
  const std::string res = Compile(pool, CompileKind::Res);
  MemorySource source(res);
  const std::vector<ResEntry> entries = ReadResEntries(source);
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries[0].header.name, ResourceId::Name(u"\u00E7AY"));  // only a to z are upper-cased
  EXPECT_EQ(entries[1].header.name, ResourceId::Name(u"\u0130LK"));
  EXPECT_EQ(entries[2].header.type, ResourceId::Name(u"T\u00FCR"));
  EXPECT_EQ(entries[2].header.name, ResourceId::Name(u"\u4E00"));
  EXPECT_EQ(res.substr(entries[2].dataOffset, 3), "333");

  test::WriteBytes(dir / "ours.res", res);
  for (CoffMachine machine : {CoffMachine::X86, CoffMachine::X64, CoffMachine::Arm64}) {
    const test::CommandResult converted =
        test::RunCommand(cvtres + " /machine:" + MachineSwitch(machine) + " /timestamp:0 /out:" +
                         test::Q(dir / "llvm.obj") + " " + test::Q(dir / "ours.res") + " 2>&1");
    ASSERT_EQ(converted.exitCode, 0) << converted.out;
    EXPECT_TRUE(SameBytes(Compile(pool, CompileKind::Obj, machine), test::ReadBytes(dir / "llvm.obj")));
  }
}

// A .RES file from elsewhere may hold one name in several languages, and
// version fields the object does not carry.
TEST_F(BuiltinCompiler, ConvertsAnyResFileAsLlvmDoes) {
  const std::string cvtres = LlvmTool("llvm-cvtres");
  if (cvtres.empty()) GTEST_SKIP() << "llvm-cvtres is not installed";
  std::string res = ResFileStart();
  auto add = [&](ResourceId type, ResourceId name, uint16_t language, const std::string& data) {
    ResourceHeader h;
    h.type = std::move(type);
    h.name = std::move(name);
    h.language = language;
    h.dataSize = static_cast<uint32_t>(data.size());
    h.version = 7;
    h.characteristics = 9;
    res += ResEntryHeader(h) + data + std::string(ResPadding(data.size()), '\0');
  };
  add(ResourceId::Name(u"T"), ResourceId::Name(u"B"), 0x0409, "b");
  add(ResourceId::Name(u"T"), ResourceId::Name(u"A"), 0x041F, "a-tr");
  add(ResourceId::Number(10), ResourceId::Number(3), 0, "three");
  add(ResourceId::Name(u"T"), ResourceId::Name(u"A"), 0x0407, "a-de");
  add(ResourceId::Name(u"S"), ResourceId::Name(u"B"), 0x0409, "");
  test::WriteBytes(dir / "in.res", res);
  const test::CommandResult converted = test::RunCommand(cvtres + " /machine:x64 /timestamp:0 /out:" +
                                                         test::Q(dir / "llvm.obj") + " " + test::Q(dir / "in.res"));
  ASSERT_EQ(converted.exitCode, 0);
  ConvertResToObject(dir / "in.res", dir / "ours.obj", {CoffMachine::X64, 0, nullptr});
  EXPECT_TRUE(SameBytes(test::ReadBytes(dir / "ours.obj"), test::ReadBytes(dir / "llvm.obj")));
}

#endif  // !_WIN32

TEST_F(BuiltinCompiler, ObjectCarriesTheTimestampItIsGiven) {
  const ResourcePool pool = MakePool({{"A", "rcdata", "a.bin", "x"}});
  const std::string out = dir / "a.obj";
  CompilePoolBuiltin(pool, CompileKind::Obj, out, {CoffMachine::X64, 0x01020304, nullptr});
  EXPECT_EQ(test::ReadBytes(out).substr(4, 4), std::string("\x04\x03\x02\x01", 4));
}

struct RefusedCase {
  const char* name;
  std::vector<EntryFile> entries;
  size_t faultyEntry;    // index of the entry the problem names
  const char* says;      // part of its text
  bool missingFile = false;
};

TEST_F(BuiltinCompiler, RefusesBadEntriesNamingThemAndWritesNothing) {
  const std::string icon = IconFileBytes(1, {{16, 16, 0, 1, 32, DibImage(16, 16, 32)}});
  std::string iconPastEnd = icon;
  iconPastEnd.resize(icon.size() - 1);
  std::string iconCountTooHigh = icon;
  iconCountTooHigh[4] = '\xFF';
  const std::vector<RefusedCase> cases = {
      {"MissingFile", {{"A", "rcdata", "a.bin", "1"}, {"B", "rcdata", "gone.bin", ""}}, 1, "cannot be read", true},
      {"IconImagePastTheEnd", {{"I", "icon", "i.ico", iconPastEnd}}, 0, "past the end"},
      {"IconDirectoryTooLong", {{"I", "icon", "i.ico", iconCountTooHigh}}, 0, "ends inside its directory"},
      {"PngNamedIco", {{"I", "icon", "i.ico", PngImage(16)}}, 0, "not an icon file"},
      {"CursorFileAsIcon", {{"C", "icon", "c.ico", kCursor}}, 0, "a cursor file, not an icon file"},
      {"BitmapThatIsNot", {{"A", "rcdata", "a.bin", "1"}, {"P", "bitmap", "p.bmp", "GIF89a.........."}}, 1,
       "not a bitmap"},
      {"SameTypeAndName", {{"A", "rcdata", "a.bin", "1"}, {"b", "rcdata", "b.bin", "2"}, {"B", "10", "c.bin", "3"}},
       2, "that entry 2 (b, rcdata,"},
      {"IconImageNumberTakenByAnEntry", {{"1", "3", "a.bin", "1"}, {"I", "icon", "i.ico", icon}}, 1, "type #3"},
      {"TextBlockType", {{"D", "dialog", "d.txt", "x"}}, 0, "DIALOG resource is written as statements"},
      {"KeyNumberTooLarge", {{"65536", "rcdata", "a.bin", "x"}}, 0, "larger than 65535"},
      {"TypeNumberTooLarge", {{"A", "70000", "a.bin", "x"}}, 0, "larger than 65535"},
  };
  for (const RefusedCase& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir caseDir;
    ResourcePool pool;
    for (const EntryFile& e : c.entries) {
      const std::string path = caseDir / e.fileName;
      if (!(c.missingFile && &e == &c.entries[c.faultyEntry])) test::WriteBytes(path, e.bytes);
      pool.Append(e.key, e.type, path);
    }
    const std::vector<EntryProblem> problems = CheckPoolResources(pool);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].entry, c.faultyEntry);
    const EntryFile& faulty = c.entries[c.faultyEntry];
    const std::string label = "entry " + std::to_string(c.faultyEntry + 1) + " (" + faulty.key + ", " + faulty.type +
                              ", " + (caseDir / faulty.fileName) + "): ";
    EXPECT_EQ(problems[0].text.rfind(label, 0), 0u) << problems[0].text;
    EXPECT_NE(problems[0].text.find(c.says), std::string::npos) << problems[0].text;

    for (CompileKind kind : {CompileKind::Res, CompileKind::Obj}) {
      EXPECT_THROW(CompilePoolBuiltin(pool, kind, caseDir / "out.res", {}), PoolCompileError);
    }
    size_t files = 0;
    for (const auto& item : std::filesystem::directory_iterator(test::FsPath(caseDir.str()))) {
      files += item.is_regular_file();
    }
    EXPECT_EQ(files, c.entries.size() - (c.missingFile ? 1 : 0)) << "an output or temporary file was left";
  }
}

TEST_F(BuiltinCompiler, ListsEveryFaultyEntry) {
  const ResourcePool pool = MakePool({{"A", "dialog", "a.bin", "1"}, {"B", "rcdata", "b.bin", "2"},
                                      {"C", "bitmap", "c.bin", "3"}});
  try {
    CompilePoolBuiltin(pool, CompileKind::Res, dir / "out.res", {});
    FAIL() << "the pool compiled";
  } catch (const PoolCompileError& error) {
    ASSERT_EQ(error.problems().size(), 2u);
    EXPECT_EQ(error.problems()[0].entry, 0u);
    EXPECT_EQ(error.problems()[1].entry, 2u);
    EXPECT_NE(std::string(error.what()).find('\n'), std::string::npos);
  }
}

TEST_F(BuiltinCompiler, StopBetweenEntriesLeavesNoFile) {
  const ResourcePool pool = MakePool({{"A", "rcdata", "a.bin", "1"}, {"B", "rcdata", "b.bin", "2"}});
  int asked = 0;
  const size_t before = FilesBeside();
  for (CompileKind kind : {CompileKind::Res, CompileKind::Obj}) {
    asked = 0;
    EXPECT_THROW(CompilePoolBuiltin(pool, kind, dir / "out.res", {CoffMachine::X64, 0, [&] { return ++asked == 2; }}),
                 CompileStopped);
    EXPECT_EQ(FilesBeside(), before);
  }
}

TEST_F(BuiltinCompiler, DamagedResFilesAreRefusedWithoutOutput) {
  std::string one = ResFileStart();
  ResourceHeader h;
  h.type = ResourceId::Number(10);
  h.name = ResourceId::Name(u"A");
  h.dataSize = 4;
  one += ResEntryHeader(h) + "data";
  std::string dataPastEnd = one.substr(0, one.size() - 1);
  std::string headerTooSmall = one;
  headerTooSmall[ResFileStart().size() + 4] = 8;
  std::string nameUnterminated = ResFileStart() + test::Le32(0) + test::Le32(32) + test::Le16(0xFFFF) +
                                 test::Le16(10) + std::string(24, 'A');
  std::string duplicate = one + ResEntryHeader(h) + "data";
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"Empty", ""},
      {"NoOpeningEntry", one.substr(ResFileStart().size())},
      {"DataPastTheEnd", dataPastEnd},
      {"HeaderTooSmall", headerTooSmall},
      {"NameRunsOn", nameUnterminated},
      {"Truncated", one + "xyz"},
      {"SameResourceTwice", duplicate},
  };
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    test::WriteBytes(dir / "in.res", bytes);
    EXPECT_THROW(ConvertResToObject(dir / "in.res", dir / "out.obj", {}), FormatError);
    EXPECT_FALSE(std::filesystem::exists(test::FsPath(dir / "out.obj")));
  }
}

}  // namespace
}  // namespace kovan
