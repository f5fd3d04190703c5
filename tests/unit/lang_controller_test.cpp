#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <tuple>
#include <string>

#include "base/text.hpp"
#include "lang/lang_file.hpp"
#include "lang/language_controller.hpp"
#include "lang/pattern_match.hpp"
#include "windows/main/main_window_names.hpp"
#include "windows/pool/pool_window_names.hpp"
#include "windows/settings/settings_window_names.hpp"
#include "windows/translatable_windows.hpp"
#include "support/lang_test_util.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

TEST(PatternMatch, MatchesWholeTextsIgnoringCase) {
  struct Case {
    const char* text;
    const char* pattern;
    bool match;
  };
  const Case cases[] = {
      {"Ayar.Caption", "Ayar.*", true},
      {"Ayarlar1.Caption", "Ayar.*", false},
      {"ayar.", "AYAR.*", true},
      {"Label10.Hint", "Label1*", true},
      {"XLabel1", "Label1*", false},
      {"FindFile1.Path", "FindFile?.Path", true},
      {"FindFile.Path", "FindFile?.Path", false},
      {"a.b.c", "*.*.*", true},
      {"abcbc", "*bc", true},
      {"abcbd", "*bc", false},
      {"Item7", "Item[0-9]", true},
      {"ItemX", "Item[0-9]", false},
      {"ItemB", "Item[abc]", true},
      {"ItemD", "Item[!abc]", true},
      {"Itemb", "Item[!ABC]", false},
      {"[x", "[x", true},  // an unclosed bracket is a plain character
      {"", "*", true},
      {"", "?", false},
      {"x", "", false},
  };
  for (const Case& c : cases) EXPECT_EQ(MatchesPattern(c.text, c.pattern), c.match) << c.text << " ~ " << c.pattern;

  PatternList list{"b*", "A", "B*", "a"};
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"A", "b*"}));
  EXPECT_TRUE(list.Matches("Bee"));
  EXPECT_FALSE(list.Matches("ab"));
}

TEST(LanguageController, IgnoresListedPathsAndTranslatesBySectionOrRestores) {
  constexpr WindowText kTexts[] = {
      {"", "Caption", 1, "Pencere"},
      {"Label1", "Caption", 2, "Etiket"},
      {"Label10", "Hint", 3, "\xC4\xB0pucu"},
      {"Button", "Caption", 4, "D\xC3\xBC\xC4\x9Fme"},
  };
  constexpr const char* kIgnore[] = {"Label1*"};
  const WindowTextTable table{"Deneme", kTexts, kIgnore};

  LanguageManager m;
  test::RecordingLanguageView view;
  LanguageController controller(table, view, m);
  EXPECT_EQ(controller.SectionNameOrWindow(), "Deneme");
  controller.SectionName = "Other";
  EXPECT_EQ(controller.SectionNameOrWindow(), "Other");

  controller.Loaded();
  const std::map<std::string, std::string> builtin{{".Caption", "Pencere"}, {"Button.Caption", "D\xC3\xBC\xC4\x9Fme"}};
  EXPECT_EQ(view.texts, builtin);

  const LangFile file = ParseLanguageText(u"[Deneme]\n1=Window\n2=Label\n3=Tip\n4=Line\\nbreak\n", false);
  controller.Translate(file.FindSection("deneme"));
  EXPECT_EQ(view.texts,
            (std::map<std::string, std::string>{{".Caption", "Window"}, {"Button.Caption", "Line\r\nbreak"}}));
  controller.Translate(nullptr);
  EXPECT_EQ(view.texts, builtin);
}

TEST(LanguageController, WindowTablesKeepTheirIdsUnique) {
  for (const WindowTextTable* window : TranslatableWindows()) {
    std::set<int32_t> ids;
    for (const WindowText& text : window->texts) {
      EXPECT_GT(text.id, 0);
      EXPECT_TRUE(ids.insert(text.id).second) << window->windowName << " " << text.id;
      // No table entry may fall under its own window's ignore list.
      PatternList ignore;
      for (const char* pattern : window->ignoreList) ignore.Add(pattern);
      EXPECT_FALSE(ignore.Matches(std::string(text.component) + "." + text.property)) << text.component;
    }
  }
  EXPECT_EQ(MainWindowTexts().texts.size(), 22u);
  EXPECT_EQ(SettingsWindowTexts().texts.size(), 14u);
  EXPECT_EQ(PoolWindowTexts().texts.size(), 12u);
}

// The English file that ships with the program translates everything, and
// switching to it and back leaves every built-in text as it was.
TEST(EnglishLanguageFile, TranslatesEveryTextAndSwitchingBackRestores) {
  // The test data folder sits in tests/ of the source tree, beside res/.
  const std::string path = test::TempDir::Utf8(std::filesystem::path(KOVAN_TEST_DATA).parent_path().parent_path() /
                                               "res" / "dil" / "English.lng");
  const LangFile file = ReadLanguageFile(path, false);
  EXPECT_EQ(file.LanguageId(), 1033);

  LanguageManager m;
  m.SetBaseLanguage(kBaseLanguage);
  m.SwitchLanguage(kBaseLanguage);
  ConstantsTable program;
  LoadProgramConstants(program, BuiltinConstantsResource(), 1254);
  for (const LangConstant& constant : program.Items()) {
    const LangConstant* english = file.constants.Find(constant.name);
    ASSERT_NE(english, nullptr) << constant.name;
    EXPECT_NE(english->value, constant.builtin) << constant.name;
  }
  for (const LangConstant& english : file.constants.Items())
    EXPECT_NE(program.Find(english.name), nullptr) << english.name;
  for (const WindowTextTable* window : TranslatableWindows()) {
    const LangSection* section = file.FindSection(window->windowName);
    ASSERT_NE(section, nullptr) << window->windowName;
    EXPECT_EQ(section->texts.size(), window->texts.size()) << window->windowName;
    for (const WindowText& text : window->texts) EXPECT_NE(section->Find(text.id), nullptr) << text.id;
  }

  test::RecordingLanguageView mainView, settingsView, poolView;
  LanguageController main(MainWindowTexts(), mainView, m), settings(SettingsWindowTexts(), settingsView, m),
      pool(PoolWindowTexts(), poolView, m);
  main.Loaded();
  settings.Loaded();
  pool.Loaded();
  const auto before = std::make_tuple(mainView.texts, settingsView.texts, poolView.texts);
  ASSERT_TRUE(m.AddLanguageFile(path));
  m.SwitchLanguage(1033);
  EXPECT_EQ(mainView.texts.at("k1.Caption"), "Exit");
  EXPECT_EQ(poolView.texts.at("Onaylavek1.Caption"), "Confirm and Close");
  EXPECT_EQ(Utf16ToUtf8(m.ConstantText("xmlad")), "File_Name");
  m.SwitchLanguage(kBaseLanguage);
  EXPECT_EQ(std::make_tuple(mainView.texts, settingsView.texts, poolView.texts), before);
  for (const LangConstant& constant : program.Items()) EXPECT_EQ(m.ConstantText(constant.name), constant.builtin);
}

}  // namespace
}  // namespace kovan
