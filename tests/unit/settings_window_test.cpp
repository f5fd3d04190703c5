#include "windows/settings/settings_window_logic.hpp"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "lang/lang_error.hpp"
#include "lang/language_info.hpp"
#include "lang/start_language.hpp"
#include "support/memory_registry.hpp"
#include "support/recording_prompter.hpp"
#include "support/recording_views.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

class RecordingSettingsView : public SettingsWindowView {
 public:
  void ApplyText(std::string_view component, std::string_view property, const std::string& text) override {
    const std::string path = std::string(component) + "." + std::string(property);
    texts[path] = text;
    if (path == ".Caption") windowCaptions.push_back(text);
  }
  void SetLanguageItems(const std::vector<std::string>& list) override { items = list; }
  void ChooseLanguageItem(int index) override { chosen = index; }
  void SetChecked(SettingsToggle toggle, bool state) override { checked[toggle] = state; }
  void ShowLevel(int shown) override { level = shown; }
  void EnableLevel(bool enabled) override { levelEnabled = enabled; }
  void OpenPanel(SettingsPanel panel) override { openPanels.push_back(panel); }
  void SetPanelCaption(SettingsPanel panel, const std::string& markup) override { captions[panel] = markup; }
  void Hide() override { ++hides; }
  void SetCompilerItems(const std::string& label, const std::vector<std::string>& list, int chosen) override {
    compilerLabel = label;
    compilers = list;
    chosenCompiler = chosen;
  }
  void SetMachineItems(const std::vector<std::string>& list, int chosen) override {
    machines = list;
    chosenMachine = chosen;
  }

  std::map<std::string, std::string> texts;  // "Component.Property" -> text
  std::vector<std::string> windowCaptions;
  std::vector<std::string> items;
  int chosen = -1;
  std::map<SettingsToggle, bool> checked;
  int level = 0;
  bool levelEnabled = true;
  std::vector<SettingsPanel> openPanels;
  std::map<SettingsPanel, std::string> captions;
  int hides = 0;
  std::string compilerLabel;
  std::vector<std::string> compilers;
  int chosenCompiler = -1;
  std::vector<std::string> machines;
  int chosenMachine = -1;
};

class RecordingMainWindow : public MainWindowControl {
 public:
  void SetStayOnTop(bool onTop) override { events.push_back(onTop ? "topmost" : "normal"); }
  void SetAlphaBlend(bool on) override { events.push_back(on ? "blend on" : "blend off"); }
  void SetAlphaBlendValue(uint8_t alpha) override { events.push_back("alpha " + std::to_string(alpha)); }
  std::vector<std::string> events;
};

constexpr char kEnglish[] = "LANGID=1033\r\n[AyarPencere]\r\n1=Settings\r\n2=General\r\n";

// A settings window with its own language manager and language folder.
struct SettingsRig {
  SettingsRig() { languages.SetBaseLanguage(kBaseLanguage); }
  SettingsRig& WithFile(const std::string& name, const std::string& content) {
    test::WriteBytes(dir / name, content);
    return *this;
  }
  // Builds the window as the start does, with `saved` as the stored language
  // (none stored when negative).
  SettingsWindowLogic& Create(int32_t saved = -1) {
    if (saved >= 0) store.WriteInteger("Dil", saved);
    logic.emplace(view, SettingsWindowServices{settings, store, mainWindow, prompter, browser, dir.str(),
                                               ServerAddress{"www.rirudir.com", 80}, languages, findCompilers});
    logic->OnCreate();
    return *logic;
  }

  test::TempDir dir;
  LanguageManager languages;
  MemoryRegistry registry;
  SettingsStore store{registry};
  AppSettings settings;
  RecordingPrompter prompter;
  test::RecordingBrowser browser;
  RecordingMainWindow mainWindow;
  RecordingSettingsView view;
  std::function<std::vector<CompilerPrograms>()> findCompilers;
  std::optional<SettingsWindowLogic> logic;
};

TEST(SettingsWindow, CreationFillsTheListAndChoosesTheSavedLanguage) {
  const struct {
    int32_t saved;
    bool withEnglish;
    uint16_t active;
    int chosen;
    bool notice;
  } cases[] = {
      {-1, false, 1055, 0, false},   // nothing stored, no files
      {1033, false, 1055, 0, true},  // the file is gone
      {0, false, 1055, 0, false},
      {1033, true, 1033, 1, false},
  };
  for (const auto& c : cases) {
    SettingsRig rig;
    if (c.withEnglish) rig.WithFile("en.lng", kEnglish);
    SettingsWindowLogic& logic = rig.Create(c.saved);
    std::vector<std::string> items{LanguageName(kBaseLanguage)};
    if (c.withEnglish) items.push_back(LanguageName(1033));
    items.push_back("+");
    EXPECT_EQ(rig.view.items, items) << c.saved;
    EXPECT_EQ(rig.view.chosen, c.chosen) << c.saved;
    EXPECT_EQ(logic.ChosenLanguageItem(), c.chosen);
    EXPECT_EQ(rig.languages.ActiveLanguage(), c.active);
    EXPECT_EQ(rig.settings.Dil, c.active);
    EXPECT_EQ(rig.view.texts[".Caption"], c.active == 1033 ? "Settings" : "Ayarlar");
    ASSERT_EQ(rig.prompter.calls.size(), c.notice ? 1u : 0u) << c.saved;
    if (c.notice) {
      EXPECT_EQ(rig.prompter.calls[0].request.text, kLanguageNotFoundNotice);
    }
  }
}

TEST(SettingsWindow, ShowingAppliesTheTransparencyLevelOnlyWhenTheShownNumberChanges) {
  const struct {
    bool trans;
    int32_t transI;
    std::vector<std::string> events;
    int level;
    int32_t transIAfter;
  } cases[] = {
      // The box already shows 8: the stored 255 stays until the user moves it.
      {false, 255, {}, 8, 255},
      // The check box applies the 8 it sees first, then the box takes 5.
      {true, 5, {"alpha 255", "blend on", "alpha 159"}, 5, 5},
      {true, 0, {"alpha 255", "blend on", "alpha 31"}, 1, 1},
  };
  for (const auto& c : cases) {
    SettingsRig rig;
    rig.settings.Trans = c.trans;
    rig.settings.TransI = c.transI;
    rig.settings.EnUst = false;  // as built: no stay-on-top event in the way
    SettingsWindowLogic& logic = rig.Create();
    logic.OnShow();
    EXPECT_EQ(rig.mainWindow.events, c.events) << c.transI;
    EXPECT_EQ(rig.view.level, c.level);
    EXPECT_EQ(rig.settings.TransI, c.transIAfter);
    EXPECT_EQ(rig.view.levelEnabled, c.trans);
    EXPECT_EQ(logic.LevelEnabled(), c.trans);
  }
}

TEST(SettingsWindow, EachControlSetsItsSettingAndRunsOnlyOnARealChange) {
  SettingsRig rig;
  SettingsWindowLogic& logic = rig.Create();
  AppSettings& s = rig.settings;
  s.Klasor = true;
  logic.OnShow();  // EnUst, Skontrol, EPos and Acilis are on by default
  EXPECT_EQ(rig.mainWindow.events, std::vector<std::string>{"topmost"});
  EXPECT_TRUE(rig.view.checked[SettingsToggle::AcceptFolders]);
  EXPECT_FALSE(rig.view.checked[SettingsToggle::IgnoreFolders]);
  for (SettingsToggle t : {SettingsToggle::VersionNotice, SettingsToggle::RememberPosition, SettingsToggle::StayOnTop,
                           SettingsToggle::StartWithSystem}) {
    EXPECT_TRUE(rig.view.checked[t]) << ComponentName(t);
  }

  // A second showing finds every control as it is: nothing runs.
  rig.mainWindow.events.clear();
  logic.OnShow();
  logic.SetChecked(SettingsToggle::StayOnTop, true);
  EXPECT_TRUE(rig.mainWindow.events.empty());

  struct Binding {
    SettingsToggle toggle;
    bool AppSettings::*field;
  };
  const Binding bindings[] = {
      {SettingsToggle::VersionNotice, &AppSettings::Skontrol},
      {SettingsToggle::RememberPosition, &AppSettings::EPos},
      {SettingsToggle::StayOnTop, &AppSettings::EnUst},
      {SettingsToggle::StartWithSystem, &AppSettings::Acilis},
  };
  for (const Binding& b : bindings) {
    logic.SetChecked(b.toggle, false);
    EXPECT_FALSE(s.*b.field) << ComponentName(b.toggle);
    logic.SetChecked(b.toggle, true);
    EXPECT_TRUE(s.*b.field) << ComponentName(b.toggle);
  }
  // Unticking stay-on-top makes the main window normal at once.
  EXPECT_EQ(rig.mainWindow.events, (std::vector<std::string>{"normal", "topmost"}));

  logic.SetChecked(SettingsToggle::IgnoreFolders, true);
  EXPECT_FALSE(s.Klasor);
  EXPECT_FALSE(logic.Checked(SettingsToggle::AcceptFolders));
  EXPECT_FALSE(rig.view.checked[SettingsToggle::AcceptFolders]);
  logic.SetChecked(SettingsToggle::IgnoreFolders, false);  // clearing a radio button chooses nothing
  EXPECT_FALSE(s.Klasor);
}

TEST(SettingsWindow, TransparencyAndLevelApplyToTheMainWindow) {
  SettingsRig rig;
  rig.settings.EnUst = false;
  SettingsWindowLogic& logic = rig.Create();
  logic.OnShow();
  logic.OnLevelArrow(+1);  // at the limit: nothing
  logic.OnLevelArrow(-1);  // the level applies even while transparency is off
  EXPECT_EQ(rig.settings.TransI, 7);
  logic.SetChecked(SettingsToggle::Transparency, true);
  EXPECT_TRUE(rig.settings.Trans);
  EXPECT_TRUE(rig.view.levelEnabled);
  logic.SetChecked(SettingsToggle::Transparency, false);
  EXPECT_FALSE(rig.settings.Trans);
  EXPECT_FALSE(rig.view.levelEnabled);
  for (int i = 0; i < 10; ++i) logic.OnLevelArrow(-1);
  EXPECT_EQ(rig.view.level, 1);
  EXPECT_EQ(rig.mainWindow.events,
            (std::vector<std::string>{"alpha 223", "alpha 223", "blend on", "blend off", "alpha 191", "alpha 159",
                                      "alpha 127", "alpha 95", "alpha 63", "alpha 31"}));
}

TEST(SettingsWindow, TheCompilerListOffersWhatIsFoundAndKeepsTheStoredChoice) {
  SettingsRig rig;
  std::vector<CompilerPrograms> found(3);
  found[0].id = CompilerId::GoRC;
  found[0].compiler = "Gorc.exe";
  found[1].id = CompilerId::Rc;  // not on this machine
  found[2].id = CompilerId::Llvm;
  found[2].compiler = "llvm-rc";
  found[2].converter = "llvm-cvtres";
  int searches = 0;
  rig.findCompilers = [&] {
    ++searches;
    return found;
  };
  rig.settings.Derleyici = "llvm";
  rig.settings.Makine = "x64";
  SettingsWindowLogic& logic = rig.Create();
  EXPECT_EQ(searches, 0) << "looked for only when the window shows";
  logic.OnShow();
  EXPECT_EQ(rig.view.compilerLabel, Text(msg::derleyicietiket));
  // The choice left to Kovan comes first, then the compilers.
  ASSERT_EQ(rig.view.compilers.size(), 4u);
  EXPECT_EQ(rig.view.compilers[0], Text(msg::derleyiciotomatik));
  EXPECT_EQ(rig.view.compilers[2], CompilerDisplayName(CompilerId::Rc) + std::string(" ") + Text(msg::derleyicibulunamadi));
  EXPECT_EQ(rig.view.chosenCompiler, 3);
  EXPECT_EQ(rig.view.machines, (std::vector<std::string>{"x86", "x64", "arm64"}));
  EXPECT_EQ(rig.view.chosenMachine, 1);

  logic.OnCompilerChosen(2);  // missing: the list goes back to the stored choice
  EXPECT_EQ(rig.settings.Derleyici, "llvm");
  EXPECT_EQ(rig.view.chosenCompiler, 3);
  logic.OnCompilerChosen(1);
  EXPECT_EQ(rig.settings.Derleyici, CompilerName(CompilerId::GoRC));
  logic.OnCompilerChosen(7);  // out of range: nothing
  EXPECT_EQ(rig.settings.Derleyici, CompilerName(CompilerId::GoRC));
  logic.OnCompilerChosen(0);
  EXPECT_EQ(rig.settings.Derleyici, "");
  logic.OnShow();
  EXPECT_EQ(rig.view.chosenCompiler, 0);
}

// The machine list offers what the compiler in effect can make, and what it
// shows is what a compile uses.
TEST(SettingsWindow, TheMachineListFollowsTheCompiler) {
  struct Case {
    bool gorcFound;
    const char* chosen;  // the compiler list's choice; "" leaves it to Kovan
    const char* stored;
    std::vector<std::string> offered;
    const char* shown;
  };
  const Case cases[] = {
      {true, "", "x64", {"x86", "x64"}, "x64"},                // Kovan's choice: GoRC, which makes no arm64
      {false, "", "arm64", {"x86", "x64", "arm64"}, "arm64"},  // ... and Kovan's own when GoRC is missing
      {true, "gorc", "arm64", {"x86", "x64"}, "x86"},          // not offered: the first one takes its place
      {true, "llvm", "arm64", {"x86", "x64", "arm64"}, "arm64"},
      {true, "builtin", "", {"x86", "x64", "arm64"}, "x86"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.chosen) + " " + c.stored);
    SettingsRig rig;
    rig.findCompilers = [&] {
      std::vector<CompilerPrograms> found;
      for (const CompilerId id : kAllCompilers) found.push_back({id, "found", "found"});
      if (!c.gorcFound) found[0].compiler = found[0].converter = "";
      return found;
    };
    rig.settings.Derleyici = c.chosen;
    rig.settings.Makine = c.stored;
    SettingsWindowLogic& logic = rig.Create();
    logic.OnShow();
    EXPECT_EQ(rig.view.machines, c.offered);
    ASSERT_GE(rig.view.chosenMachine, 0);
    EXPECT_EQ(rig.view.machines[static_cast<size_t>(rig.view.chosenMachine)], c.shown);
    EXPECT_EQ(rig.settings.Makine, c.shown);
  }

  // Choosing a compiler refills the list; choosing a machine stores the one listed.
  SettingsRig rig;
  rig.findCompilers = [] {
    std::vector<CompilerPrograms> found;
    for (const CompilerId id : kAllCompilers) found.push_back({id, "found", "found"});
    return found;
  };
  rig.settings.Derleyici = "llvm";
  SettingsWindowLogic& logic = rig.Create();
  logic.OnShow();
  logic.OnMachineChosen(2);
  EXPECT_EQ(rig.settings.Makine, "arm64");
  logic.OnCompilerChosen(1 + static_cast<int>(CompilerId::Windres));
  EXPECT_EQ(rig.view.machines, (std::vector<std::string>{"x86", "x64"}));
  EXPECT_EQ(rig.settings.Makine, "x86");
  logic.OnMachineChosen(1);
  EXPECT_EQ(rig.settings.Makine, "x64");
  logic.OnMachineChosen(2);  // past the list: nothing
  logic.OnMachineChosen(-1);
  EXPECT_EQ(rig.settings.Makine, "x64");
}

TEST(MainWindowAppearance, TheWindowIsOpaqueWhileBlendingIsOffAndTheValueWaits) {
  std::vector<int> opacity;
  std::vector<bool> onTop;
  MainWindowAppearance appearance({[&](bool top) { onTop.push_back(top); }, [&](uint8_t a) { opacity.push_back(a); }},
                                  false, 95);
  appearance.SetAlphaBlendValue(127);  // kept while blending is off
  appearance.SetAlphaBlend(true);
  appearance.SetAlphaBlend(false);
  appearance.SetStayOnTop(false);
  EXPECT_EQ(opacity, (std::vector<int>{255, 127, 255}));
  EXPECT_EQ(onTop, std::vector<bool>{false});
}

TEST(SettingsWindow, PanelsSwapAndEachShowingAddsOneBoldPair) {
  SettingsRig rig;
  SettingsWindowLogic& logic = rig.Create();
  EXPECT_EQ(rig.view.openPanels, std::vector<SettingsPanel>{SettingsPanel::General});
  logic.OnPanelCaptionClick(SettingsPanel::General);
  logic.OnPanelCaptionClick(SettingsPanel::Visual);
  logic.OnPanelCaptionClick(SettingsPanel::Visual);
  logic.OnPanelCaptionClick(SettingsPanel::General);  // closed: it opens
  EXPECT_EQ(rig.view.openPanels,
            (std::vector<SettingsPanel>{SettingsPanel::General, SettingsPanel::Visual, SettingsPanel::General,
                                        SettingsPanel::Visual, SettingsPanel::General}));

  EXPECT_EQ(rig.view.captions[SettingsPanel::General], "Genel Ayarlar");
  logic.OnShow();
  logic.OnShow();
  EXPECT_EQ(rig.view.captions[SettingsPanel::General], "<b><b>Genel Ayarlar</b></b>");
  EXPECT_EQ(rig.view.captions[SettingsPanel::Visual], "<b><b>Görsel Ayarlar</b></b>");

  logic.OnGlassButtonClick();
  EXPECT_EQ(rig.view.hides, 1);
}

TEST(SettingsWindow, ChoosingALanguageSwitchesThroughTheBaseLanguage) {
  SettingsRig rig;
  SettingsWindowLogic& logic = rig.WithFile("en.lng", kEnglish).Create(1033);
  rig.view.windowCaptions.clear();

  logic.OnLanguageChosen(1);  // the language already active
  EXPECT_EQ(rig.view.windowCaptions, (std::vector<std::string>{"Ayarlar", "Settings"}));
  EXPECT_EQ(rig.view.captions[SettingsPanel::General], "<b>General</b>");
  EXPECT_EQ(rig.view.captions[SettingsPanel::Visual], "<b>Görsel Ayarlar</b>");

  logic.OnLanguageChosen(0);
  EXPECT_EQ(rig.languages.ActiveLanguage(), kBaseLanguage);
  EXPECT_EQ(rig.settings.Dil, kBaseLanguage);
  EXPECT_EQ(rig.view.texts[".Caption"], "Ayarlar");
  EXPECT_TRUE(rig.browser.opened.empty());
}

TEST(SettingsWindow, ThePlusItemOpensTheSupportPageAndKeepsTheLanguage) {
  const struct {
    int32_t active;
    bool listOpened;
    const char* page;
    int chosenAfter;
  } cases[] = {
      {1033, false, "http://www.rirudir.com/int/support/index.html#Kovan", 0},  // never opened: item 0
      {1033, true, "http://www.rirudir.com/int/support/index.html#Kovan", 1},
      {1055, true, "http://www.rirudir.com/destek/index.html#Kovan", 0},
  };
  for (const auto& c : cases) {
    SettingsRig rig;
    SettingsWindowLogic& logic = rig.WithFile("en.lng", kEnglish).Create(c.active);
    if (c.listOpened) logic.OnLanguageListOpened();
    rig.view.windowCaptions.clear();
    logic.OnLanguageChosen(2);
    EXPECT_EQ(rig.browser.opened, std::vector<std::string>{c.page});
    EXPECT_EQ(rig.view.chosen, c.chosenAfter) << c.active << c.listOpened;
    EXPECT_EQ(rig.languages.ActiveLanguage(), c.active);
    EXPECT_EQ(rig.settings.Dil, c.active);
    EXPECT_TRUE(rig.view.windowCaptions.empty());
    EXPECT_EQ(logic.PanelCaption(SettingsPanel::Visual), "<b>Görsel Ayarlar</b>");
  }
}

TEST(SettingsWindow, ALanguageFileThatFailsEndsTheChoice) {
  // The file registers by its LANGID; its constants section fails only when read in full.
  SettingsRig rig;
  rig.WithFile("en.lng", kEnglish).WithFile("de.lng", "LANGID=1031\r\n[$CONSTANTS]\r\n2bad=x\r\n");
  SettingsWindowLogic& logic = rig.Create(1033);
  const int german = rig.languages.LanguageIndexOf(1031);
  ASSERT_GT(german, 0);
  EXPECT_THROW(logic.OnLanguageChosen(german), LanguageError);
  // The switch through the base language happened; the broken file changed
  // nothing after it, and the rest of the choice did not run.
  EXPECT_EQ(rig.languages.ActiveLanguage(), kBaseLanguage);
  EXPECT_EQ(rig.settings.Dil, 1033);
  EXPECT_EQ(logic.PanelCaption(SettingsPanel::General), "Genel Ayarlar");
}

}  // namespace
}  // namespace kovan
