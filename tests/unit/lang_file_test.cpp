#include <gtest/gtest.h>

#include <string>

#include "base/text.hpp"
#include "lang/lang_error.hpp"
#include "lang/lang_file.hpp"

namespace kovan {
namespace {

// A compact picture of a parsed file: parameters, constants and sections in
// order, one "kind name=value" item each.
std::string Describe(const LangFile& file) {
  std::string out;
  for (const auto& [name, value] : file.params) out += "P " + name + "=" + Utf16ToUtf8(value) + "|";
  for (const LangConstant& c : file.constants.Items()) out += "C " + c.name + "=" + Utf16ToUtf8(c.value) + "|";
  for (const LangSection& s : file.sections) {
    out += "S " + s.name + ":";
    for (const auto& [id, text] : s.texts) out += " " + std::to_string(id) + "=" + Utf16ToUtf8(text);
    out += "|";
  }
  return out;
}

std::string Parse(const std::string& utf8, bool paramsOnly = false) {
  return Describe(ParseLanguageText(Utf8ToUtf16(utf8), paramsOnly));
}

TEST(LangFile, ParsesParametersConstantsAndSections) {
  struct Case {
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"; a comment\r\nLANGID=1033\r\n[$CONSTANTS]\r\nhavuzbos1=Pool Empty\r\n[AnaPencere]\r\n6=Resource Pool\r\n",
       "P LANGID=1033|C havuzbos1=Pool Empty|S AnaPencere: 6=Resource Pool|"},
      // Blanks and control characters are trimmed; parameter values stay as written.
      {" \t Name = a\\tb \x01\r\n", "P Name=a\\tb|"},
      // A repeated parameter replaces the value and keeps the first spelling.
      {"a=1\nA=2\n", "P a=2|"},
      // Lines without '=' or without a name are ignored; an empty value is kept.
      {"junk\n=x\nb=\n", "P b=|"},
      {"a=1\rb=2\nc=3\r\n", "P a=1|P b=2|P c=3|"},
      {"[$constants]\nyeni2=New\n", "C yeni2=New|"},
      // Too short or unclosed section lines leave the current section as it was.
      {"[$CONSTANTS]\n[]\n[AnaPencere\nyeni2=X\n", "C yeni2=X|"},
      {"[ AyarPencere ]\n1=A\n[ayarpencere]\n2=B\n", "S AyarPencere: 1=A 2=B|"},
      // IDs must be decimal numbers above 0.
      {"[S]\nabc=1\n0=2\n-3=4\n+7=z\n12 = twelve \n99999999999=big\n", "S S: 7=z 12=twelve|"},
      {"[S]\n1=a\\tb\\32\n", "S S: 1=a\tb |"},
      {"[$CONSTANTS]\nb=2\nA=1\n", "C A=1|C b=2|"},
  };
  for (const Case& c : cases) EXPECT_EQ(Parse(c.text), c.expected) << c.text;

  EXPECT_EQ(Parse("LANGID=1049\nx=1\n  [anything\n2abc=no\n", true), "P LANGID=1049|P x=1|");
}

TEST(LangFile, BadLinesFailWithTheirIndexFromZero) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"LANGID=1\n\n[$CONSTANTS]\nok=1\n2abc=x\n",
       "Loading translations failed.\r\nLine 4: Invalid constant name (\"2abc\")"},
      {"[$CONSTANTS]\nA=1\na=2\n", "Loading translations failed.\r\nLine 2: Duplicate constant name (\"a\")"},
      {"[S]\n5=a\n[s]\n05=b\n", "Loading translations failed.\r\nLine 3: Duplicate property value translation ID (5)"},
      {"[$CONSTANTS]\r\n\xc3\xa7x=1", "Loading translations failed.\r\nLine 1: Invalid constant name (\"\xc3\xa7x\")"},
  };
  for (const Case& c : cases) {
    try {
      (void)ParseLanguageText(Utf8ToUtf16(c.text), false);
      ADD_FAILURE() << "no error for " << c.text;
    } catch (const LanguageError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

TEST(LangFile, Unescapes) {
  struct Case {
    const char16_t* value;
    const char16_t* expected;
  };
  const Case cases[] = {
      {u"Line one\\nLine two\\t\\32", u"Line one\r\nLine two\t "},
      {u"\\\\n", u"\\n"},
      {u"\\N\\T", u"\\N\\T"},  // only lower-case n and t
      {u"\\65\\066",
       u"A\x06"
       u"6"},
      {u"\\7x\\q", u"\\7x\\q"},
      {u"\\\\\\t", u"\\\t"},
      {u"end\\", u"end\\"},
  };
  for (const Case& c : cases) EXPECT_EQ(Unescape(c.value), c.expected) << Utf16ToUtf8(c.value);
}

std::string Utf16Bytes(std::u16string_view text, bool bigEndian) {
  std::string out;
  for (char16_t c : text) {
    const char high = static_cast<char>(c >> 8);
    const char low = static_cast<char>(c & 0xFF);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
  }
  return out;
}

TEST(LangFile, DecodesByMarkOrByTheLanguagesCodePage) {
  // UTF-16 little-endian after its mark.
  EXPECT_EQ(DecodeLanguageFile("\xFF\xFE" + Utf16Bytes(u"LANGID=1049\r\nx=\u0416", false), 1252),
            u"LANGID=1049\r\nx=\u0416");
  // UTF-8 after its mark, which is dropped, so the first parameter keeps its name.
  const std::u16string utf8 = DecodeLanguageFile("\xEF\xBB\xBFLANGID=1049\r\nx=\xD0\x96", 1252);
  EXPECT_EQ(utf8, u"LANGID=1049\r\nx=\u0416");
  EXPECT_EQ(ParseLanguageText(utf8, true).LanguageId(), 1049);
  // 8-bit text in the code page of the language it names, wherever the line stands.
  EXPECT_EQ(DecodeLanguageFile("x=\xC6\r\nLANGID = 1049", 1252), u"x=\u0416\r\nLANGID = 1049");
  EXPECT_EQ(DecodeLanguageFile("LANGID=1055\nx=\xFE", 1252), u"LANGID=1055\nx=\u015F");
  // No LANGID, or a malformed one: English's code page, whatever the system's.
  EXPECT_EQ(DecodeLanguageFile("x=\xFE", 1254), u"x=\u00FE");
  EXPECT_EQ(DecodeLanguageFile("LANGID=tr\nx=\xFE", 1254), u"LANGID=tr\nx=\u00FE");
  // A big-endian file is read as UTF-16 too.
  const std::u16string big = DecodeLanguageFile("\xFE\xFF" + Utf16Bytes(u"LANGID=1049", true), 1252);
  EXPECT_EQ(big, u"LANGID=1049");
  EXPECT_EQ(ParseLanguageText(big, true).LanguageId(), 1049);
}

TEST(LangFile, LanguageIdIsZeroWhenMissingOrMalformed) {
  struct Case {
    const char* text;
    int32_t id;
  };
  const Case cases[] = {{"langid = 1033", 1033},
                        {"LANGID=-1", -1},
                        {"LANGID=1o33", 0},
                        {"LANGID=", 0},
                        {"x=1", 0},
                        {"LANGID=4294967296", 0},
                        {"[$CONSTANTS]\nLANGID=1033", 0}};
  for (const Case& c : cases) EXPECT_EQ(ParseLanguageText(Utf8ToUtf16(c.text), false).LanguageId(), c.id) << c.text;
}

}  // namespace
}  // namespace kovan
