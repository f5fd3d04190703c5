#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <stdexcept>
#include <vector>

#include "base/text.hpp"
#include "lang/lang_error.hpp"
#include "lang/lang_file.hpp"
#include "lang/lang_manager.hpp"
#include "windows/main/main_window_names.hpp"
#include "windows/pool/pool_window_names.hpp"
#include "windows/settings/settings_window_names.hpp"
#include "windows/translatable_windows.hpp"
#include "lang/start_language.hpp"
#include "support/lang_test_util.hpp"
#include "support/recording_prompter.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

using test::RecordingLanguageView;

std::string Const(const LanguageManager& m, const char* name) { return Utf16ToUtf8(m.ConstantText(name)); }

struct TurkishManager : LanguageManager {
  TurkishManager() { SetBaseLanguage(kBaseLanguage); }
};

TEST(LangManager, StartsInEnglishUntilTheProgramSetsTurkish) {
  LanguageManager fresh;
  EXPECT_EQ(fresh.BaseLanguage(), 1033);
  EXPECT_EQ(fresh.ActiveLanguage(), 1033);
  EXPECT_EQ(fresh.LanguageTotal(), 1);
  EXPECT_EQ(Const(fresh, "yeni2"), "Yeni S\xc3\xbcr\xc3\xbcm");
  EXPECT_EQ(LangManager().BaseLanguage(), kBaseLanguage);
}

TEST(LangManager, ScanRegistersFilesByTheirLanguage) {
  test::TempDir dir;
  test::WriteBytes(dir / "ru.lng", "LANGID=1049\r\n");
  test::WriteBytes(dir / "en.LNG",
                   "; English\r\nlangid = 1033\r\n[$CONSTANTS]\r\n2bad=x\r\n");  // only parameters are read
  test::WriteBytes(dir / "tr.lng", "LANGID=1055\r\n");     // the base language: accepted, not listed
  test::WriteBytes(dir / "none.lng", "NAME=nothing\r\n");  // no LANGID
  test::WriteBytes(dir / "letters.lng", "LANGID=German\r\n");
  test::WriteBytes(dir / "zero.lng", "LANGID=65536\r\n");           // low 16 bits are 0
  test::WriteBytes(dir / "de.lng", "\xEF\xBB\xBFLANGID=1031\r\n");  // UTF-8 with its mark
  test::WriteBytes(dir / "fr.txt", "LANGID=1036\r\n");              // not matching the mask
  std::filesystem::create_directory(test::FsPath(dir / "more.lng"));
  test::WriteBytes(dir / "more.lng/it.lng", "LANGID=1040\r\n");

  TurkishManager m;
  EXPECT_EQ(m.ScanLanguageFolder(dir.str(), "*.lng", false), 4);
  ASSERT_EQ(m.LanguageTotal(), 4);
  std::set<int> ids;
  for (int i = 1; i < m.LanguageTotal(); ++i) {
    ids.insert(m.LanguageIdAt(i));
    EXPECT_EQ(m.LanguageIndexOf(m.LanguageIdAt(i)), i);
  }
  EXPECT_EQ(ids, (std::set<int>{1031, 1033, 1049}));
  EXPECT_EQ(m.LanguageIdAt(0), kBaseLanguage);
  EXPECT_EQ(m.LanguageFileAt(m.LanguageIndexOf(1049)), dir / "ru.lng");
  EXPECT_EQ(m.LanguageIndexOf(1036), 0);
  EXPECT_EQ(m.LanguageIndexOf(kBaseLanguage), 0);
  EXPECT_THROW((void)m.LanguageIdAt(4), std::out_of_range);

  // Folders count only when recursing; files already known keep their index.
  const int ruIndex = m.LanguageIndexOf(1049);
  const std::string folder = dir.str().substr(0, dir.str().size() - 1);  // without the trailing separator
  EXPECT_EQ(m.ScanLanguageFolder(folder, "*.lng", true), 5);
  EXPECT_EQ(m.LanguageTotal(), 5);
  EXPECT_EQ(m.LanguageIndexOf(1040), 4);
  EXPECT_EQ(m.LanguageIndexOf(1049), ruIndex);

  EXPECT_FALSE(m.AddLanguageFile(dir / "more.lng"));
  EXPECT_FALSE(m.AddLanguageFile(dir / "missing.lng"));
  EXPECT_EQ(m.ScanLanguageFolder(dir / "no such folder", "*.lng", false), 0);
}

TEST(LangManager, FileMetLastWinsAndKeepsTheIndex) {
  test::TempDir dir;
  test::WriteBytes(dir / "a.lng", "LANGID=1049\n[$CONSTANTS]\nyeni2=A\n");
  test::WriteBytes(dir / "b.lng", "LANGID=1033\n");
  test::WriteBytes(dir / "c.lng", "LANGID=1049\n[$CONSTANTS]\nyeni2=C\n");
  TurkishManager m;
  EXPECT_TRUE(m.AddLanguageFile(dir / "a.lng"));
  EXPECT_TRUE(m.AddLanguageFile(dir / "b.lng"));
  EXPECT_TRUE(m.AddLanguageFile(dir / "c.lng"));
  EXPECT_EQ(m.LanguageTotal(), 3);
  EXPECT_EQ(m.LanguageIndexOf(1049), 1);
  m.SwitchLanguage(1049);
  EXPECT_EQ(Const(m, "yeni2"), "C");
}

#ifndef _WIN32
TEST(LangManager, NamesLanguagesOrGivesTheId) {
  test::TempDir dir;
  test::WriteBytes(dir / "a.lng", "LANGID=1049\n");
  test::WriteBytes(dir / "b.lng", "LANGID=1234\n");
  TurkishManager m;
  m.AddLanguageFile(dir / "a.lng");
  m.AddLanguageFile(dir / "b.lng");
  EXPECT_EQ(m.LanguageNameAt(0), "Turkish (Turkey)");
  EXPECT_EQ(m.LanguageNameAt(1), "Russian (Russia)");
  EXPECT_EQ(m.LanguageNameAt(2), "1234");
}
#endif

// Three windows with recording views, loaded as the program loads them.
struct Windows {
  explicit Windows(LanguageManager& m)
      : main(MainWindowTexts(), mainView, m),
        settings(SettingsWindowTexts(), settingsView, m),
        pool(PoolWindowTexts(), poolView, m) {
    main.Loaded();
    settings.Loaded();
    pool.Loaded();
  }
  RecordingLanguageView mainView, settingsView, poolView;
  LanguageController main, settings, pool;
};

constexpr char kGerman[] =
    "LANGID=1031\r\n"
    "[$CONSTANTS]\r\n"
    "YENI2=Neue Version\r\n"
    "listeokunamadi=Liste nicht lesbar:\r\n"
    "unknown=ignored\r\n"
    "[AnaPencere]\r\n"
    "6=Ressourcen\r\n"
    "[ayarpencere]\r\n"
    "1=Einstellungen\r\n"
    "4=no such text\r\n";

TEST(LangManager, SwitchingTranslatesConstantsAndWindowsAndBackRestores) {
  test::TempDir dir;
  test::WriteBytes(dir / "de.lng", kGerman);
  TurkishManager m;
  m.SwitchLanguage(kBaseLanguage);
  Windows w(m);
  const auto mainBefore = w.mainView.texts;
  const auto settingsBefore = w.settingsView.texts;
  const auto poolBefore = w.poolView.texts;
  const std::string yeni1 = Const(m, "yeni1");
  EXPECT_EQ(mainBefore.at("DosyalarAyarla1.Caption"), "Kaynak Havuzu");
  EXPECT_EQ(settingsBefore.at(".Caption"), "Ayarlar");
  EXPECT_EQ(mainBefore.count(".Caption"), 0u);  // the main window's caption is not translatable

  ASSERT_EQ(m.ScanLanguageFolder(dir.str(), "*.lng", false), 1);
  m.SwitchLanguage(1031);
  EXPECT_EQ(m.ActiveLanguage(), 1031);
  EXPECT_EQ(Const(m, "Yeni2"), "Neue Version");
  EXPECT_EQ(Const(m, "listeokunamadi"), "Liste nicht lesbar:");
  EXPECT_EQ(Const(m, "yeni1"), yeni1);
  EXPECT_THROW((void)m.ConstantText("unknown"), LanguageError);

  auto mainExpected = mainBefore;
  mainExpected["DosyalarAyarla1.Caption"] = "Ressourcen";
  EXPECT_EQ(w.mainView.texts, mainExpected);
  auto settingsExpected = settingsBefore;
  settingsExpected[".Caption"] = "Einstellungen";
  EXPECT_EQ(w.settingsView.texts, settingsExpected);
  EXPECT_EQ(w.poolView.texts, poolBefore);

  m.SwitchLanguage(kBaseLanguage);
  EXPECT_EQ(w.mainView.texts, mainBefore);
  EXPECT_EQ(w.settingsView.texts, settingsBefore);
  EXPECT_EQ(Const(m, "yeni2"), "Yeni S\xc3\xbcr\xc3\xbcm");
  EXPECT_EQ(Const(m, "listeokunamadi"), "Kaynak dosya listesi okunamad\xc4\xb1:");

  // A language without a file is the base language.
  m.SwitchLanguage(1031);
  m.SwitchLanguage(1036);
  EXPECT_EQ(m.ActiveLanguage(), kBaseLanguage);
  EXPECT_EQ(w.mainView.texts, mainBefore);
}

TEST(LangManager, ABadFileChangesNothingAndTheActiveLanguageIsNotReread) {
  test::TempDir dir;
  test::WriteBytes(dir / "de.lng", kGerman);
  test::WriteBytes(dir / "ru.lng", "LANGID=1049\r\n[AnaPencere]\r\n6=x\r\n[$CONSTANTS]\r\n2abc=x\r\n");
  TurkishManager m;
  m.ScanLanguageFolder(dir.str(), "*.lng", false);
  Windows w(m);
  m.SwitchLanguage(1031);
  const auto texts = w.mainView.texts;
  const int applied = w.mainView.applied;
  try {
    m.SwitchLanguage(1049);
    FAIL();
  } catch (const LanguageError& e) {
    EXPECT_STREQ(e.what(), "Loading translations failed.\r\nLine 4: Invalid constant name (\"2abc\")");
  }
  EXPECT_EQ(m.ActiveLanguage(), 1031);
  EXPECT_EQ(Const(m, "yeni2"), "Neue Version");
  EXPECT_EQ(w.mainView.applied, applied);

  // Switching to the active language reads nothing, so a now broken file goes unnoticed.
  test::WriteBytes(dir / "de.lng", "LANGID=1031\r\n[$CONSTANTS]\r\n1=x\r\n");
  m.SwitchLanguage(1031);
  EXPECT_EQ(w.mainView.texts, texts);
  m.SwitchLanguage(kBaseLanguage);
  EXPECT_THROW(m.SwitchLanguage(1031), LanguageError);

  std::filesystem::remove(test::FsPath(dir / "de.lng"));
  EXPECT_THROW(m.SwitchLanguage(1031), FileOpenError);
  EXPECT_EQ(m.ActiveLanguage(), kBaseLanguage);
}

TEST(LangManager, ConstantsAFileLacksKeepTheirTextAndTheCodePageFollows) {
  test::TempDir dir;
  test::WriteBytes(dir / "de.lng", kGerman);
  test::WriteBytes(dir / "ru.lng", "LANGID=1049\r\n[$CONSTANTS]\r\nyeni1=\xCD\xEE\xE2\xE0\xFF\r\n");  // cp1251
  TurkishManager m;
  m.ScanLanguageFolder(dir.str(), "*.lng", false);
  m.SwitchLanguage(1031);
  m.SwitchLanguage(1049);
  EXPECT_EQ(Const(m, "yeni1"), "\xD0\x9D\xD0\xBE\xD0\xB2\xD0\xB0\xD1\x8F");
  EXPECT_EQ(Const(m, "yeni2"), "Neue Version");  // left over from German
  EXPECT_EQ(m.ActiveCodePage(), 1251u);
  EXPECT_EQ(m.ConstantTextAnsi("yeni1"), "\xCD\xEE\xE2\xE0\xFF");
  EXPECT_EQ(m.ConstantTextAnsi("tmz2"), "Havuz Bo?");  // ş is not in the Cyrillic code page
}

TEST(LangManager, WindowsLoadedLaterAndWindowsGoneAreHandled) {
  test::TempDir dir;
  test::WriteBytes(dir / "de.lng", kGerman);
  TurkishManager m;
  m.ScanLanguageFolder(dir.str(), "*.lng", false);
  m.SwitchLanguage(1031);

  RecordingLanguageView view;
  {
    LanguageController main(MainWindowTexts(), view, m);
    m.SwitchLanguage(kBaseLanguage);
    EXPECT_EQ(view.applied, 0);  // nothing is known of a window before it has loaded
    m.SwitchLanguage(1031);
    main.Loaded();
    EXPECT_EQ(view.texts.at("DosyalarAyarla1.Caption"), "Ressourcen");
    EXPECT_EQ(view.texts.at("RES1.Caption"), "Kaynak dosyas\xc4\xb1n\xc4\xb1 olu\xc5\x9ftur");
  }
  const int applied = view.applied;
  m.SwitchLanguage(kBaseLanguage);
  EXPECT_EQ(view.applied, applied);
}

TEST(ChooseStartLanguage, FindsTheSavedLanguageOrFallsBackToTurkish) {
  test::TempDir dir;
  test::WriteBytes(dir / "de.lng", kGerman);
  test::WriteBytes(dir / "ru.lng", "LANGID=1049\r\n[$CONSTANTS]\r\nyeni1=x\r\n");
  struct Case {
    bool withFolder;
    int32_t saved;
    uint16_t active;
    bool notice;
  };
  const Case cases[] = {
      {false, 1055, 1055, false}, {false, 1033, 1055, true},        {false, 0, 1055, false},
      {true, 1049, 1049, false},  {true, 1031 + 65536, 1055, true},
  };
  for (const Case& c : cases) {
    TurkishManager m;
    RecordingPrompter prompter;
    std::vector<int> listed;
    const bool found = ChooseStartLanguage(m, c.saved, c.withFolder ? dir.str() : dir / "dil", prompter,
                                           [&listed](int index) { listed.push_back(index); });
    EXPECT_EQ(m.ActiveLanguage(), c.active) << c.saved;
    EXPECT_EQ(found, c.active != kBaseLanguage || c.saved == kBaseLanguage) << c.saved;
    EXPECT_EQ(listed.size(), c.withFolder ? 3u : 1u);
    ASSERT_EQ(prompter.calls.size(), c.notice ? 1u : 0u) << c.saved;
    if (c.notice) {
      EXPECT_EQ(prompter.calls[0].request.text, kLanguageNotFoundNotice);
    }
  }

  // Going through Turkish first: nothing of the German texts survives in Russian.
  TurkishManager m;
  m.ScanLanguageFolder(dir.str(), "*.lng", false);
  m.SwitchLanguage(1031);
  RecordingPrompter prompter;
  EXPECT_TRUE(ChooseStartLanguage(m, 1049, dir.str(), prompter));
  EXPECT_EQ(Const(m, "yeni2"), "Yeni S\xc3\xbcr\xc3\xbcm");
  EXPECT_EQ(Const(m, "yeni1"), "x");
}

}  // namespace
}  // namespace kovan
