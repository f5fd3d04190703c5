// Language names and code pages as the system's locale data gives them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/text.hpp"
#include "lang/lang_manager.hpp"
#include "lang/language_info.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

TEST(LanguageNames, ComeFromTheLocaleOrAreTheId) {
  const std::string english = LanguageName(1033);
  const std::string turkish = LanguageName(1055);
  EXPECT_FALSE(english.empty());
  EXPECT_NE(english, "1033");
  EXPECT_NE(english, turkish);
  // The names are in the user interface's language; an English system gives these.
  if (PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_ENGLISH) {
    EXPECT_EQ(english, "English (United States)");
    EXPECT_EQ(turkish, "Turkish (Turkey)");
    EXPECT_EQ(LanguageName(1049), "Russian (Russia)");
  }
  // An ID no locale carries.
  EXPECT_EQ(LanguageName(0x0BFF), "3071");

  EXPECT_EQ(LanguageCodePage(1055), 1254u);
  EXPECT_EQ(LanguageCodePage(1049), 1251u);
  EXPECT_EQ(LanguageCodePage(1081), AnsiCodePage());  // Hindi has no ANSI code page of its own
}

TEST(LanguageNames, ManagerListsRegisteredFilesByName) {
  test::TempDir dir;
  test::WriteBytes(dir / "ru.lng", "LANGID=1049\r\n[$CONSTANTS]\r\nyeni2=\xCD\xEE\xE2\xE0\xFF\r\n");
  test::WriteBytes(dir / "odd.lng", "LANGID=3071\r\n");
  LanguageManager m;
  m.SetBaseLanguage(kBaseLanguage);
  ASSERT_EQ(m.ScanLanguageFolder(dir.str(), "*.lng", false), 2);
  EXPECT_EQ(m.LanguageNameAt(0), LanguageName(1055));
  EXPECT_EQ(m.LanguageNameAt(m.LanguageIndexOf(1049)), LanguageName(1049));
  EXPECT_EQ(m.LanguageNameAt(m.LanguageIndexOf(3071)), "3071");
  // The file's 8-bit text is read in the language's own code page.
  m.SwitchLanguage(1049);
  EXPECT_EQ(Utf16ToUtf8(m.ConstantText("yeni2")), "\xD0\x9D\xD0\xBE\xD0\xB2\xD0\xB0\xD1\x8F");
  EXPECT_EQ(m.ConstantTextAnsi("yeni2"), "\xCD\xEE\xE2\xE0\xFF");
}

}  // namespace
}  // namespace kovan
