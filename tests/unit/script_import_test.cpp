// Reading resource scripts into pool entries: Kovan's own scripts give back
// the pool they were written from; a script written by hand gives its file
// statements and names every other line with why it was left out.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/file_system.hpp"
#include "base/text.hpp"
#include "pool/resource_script.hpp"
#include "pool/script_import.hpp"
#include "support/test_util.hpp"

#ifndef _WIN32
#include "support/run_kovanc.hpp"
#endif

namespace kovan {
namespace {

std::string Utf16Le(const std::string& utf8) {
  std::string out = "\xFF\xFE";
  for (char16_t u : Utf8ToUtf16(utf8)) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  }
  return out;
}

std::string Utf16Be(const std::string& utf8) {
  std::string out = "\xFE\xFF";
  for (char16_t u : Utf8ToUtf16(utf8)) {
    out += static_cast<char>(u >> 8);
    out += static_cast<char>(u & 0xFF);
  }
  return out;
}

// A relative name written with '/' as this system writes it.
std::string Native(std::string relative) {
  std::replace(relative.begin(), relative.end(), '/', kPathSeparator);
  return relative;
}

struct Problem {
  size_t line;
  std::string has;
};

void ExpectProblems(const ScriptReadResult& read, const std::vector<Problem>& expected) {
  ASSERT_EQ(read.problems.size(), expected.size()) << [&] {
    std::string all;
    for (const auto& p : read.problems) all += std::to_string(p.line) + ": " + p.text + "\n";
    return all;
  }();
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(read.problems[i].line, expected[i].line) << read.problems[i].text;
    EXPECT_NE(read.problems[i].text.find(expected[i].has), std::string::npos) << read.problems[i].text;
  }
}

TEST(ScriptImport, KovansOwnScriptsGiveBackThePool) {
  test::TempDir dir;
  auto file = [&](const std::string& name) {
    std::filesystem::create_directories(test::FsPath(dir / name).parent_path());
    test::WriteBytes(dir / name, "x");
    return dir / name;
  };
  struct Case {
    const char* what;
    std::vector<std::vector<std::string>> entries;  // key, type, path
  };
  const std::vector<Case> cases = {
      {"plain names", {{"APP", "ICO", file("app.ico")}, {"LOGO", "bmp", file("logo.bmp")}}},
      {"spaces, commas and a semicolon in paths",
       {{"A", "RCDATA", file("with space/a, b.bin")}, {"B", "wav", file("semi;colon/x y.wav")}}},
      {"characters beyond ASCII", {{"CAY", "TXT", file("\xC3\xA7" "ay/\xC4\x9F\xC3\xBC.txt")}}},
      {"number keys, the unnamed marker and repeats",
       {{"1", "ICON", file("one.ico")}, {"?", "ico", file("q.ico")}, {"?", "ico", file("q.ico")}}},
      {"words the script gives a meaning of its own",
       {{"LANGUAGE", "VERSION", file("words.bin")}, {"PRELOAD", "DIALOGX", file("opts.bin")}}},
  };
  for (const Case& c : cases) {
    ResourcePool pool;
    for (const auto& e : c.entries) pool.Append(e[0], e[1], e[2]);
    for (const bool utf8 : {false, true}) {
      SCOPED_TRACE(std::string(c.what) + (utf8 ? ", UTF-8 script" : ", UTF-16 script"));
      const std::string bytes = utf8 ? ResourceScriptBytesUtf8(pool) : ResourceScriptBytes(pool);
      const ScriptReadResult read = ParseResourceScript(bytes, "/elsewhere/", 1252);
      ExpectProblems(read, {});
      ASSERT_EQ(read.statements.size(), c.entries.size());
      for (size_t i = 0; i < c.entries.size(); ++i) {
        EXPECT_EQ(read.statements[i].key, c.entries[i][0]);
        // The script carries the type upper-cased; the compilers read it so either way.
        EXPECT_EQ(read.statements[i].type, AsciiUpper(c.entries[i][1]));
        EXPECT_EQ(read.statements[i].path, c.entries[i][2]);
        EXPECT_EQ(read.statements[i].line, i + 1 + (utf8 ? 1 : 0));
      }
    }
  }
}

TEST(ScriptImport, AHandWrittenScriptGivesItsFilesAndNamesEverySkippedLine) {
  test::TempDir dir;
  std::filesystem::create_directories(test::FsPath(dir / "icons"));
  for (const char* name : {"icons/app.ico", "icons/tool bar.bmp", "data.bin", "manifest.xml", "wave.wav", "hex.bin"}) {
    test::WriteBytes(dir / name, "x");
  }
  const std::string script =
      "// made by hand\r\n"                                            // 1
      "#include \"resource.h\"\r\n"                                    // 2
      "#define IDI_MAIN 101\r\n"                                       // 3
      "\r\n"                                                           // 4
      "APP ICON \"icons\\\\app.ico\"\r\n"                              // 5: escaped
      "TOOLBAR_PIC   BITMAP   \"icons\\tool bar.bmp\"\r\n"             // 6: as written
      "IDI_MAIN ICON \"icons\\app.ico\"\r\n"                           // 7: a #define'd name
      "DATA RCDATA PRELOAD DISCARDABLE data.bin /* trailing */\r\n"    // 8: unquoted, options
      "1 24 manifest.xml\r\n"                                          // 9
      "MAIN DIALOGEX 0, 0, 200, 100\r\n"                               // 10
      "CAPTION \"About\"\r\n"                                          // 11
      "BEGIN\r\n"                                                      // 12
      "  CONTROL \"x\", 1, BUTTON, 0, 0, 0, 10, 10\r\n"                // 13
      "  BEGIN END\r\n"                                                // 14
      "END\r\n"                                                        // 15
      "STRINGTABLE\r\n"                                                // 16
      "{\r\n"                                                          // 17
      "  1, \"text\"\r\n"                                              // 18
      "}\r\n"                                                          // 19
      "INLINE RCDATA\r\n"                                              // 20
      "BEGIN 1, 2 END\r\n"                                             // 21
      "LANGUAGE 0x1f, 0x01\r\n"                                        // 22
      "GONE WAVE \"missing.wav\"\r\n"                                  // 23
      "/* a comment\r\n"                                               // 24
      "   over lines */ SOUND WAVE \"wave.wav\"\r\n"                   // 25
      "0x10 0x0100 hex.bin\r\n"                                        // 26
      "LONE\r\n";                                                      // 27
  for (const bool bigEndian : {false, true}) {
    SCOPED_TRACE(bigEndian ? "UTF-16 big-endian" : "UTF-16 little-endian");
    const ScriptReadResult read =
        ParseResourceScript(bigEndian ? Utf16Be(script) : Utf16Le(script), dir.str(), 1252);
    const std::vector<std::vector<std::string>> expected = {
        {"5", "APP", "ICON", dir / Native("icons/app.ico")},
        {"6", "TOOLBAR_PIC", "BITMAP", dir / Native("icons/tool bar.bmp")},
        {"8", "DATA", "RCDATA", dir / "data.bin"},
        {"9", "1", "24", dir / "manifest.xml"},
        {"25", "SOUND", "WAVE", dir / "wave.wav"},
        {"26", "16", "256", dir / "hex.bin"},
    };
    ASSERT_EQ(read.statements.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(std::to_string(read.statements[i].line), expected[i][0]);
      EXPECT_EQ(read.statements[i].key, expected[i][1]);
      EXPECT_EQ(read.statements[i].type, expected[i][2]);
      EXPECT_EQ(read.statements[i].path, expected[i][3]);
    }
    ExpectProblems(read, {{2, "#include \"resource.h\" is not followed"},
                          {3, "#define IDI_MAIN"},
                          {7, "IDI_MAIN is given by the #define on line 3"},
                          {10, "DIALOGEX"},
                          {16, "STRINGTABLE"},
                          {20, "RCDATA resource's data is written in the script"},
                          {22, "LANGUAGE"},
                          {23, "missing.wav is not there"},
                          {27, "a name alone"}});
  }
}

TEST(ScriptImport, EightBitScriptsFollowTheirCodePage) {
  test::TempDir dir;
  // "çğ.txt" on disk; the script names it in code page 1254 or in UTF-8.
  const std::string name = "\xC3\xA7\xC4\x9F.txt";
  test::WriteBytes(dir / name, "x");
  struct Case {
    const char* what;
    std::string bytes;
    unsigned ansi;
    std::vector<Problem> problems;
  };
  const std::vector<Case> cases = {
      {"pragma names the code page", "#pragma code_page(1254)\nK T \"\xE7\xF0.txt\"\n", 1252, {}},
      {"the ANSI code page", "K T \"\xE7\xF0.txt\"\n", 1254, {}},
      {"UTF-8 with its mark", "\xEF\xBB\xBFK T \"" + name + "\"\n", 1252, {}},
      {"UTF-8 without a mark", "K T \"" + name + "\"\n", 1252, {}},
      {"pragma UTF-8, then a line that is not", "#pragma code_page(65001)\nK T \"" + name + "\"\nX T \"\xE7\"\n", 1252,
       {{3, "not valid UTF-8"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ScriptReadResult read = ParseResourceScript(c.bytes, dir.str(), c.ansi);
    ExpectProblems(read, c.problems);
    ASSERT_EQ(read.statements.size(), 1u);
    EXPECT_EQ(read.statements[0].path, dir / name);
  }
}

TEST(ScriptImport, BrokenLinesAreNamedAndTheRestIsRead) {
  test::TempDir dir;
  test::WriteBytes(dir / "a.bin", "x");
  const ScriptReadResult read = ParseResourceScript(
      "A RCDATA \"a.bin\n"                 // 1: quote not closed
      "B RCDATA \"a.bin\" extra\n"         // 2
      "C RCDATA \"\"\n"                    // 3
      "D RCDATA \".\"\n"                   // 4: a folder
      "E 0x10000 a.bin\n"                  // 5
      "F RCDATA a.bin\n"                   // 6: fine
      "G DIALOG 0, 0, 10, 10\n"            // 7: never opened
      "CAPTION \"x\"\n",
      dir.str(), 1252);
  ExpectProblems(read, {{1, "double quote is not closed"},
                        {2, "more on the line"},
                        {3, "file name is empty"},
                        {4, "is a folder"},
                        {5, "larger than 65535"},
                        {7, "DIALOG"},
                        {7, "has no BEGIN"}});
  ASSERT_EQ(read.statements.size(), 1u);
  EXPECT_EQ(read.statements[0].key, "F");
}

#ifndef _WIN32
// kovanc import: the lines it skips go to standard error as SCRIPT:LINE, the
// rest reaches the list, and the exit code says that something was skipped.
TEST(ScriptImport, KovancImportAppendsTheRestAndNamesTheSkippedLines) {
  test::TempDir dir;
  test::WriteBytes(dir / "a.bin", "x");
  test::WriteBytes(dir / "list.kvl", "OLD,RCDATA,old.bin\r\n");
  test::WriteBytes(dir / "app.rc", Utf16Le("A RCDATA \"a.bin\"\r\n#include \"x.h\"\r\nB RCDATA gone.bin\r\n"));
  const std::string args = "import " + test::Q(dir / "app.rc") + " --into " + test::Q(dir / "list.kvl");
  const test::CommandResult errors = test::KovancErrors(args);
  EXPECT_EQ(errors.exitCode, 1);
  EXPECT_EQ(errors.out, dir / "app.rc" + ":2: skipped: #include \"x.h\" is not followed: only the lines of this " +
                            "script are read\n" + dir / "app.rc" + ":3: skipped: the file " + dir / "gone.bin" +
                            " is not there\n");
  EXPECT_EQ(test::ReadBytes(dir / "list.kvl"), "OLD,RCDATA,old.bin\r\nA,RCDATA," + dir / "a.bin" + "\r\n");

  const test::ErrorCase cases[] = {
      {"import " + test::Q(dir / "none.rc") + " --into " + test::Q(dir / "list.kvl"), dir / "none.rc", 1},
      {"import " + test::Q(dir.str()) + " --into " + test::Q(dir / "list.kvl"), "resources.rc", 1},
  };
  for (const test::ErrorCase& c : cases) {
    const test::CommandResult r = test::KovancErrors(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args;
    EXPECT_NE(r.out.find(c.named), std::string::npos) << r.out;
  }
}
#endif

}  // namespace
}  // namespace kovan
