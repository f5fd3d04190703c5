#include "pool/pool_file.hpp"

#include <gtest/gtest.h>

#include "base/errors.hpp"
#include "base/text.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

using Fields = std::vector<std::string>;

struct LineCase {
  const char* line;
  Fields fields;
};

TEST(PoolLine, SplitsLikeTheListFileReader) {
  const LineCase cases[] = {
      {"?,ico,C:\\Icons\\app.ico", {"?", "ico", "C:\\Icons\\app.ico"}},
      {"?,ico,\"C:\\My Icons\\a.ico\"", {"?", "ico", "C:\\My Icons\\a.ico"}},
      {"x,", {"x", ""}},
      {",", {"", ""}},
      {",,", {"", "", ""}},
      {"\"\"", {""}},
      {"", {}},
      {"  a  b ,c", {"a", "b", "c"}},
      {"a b,c", {"a", "b", "c"}},
      {"a,,b", {"a", "", "b"}},
      {"x, ", {"x"}},  // a comma is followed by an empty field only when it ends the line
      {"\"A,B\",\"say \"\"hi\"\"\"", {"A,B", "say \"hi\""}},
      {"\"\"\"hi\"\"\"", {"\"hi\""}},
      {"\"a\"b,c", {"a", "b", "c"}},
      {"\"open", {"open"}},
      {"\ta\x01,\x1f"
       "b",
       {"a", "b"}},
      {"k,t,p,extra", {"k", "t", "p", "extra"}},
  };
  for (const LineCase& c : cases) EXPECT_EQ(SplitPoolLine(c.line), c.fields) << "line: " << c.line;
}

TEST(PoolLine, EncodesFieldsThatNeedQuotes) {
  const LineCase cases[] = {
      {"?,ico,C:\\Icons\\app.ico", {"?", "ico", "C:\\Icons\\app.ico"}},
      {"?,ico,\"C:\\My Pictures\\logo.bmp\"", {"?", "ico", "C:\\My Pictures\\logo.bmp"}},
      {"\"A,B\"", {"A,B"}},
      {"\"\"\"hi\"\"\"", {"\"hi\""}},
      {"\"\"", {""}},
      {"", {}},
      {",", {"", ""}},
      {"a,,\"\tb\"", {"a", "", "\tb"}},
      {"\xc3\xa7i\xc3\xa7"
       "ek",
       {"\xc3\xa7i\xc3\xa7"
        "ek"}},  // bytes above 0x7F never force quotes
  };
  for (const LineCase& c : cases) EXPECT_EQ(EncodePoolLine(c.fields), c.line);
}

TEST(PoolLine, WriteThenReadGivesTheSameFields) {
  const Fields samples[] = {
      {"", "", ""}, {" lead", "trail ", "mid dle"}, {"\"", "\"\"", ","}, {"a,\"b\", c", "", "x"}, {"", ""}, {"solo"}};
  for (const Fields& f : samples) EXPECT_EQ(SplitPoolLine(EncodePoolLine(f)), f);
}

TEST(PoolFile, LineEndsAndTheEndOfFileMark) {
  struct FileCase {
    std::string bytes;
    std::vector<Fields> entries;
  };
  const FileCase cases[] = {
      {"", {}},
      {"a,b,c\r\nd,e,f\r\n", {{"a", "b", "c"}, {"d", "e", "f"}}},
      {"a,b,c\nd,e,f\n", {{"a", "b", "c"}, {"d", "e", "f"}}},
      {"a,b,c\r\nd,e,f", {{"a", "b", "c"}, {"d", "e", "f"}}},
      {"\r\n", {{}}},
      {"a\r\n\r\nb\r\n", {{"a"}, {}, {"b"}}},
      {"a\rb,c\r\n", {{"ab", "c"}}},  // a lone CR is left out of the line
      {"a,b\x1A"
       "junk,x\r\nc\r\n",
       {{"a", "b"}, {"c"}}},
      {"a\r\n\x1A"
       "b\r\nc\r\n",
       {{"a"}}},
  };
  for (const FileCase& c : cases) {
    std::vector<Fields> got = ParsePoolFile(c.bytes, 1252);
    EXPECT_EQ(got, c.entries) << "file: " << c.bytes;
  }
}

TEST(PoolFile, WritesCrLfAfterEveryLineAndNothingForAnEmptyPool) {
  ResourcePool pool;
  EXPECT_EQ(SerializePool(pool, 1252), "");
  pool.Append("?", "ico", "C:\\My Icons\\a.ico");
  pool.Append("ICON1", "", "C:\\b.png");
  EXPECT_EQ(SerializePool(pool, 1252), "?,ico,\"C:\\My Icons\\a.ico\"\r\nICON1,,C:\\b.png\r\n");
}

TEST(PoolFile, AnsiTextRoundTripsByteForByte) {
  // Turkish letters in code page 1254 and a byte 1252 leaves undefined.
  const std::string bytes =
      "?,\xFD\xFE,C:\\\xDE"
      "ekil\\\xE7i\xE7"
      "ek.ico\r\nK,x\x81y,C:\\a.ico\r\n";
  ResourcePool pool;
  for (auto& fields : ParsePoolFile(bytes, 1254)) pool.AppendFields(fields);
  EXPECT_EQ(pool.Field(0, kResourceType), "\xc4\xb1\xc5\x9f");  // ış
  EXPECT_EQ(SerializePool(pool, 1254), bytes);
}

TEST(PoolFile, UnrepresentableTextIsWrittenAsUtf8WithMarkAndReadBack) {
  ResourcePool pool;
  pool.Append("?", "png", "C:\\\xe6\x97\xa5\xe6\x9c\xac\\a.png");  // 日本 cannot be held by 1252
  pool.Append("B", "ico", "C:\\b.ico");
  const std::string bytes = SerializePool(pool, 1252);
  EXPECT_EQ(bytes, std::string(kUtf8Bom) + "?,png,C:\\\xe6\x97\xa5\xe6\x9c\xac\\a.png\r\nB,ico,C:\\b.ico\r\n");
  const auto entries = ParsePoolFile(bytes, 1252);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0][2], pool.Field(0, kFilePath));
}

TEST(PoolFile, AnsiTextThatBeginsLikeAByteOrderMarkIsNotMistakenForIt) {
  // The first key as UTF-8; in 1252 its bytes are those of a mark.
  const char* keys[] = {
      "\xc3\xaf\xc2\xbb\xc2\xbf"
      "KEY",                  // "ï»¿KEY": the UTF-8 mark
      "\xc3\xbe\xc3\xbfKEY",  // "þÿKEY": UTF-16, big-endian
      "\xc3\xbf\xc3\xbeKEY",  // "ÿþKEY": UTF-16, little-endian
  };
  for (const char* key : keys) {
    ResourcePool pool;
    pool.Append(key, "ico", "C:\\a.ico");
    const auto entries = ParsePoolFile(SerializePool(pool, 1252), 1252);
    ASSERT_EQ(entries.size(), 1u) << key;
    EXPECT_EQ(entries[0], pool.Entries()[0].fields) << key;
  }
}

TEST(PoolFile, Utf16WithItsMarkIsReadInBothByteOrdersAndWrittenBackAsAnsi) {
  // "?,ico,C:\ş.ico" and a second line, as an editor saves "Unicode".
  const std::u16string text = u"?,ico,C:\\\u015f.ico\r\nB,png,C:\\b.png\r\n";
  for (const bool bigEndian : {false, true}) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
      const char hi = static_cast<char>(unit >> 8);
      const char lo = static_cast<char>(unit & 0xFF);
      bytes += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    ResourcePool pool;
    for (auto& fields : ParsePoolFile(bytes, 1254)) pool.AppendFields(fields);
    ASSERT_EQ(pool.Count(), 2u) << bigEndian;
    EXPECT_EQ(pool.Field(0, kFilePath), "C:\\\xc5\x9f.ico");
    EXPECT_EQ(pool.Field(1, kKeyName), "B");
    EXPECT_EQ(SerializePool(pool, 1254), "?,ico,C:\\\xFE.ico\r\nB,png,C:\\b.png\r\n");
  }
}

TEST(PoolFile, AnEntryWhoseFieldWouldBreakItsLineIsNeverWritten) {
  // Written as they are, these would come back as a second entry of the file
  // name's choosing, a changed field, or a line cut short.
  const char* paths[] = {"C:\\a\nLF,ico,C:\\evil.ico", "C:\\b\r.ico", "C:\\c\x1A.ico"};
  for (const char* path : paths) {
    ResourcePool pool;
    pool.Append("A", "ico", "C:\\first.ico");
    pool.Append("?", "ico", path);
    pool.Append("C", "ico", "C:\\last.ico");
    const std::string bytes = SerializePool(pool, 1252);
    EXPECT_EQ(bytes, "A,ico,C:\\first.ico\r\nC,ico,C:\\last.ico\r\n") << test::Printable(path);
  }
}

TEST(PoolFile, UnmarkedUtf8IsReadAsUtf8AndAnythingElseAsAnsi) {
  struct Case {
    std::string bytes;
    const char* path;  // as UTF-8
  };
  const Case cases[] = {
      // What an editor saves by default: UTF-8 without a mark.
      {"?,ico,C:\\\xC3\xA7i\xC3\xA7"
       "ek\\\xE2\x82\xAC.ico\r\n",
       "C:\\\xC3\xA7i\xC3\xA7"
       "ek\\\xE2\x82\xAC.ico"},
      // 1252 bytes that are no valid UTF-8 stay ANSI: "ç" alone, "é" before ASCII.
      {"?,ico,C:\\\xE7.ico\r\n", "C:\\\xC3\xA7.ico"},
      {"?,ico,C:\\caf\xE9s.ico\r\n", "C:\\caf\xC3\xA9s.ico"},
      // An encoded surrogate is no valid UTF-8 either.
      {"?,ico,C:\\\xED\xA0\x80.ico\r\n", "C:\\\xC3\xAD\xC2\xA0\xE2\x82\xAC.ico"},
      {"?,ico,C:\\plain.ico\r\n", "C:\\plain.ico"},
  };
  for (const Case& c : cases) {
    const auto entries = ParsePoolFile(c.bytes, 1252);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0][2], c.path) << test::Printable(c.bytes);
  }
}

TEST(PoolFile, AnsiTextThatWouldReadAsUtf8IsWrittenWithTheMark) {
  // "Ã©" in 1252 is the pair of bytes that spells "é" in UTF-8.
  ResourcePool pool;
  pool.Append("?", "ico", "C:\\\xC3\x83\xC2\xA9.ico");
  const std::string bytes = SerializePool(pool, 1252);
  EXPECT_EQ(bytes.substr(0, kUtf8Bom.size()), kUtf8Bom);
  const auto entries = ParsePoolFile(bytes, 1252);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0], pool.Entries()[0].fields);
}

TEST(PoolFile, ReadAndWriteThroughTheFileSystem) {
  test::TempDir dir;
  const std::string file = dir / "Liste.kvl";
  ResourcePool pool;
  pool.Append("?", "ico", "C:\\My Icons\\a.ico");
  pool.AppendFields({"K", "t", "p", "fourth"});
  WritePoolFile(pool, file);
  EXPECT_EQ(test::ReadBytes(file), "?,ico,\"C:\\My Icons\\a.ico\"\r\nK,t,p,fourth\r\n");

  ResourcePool back;
  ASSERT_TRUE(ReadPoolFile(back, file).opened);
  ASSERT_EQ(back.Count(), 2u);
  EXPECT_EQ(back.Entries()[1].fields, (Fields{"K", "t", "p", "fourth"}));

  ResourcePool none;
  none.Append("x", "y", "z");
  const PoolReadResult missing = ReadPoolFile(none, dir / "nothing.kvl");
  EXPECT_FALSE(missing.opened);
  EXPECT_EQ(missing.openError, 2);
  EXPECT_EQ(none.Count(), 0u);
}

TEST(PoolFile, AFailedWriteLeavesThePreviousFileWholeAndRaisesTheIoError) {
  test::TempDir dir;
#ifdef _WIN32
  // A folder where the temporary file goes makes the write fail.
  const std::string file = dir / "Liste.kvl";
  std::filesystem::create_directory(test::FsPath(file + "." + std::to_string(test::ProcessId()) + ".tmp"));
  const int expectedCode = 5;
  const char* expectedText = "File access denied";
#else
  // A name so long that no temporary name beside it is allowed makes the
  // write fail, even for root.
  const std::string file = dir / (std::string(240, 'L') + ".kvl");
  const int expectedCode = 3;
  const char* expectedText = "Invalid filename";
#endif
  test::WriteBytes(file, "old,line,kept\r\n");
  ResourcePool pool;
  pool.Append("new", "x", "y");
  try {
    WritePoolFile(pool, file);
    FAIL() << "the write should fail";
  } catch (const IoError& e) {
    EXPECT_EQ(e.code(), expectedCode);
    EXPECT_STREQ(e.what(), expectedText);
  }
  EXPECT_EQ(test::ReadBytes(file), "old,line,kept\r\n");
}

}  // namespace
}  // namespace kovan
