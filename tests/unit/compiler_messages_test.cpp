// Which pool entry an outside compiler's words are about.
#include "pool/compiler_messages.hpp"

#include <gtest/gtest.h>

namespace kovan {
namespace {

TEST(CompilerMessages, NameTheEntryByScriptLineKeyOrFile) {
  ResourcePool pool;
  pool.Append("LOGO", "rcdata", "/p/logo.bin");
  pool.Append("Hand", "cursor", "/p/hand.cur");
  pool.Append("MAIN", "icon", "C:\\Icons\\main.ico");
  struct Case {
    const char* line;
    bool utf8Script;
    std::optional<size_t> entry;
  };
  const Case cases[] = {
      {"C:\\Kovan\\liste.rc(3) : error RC2135 : file not found: main.ico", false, 2},
      {"C:\\Kovan\\LISTE.RC(1) : error RC2104 : undefined keyword", false, 0},
      {"/data/liste.rc:3: syntax error", true, 1},  // line 1 holds the code page
      {"/data/liste.rc:1: syntax error", true, std::nullopt},
      {"/data/liste.rc:9: syntax error", true, std::nullopt},
      {"Error at line 2 of C:\\Kovan\\liste.rc", false, 1},
      {"Error at line 2", false, std::nullopt},
      {"llvm-rc: Error in CURSOR statement (ID HAND): ", true, 1},
      {"windres: can't open icon file `C:\\Icons\\main.ico': No such file", true, 2},
      {"llvm-rc: out of memory", true, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(EntryNamedByCompilerLine(pool, c.line, c.utf8Script), c.entry);
  }
  const std::vector<CompilerLine> lines =
      AttributeCompilerOutput(pool, "first\r\nliste.rc(2) : error\n\nlast", false);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].text, "liste.rc(2) : error");
  EXPECT_EQ(lines[1].entry, 1u);
  EXPECT_FALSE(lines[2].entry);
}

}  // namespace
}  // namespace kovan
