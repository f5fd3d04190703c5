// The resource script liste.rc.
#include "pool/resource_script.hpp"

#include <gtest/gtest.h>

#include "base/errors.hpp"
#include "base/file_system.hpp"
#include "base/text.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

std::string Utf16Le(std::u16string_view text) {
  std::string out;
  for (char16_t u : text) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  }
  return out;
}

TEST(ResourceScript, WritesOneUtf16LinePerEntryAsThePoolHoldsIt) {
  ResourcePool pool;
  pool.Append("ICON1", "ico", "C:\\Icons\\app.ico");
  pool.Append("", "bmp", "C:\\My Pictures\\a \"b\".bmp");    // nothing escaped
  pool.Append("K\xC3\xBC", "\xC4\xB1mg", "C:\\\xC3\xA7.x");  // only a-z upper-cased
  pool.Append("E", "", "C:\\e");
  pool.AppendFields({"SHORT"});
  const std::u16string expected =
      u"ICON1 ICO  \"C:\\Icons\\app.ico\"\r\n"
      u" BMP  \"C:\\My Pictures\\a \"b\".bmp\"\r\n"
      u"K\u00FC \u0131MG  \"C:\\\u00E7.x\"\r\n"
      u"E   \"C:\\e\"\r\n"
      u"SHORT   \"\"\r\n";
  EXPECT_EQ(ResourceScriptBytes(pool), "\xFF\xFE" + Utf16Le(expected));

  size_t size = 2;
  for (const PoolEntry& entry : pool.Entries()) size += 2 * Utf8ToUtf16(ResourceScriptLine(entry)).size() + 4;
  EXPECT_EQ(ResourceScriptBytes(pool).size(), size);
  EXPECT_EQ(ResourceScriptBytes(ResourcePool{}), "\xFF\xFE");
}

TEST(ResourceScript, TheUtf8ScriptNamesItsCodePageAndDoublesPathBackslashes) {
  ResourcePool pool;
  pool.Append("ICON1", "ico", "C:\\My Icons\\\xC3\xA7 & a.ico");
  pool.Append("K_1", "rcdata", "\\\\server\\x");
  EXPECT_EQ(ResourceScriptBytesUtf8(pool),
            "#pragma code_page(65001)\r\n"
            "ICON1 ICO  \"C:\\\\My Icons\\\\\xC3\xA7 & a.ico\"\r\n"
            "K_1 RCDATA  \"\\\\\\\\server\\\\x\"\r\n");
  const test::TempDir dir;
  WriteResourceScript(pool, dir / "liste.rc", true);
  EXPECT_EQ(test::ReadBytes(dir / "liste.rc"), ResourceScriptBytesUtf8(pool));
}

TEST(ResourceScript, ReplacesTheFileOrRaisesTheCreateError) {
  test::TempDir dir;
  const std::string path = dir / "liste.rc";
  test::WriteBytes(path, "an older, longer script than the new one");
  ResourcePool pool;
  pool.Append("A", "ico", "C:\\a.ico");
  WriteResourceScript(pool, path);
  EXPECT_EQ(test::ReadBytes(path), ResourceScriptBytes(pool));

  const std::string unreachable = dir / "no such folder" + std::string(1, kPathSeparator) + "liste.rc";
  try {
    WriteResourceScript(pool, unreachable);
    FAIL() << "no error";
  } catch (const FileCreateError& e) {
    const std::string prefix = "Cannot create file \"" + unreachable + "\". ";
    EXPECT_EQ(std::string(e.what()).substr(0, prefix.size()), prefix);
    EXPECT_GT(std::string(e.what()).size(), prefix.size());
  }
}

TEST(ResourceScript, AnEntryThatWouldAddScriptOfItsOwnIsRefusedAndNothingWritten) {
  struct Case {
    PoolEntry entry;
    const char* named;  // what the message must show
  };
  const Case cases[] = {
      {{{"ICON2", "ENV", "/w/x\" LEAK RCDATA \"secret.env"}}, "/w/x\" LEAK RCDATA \"secret.env"},
      {{{"A", "ico", "/w/a\nB RCDATA \"/etc/passwd"}}, "/w/a\\x0AB RCDATA"},
      {{{"A", "ico", "/w/a\r.ico"}}, "/w/a\\x0D.ico"},
      {{{"A", "ico", std::string("/w/a\0.ico", 9)}}, "/w/a\\x00.ico"},
      {{{"A B", "ico", "/w/k.ico"}}, "key name \"A B\""},
      {{{"A", "RCDATA \"/etc/passwd\"\r\nB ICO", "/w/t.ico"}}, "type \"RCDATA"},
      {{{"K\xC3\xBC", "ico", "/w/u.ico"}}, "key name \"K\xC3\xBC\""},
      {{{"A", "tar-gz", "/w/v.tar-gz"}}, "type \"tar-gz\""},
  };
  const test::TempDir dir;
  for (const Case& c : cases) {
    ResourcePool pool;
    pool.Append("GOOD", "ico", "/w/good.ico");
    pool.AppendFields(c.entry.fields);
    const std::vector<std::string> problems = ScriptEntryProblems(pool);
    ASSERT_EQ(problems.size(), 1u) << c.named;
    EXPECT_NE(problems[0].find(c.named), std::string::npos) << problems[0];
    EXPECT_THROW(WriteResourceScript(pool, dir / "liste.rc", true), Error);
    EXPECT_FALSE(FileExists(dir / "liste.rc"));
  }
  ResourcePool sound;
  sound.Append("", "", "/w/My Files/a & b's (1).ico");  // empty key and type are left to the compiler
  sound.Append("ICON_1", "Ico", "C:\\x\\y.ico");
  EXPECT_TRUE(ScriptEntryProblems(sound).empty());
}

}  // namespace
}  // namespace kovan
