#include "windows/main/main_window_logic.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/file_system.hpp"
#include "lang/lang_manager.hpp"
#include "lang/lang_error.hpp"
#include "lang/start_language.hpp"
#include "support/memory_registry.hpp"
#include "support/recording_prompter.hpp"
#include "pool/pool_file.hpp"
#include "support/recording_views.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() : rig(dir.str()), window(view, rig.Services()) {}
  // `relative` uses '/' between folders on every system.
  std::string Make(std::string relative, size_t bytes = 1) {
    std::replace(relative.begin(), relative.end(), '/', kPathSeparator);
    std::filesystem::create_directories(test::FsPath(FolderOf(dir / relative)));
    test::WriteBytes(dir / relative, std::string(bytes, 'x'));
    return dir / relative;
  }

  test::TempDir dir;
  test::RecordingMainWindowView view;
  test::MainWindowRig rig;
  RecordingPrompter& prompter = rig.prompter;
  MemoryRegistry& registry = rig.registry;
  test::RecordingBrowser& browser = rig.browser;
  MainWindowLogic window;
};

TEST_F(MainWindowTest, ClearingAsksFirstAndSaysWhenThereIsNothing) {
  window.ClearPool();
  ASSERT_EQ(prompter.calls.size(), 1u);
  EXPECT_EQ(prompter.calls[0].request.caption, Text(msg::tmz2));
  EXPECT_EQ(prompter.calls[0].request.text, Text(msg::tmz1));
  EXPECT_EQ(prompter.calls[0].request.buttons, MessageButtons::Ok);

  window.Pool().Append("?", "ico", "a.ico");
  prompter.answers = {MessageAnswer::No};
  window.ClearPool();
  EXPECT_EQ(prompter.calls[1].request.caption, Text(msg::sil2));
  EXPECT_EQ(prompter.calls[1].request.text, Text(msg::sil1));
  EXPECT_TRUE(prompter.calls[1].request.defaultNo);
  EXPECT_EQ(window.Pool().Count(), 1u);
  EXPECT_TRUE(view.captions.empty());

  prompter.answers = {MessageAnswer::Yes};
  window.ClearPool();
  EXPECT_EQ(window.Pool().Count(), 0u);
  EXPECT_EQ(view.captions, std::vector<std::string>{"0"});
}

TEST_F(MainWindowTest, DropsAskAboutSubfoldersAndUpdateTheCountOnce) {
  const std::string a = Make("a.ico");
  Make("folder/b.png");
  Make("folder/sub/c.bmp");
  window.Settings().acceptFolders = true;
  prompter.answers = {MessageAnswer::Yes};
  window.ImportDrop({a, dir / "folder", a});
  ASSERT_EQ(prompter.calls.size(), 1u);
  const std::string folder = dir / "folder" + std::string(1, kPathSeparator);
  EXPECT_EQ(prompter.calls[0].request.caption, Text(msg::altonay1));
  EXPECT_EQ(prompter.calls[0].request.text, Text(msg::altonay) + "\r(" + folder + ")");
  EXPECT_TRUE(prompter.calls[0].request.defaultNo);
  EXPECT_EQ(window.Pool().Count(), 3u);
  EXPECT_EQ(view.captions, std::vector<std::string>{"3"});
  EXPECT_EQ(view.busyChanges.front(), true);
  EXPECT_EQ(view.busyChanges.back(), false);
}

TEST_F(MainWindowTest, EscapeStopsTheImportAndASecondDropWaitsItsTurn) {
  for (int i = 0; i < 6; ++i) Make("many/f" + std::to_string(i) + ".txt");
  const std::string late = Make("late.txt");
  const std::string queued = Make("queued.txt");
  window.Settings().acceptFolders = true;
  prompter.answers = {MessageAnswer::No};
  int dispatches = 0;
  view.onDispatch = [&] {
    if (++dispatches == 1) window.ImportDrop({queued});  // arrives mid-import
    if (dispatches == 2) window.OnKeyDown(MainWindowLogic::Key::Escape);
  };
  window.ImportDrop({dir / "many", late});
  // Two files of the folder, then the stop; "late" is skipped; the queued drop
  // is imported afterwards with a fresh abort request.
  ASSERT_EQ(window.Pool().Count(), 3u);
  EXPECT_EQ(window.Pool().Field(2, kFilePath), queued);
  EXPECT_FALSE(window.Importing());
  EXPECT_EQ(view.captions, (std::vector<std::string>{"2", "3"}));
}

TEST_F(MainWindowTest, HoverSummaryTitlesAndNotes) {
  struct Case {
    size_t entries;
    size_t notes;
    std::string titleStart;
  };
  for (const Case& c : {Case{0, 0, " - 0 "}, Case{20, 20, " - 20 "}, Case{21, 21, " - 20/21 "}}) {
    window.Pool().Clear();
    for (size_t i = 0; i < c.entries; ++i) window.Pool().Append("?", "bin", Make("h/" + std::to_string(i), 1000));
    window.OnPointerEnter();
    const HoverSummary& s = view.hovers.back();
    EXPECT_EQ(s.notes.size(), c.notes);
    EXPECT_TRUE(s.showHelp);
    const std::string total = c.entries == 0 ? "0" : (c.entries == 20 ? "20.000" : "21.000");
    EXPECT_EQ(s.title, Text(msg::dos1) + c.titleStart + Text(msg::dos2) + " - " + total + " Byte");
    if (c.entries > 20) {
      EXPECT_EQ(s.notes.back(), "\xE2\x80\xA2 ............");
    }
    if (c.entries > 0) {
      EXPECT_EQ(s.notes.front(), "\xE2\x80\xA2 " + window.Pool().Field(0, kFilePath));
    }
  }
  EXPECT_TRUE(view.opacities.empty()) << "without transparency the opacity never changes";
}

TEST_F(MainWindowTest, HoverMakesTheWindowOpaqueAndLeavingRestoresTheLevel) {
  window.Settings().semiTransparent = true;
  window.Settings().transparencyLevel = 3;
  window.OnPointerEnter();
  window.OnPointerLeave();
  window.Settings().transparencyLevel = 8;
  window.OnPointerLeave();
  EXPECT_EQ(view.opacities, (std::vector<int>{255, 95, 255}));
}

TEST(HoverSummaryText, TotalsAreSixtyFourBitAndGrouped) {
  EXPECT_EQ(GroupThousands(0, "."), "0");
  EXPECT_EQ(GroupThousands(999, "."), "999");
  EXPECT_EQ(GroupThousands(1234567, "."), "1.234.567");
  EXPECT_EQ(GroupThousands(5000000000ULL, ","), "5,000,000,000");
  ResourcePool pool;
  pool.Append("a", "b", "x");
  pool.Append("a", "b", "y");
  pool.Append("a", "b", "gone");
  const HoverSummary s = BuildHoverSummary(
      pool,
      [](const std::string& p) -> std::optional<uint64_t> {
        if (p == "gone") return std::nullopt;
        return 3ULL << 30;
      },
      ".");
  EXPECT_EQ(s.title, Text(msg::dos1) + " - 3 " + Text(msg::dos2) + " - 6.442.450.944 Byte");
  // A large pool is summed in parallel; every entry still counts once.
  ResourcePool large;
  for (int i = 0; i < 10001; ++i) large.Append("k", "t", "p" + std::to_string(i));
  const HoverSummary big = BuildHoverSummary(
      large, [](const std::string& p) -> std::optional<uint64_t> { return p.size(); }, ",");
  uint64_t expected = 0;
  for (int i = 0; i < 10001; ++i) expected += ("p" + std::to_string(i)).size();
  EXPECT_NE(big.title.find(" - " + GroupThousands(expected, ",") + " Byte"), std::string::npos);
}

}  // namespace
}  // namespace kovan

namespace kovan {
namespace {

class MainWindowLifecycle : public MainWindowTest {
 protected:
  void Store(const std::string& name, int32_t value) { SettingsStore(registry).WriteInteger(name, value); }
  void Store(const std::string& name, bool value) { SettingsStore(registry).WriteBoolean(name, value); }
};

TEST_F(MainWindowLifecycle, FirstStartIsCentredOnTopAndOpaque) {
  window.OnCreate();
  ASSERT_EQ(view.moves.size(), 1u);
  EXPECT_EQ(view.moves[0].left, (1280 - 130) / 2);
  EXPECT_EQ(view.moves[0].top, (1024 - 123) / 2);
  EXPECT_EQ(view.stayOnTop, std::vector<bool>{true});
  EXPECT_EQ(view.opacities, std::vector<int>{255});
  ASSERT_EQ(prompter.calls.size(), 1u);  // only "kaynakyok"
  EXPECT_EQ(prompter.calls[0].request.text, Text(msg::kaynakyok));
}

TEST_F(MainWindowLifecycle, StoredSettingsShapeTheWindow) {
  Store("Trans", true);
  Store("TransI", int32_t{3});
  Store("EnUst", false);
  Store("EPos", false);
  Store("Ust", int32_t{5});
  Store("Sol", int32_t{7});
  window.OnCreate();
  EXPECT_EQ(view.opacities, std::vector<int>{95});
  EXPECT_EQ(view.stayOnTop, std::vector<bool>{false});
  EXPECT_EQ(view.moves[0].left, (1280 - 130) / 2) << "EPos off centres the window";

  Store("EPos", true);
  test::RecordingMainWindowView second;
  MainWindowLogic again(second, rig.Services());
  again.OnCreate();
  EXPECT_EQ(second.moves[0].left, 7);
  EXPECT_EQ(second.moves[0].top, 5);
}

TEST_F(MainWindowLifecycle, TheVersionCheckRunsAtEveryStartAndAsksOnlyWhenAllowed) {
  Store("Skontrol", false);
  window.OnCreate();
  ASSERT_EQ(view.versionChecks.size(), 1u);
  const size_t before = prompter.calls.size();
  window.VersionCheckDone(std::nullopt);
  window.VersionCheckDone(20);
  const MenuItem& newVersion = *window.Menu().Find(MenuCommand::NewVersion);
  EXPECT_FALSE(newVersion.enabled);
  window.VersionCheckDone(21);
  EXPECT_TRUE(newVersion.enabled);
  EXPECT_EQ(newVersion.picture, "update2");
  EXPECT_EQ(prompter.calls.size(), before) << "Skontrol off: no question";

  window.Settings().announceNewVersion = true;
  prompter.answers = {MessageAnswer::Yes};
  window.VersionCheckDone(21);
  ASSERT_EQ(prompter.calls.size(), before + 1);
  EXPECT_EQ(prompter.calls.back().request.caption, Text(msg::yeni2));
  EXPECT_EQ(prompter.calls.back().request.text, Text(msg::yeni1));
  ASSERT_EQ(browser.opened.size(), 1u);
  window.OpenNewVersionPage();
  EXPECT_EQ(browser.opened.size(), 2u);
  EXPECT_EQ(browser.opened[0], browser.opened[1]);
}

TEST_F(MainWindowLifecycle, AFailingCloseKeepsTheWindowOpenAndALaterCloseStartsAgain) {
  window.OnCreate();
  window.Pool().Append("?", "ico", Make("a.ico"));
  view.place = {40, 30};
  // A registry that fails for another reason than a refusal stops the close at once.
  registry.FailWrites(RegistryRoot::LocalMachine, RegistryStatus::Failed);
  EXPECT_FALSE(window.OnClose());
  ASSERT_EQ(prompter.calls.back().kind, RecordingPrompter::Call::Error);
  EXPECT_EQ(test::ReadBytes(dir / "Liste.kvl"), "") << "the pool is written only after the settings";

  registry.FailWrites(RegistryRoot::LocalMachine, RegistryStatus::Ok);
  ASSERT_TRUE(window.OnClose());
  EXPECT_EQ(test::ReadBytes(dir / "Liste.kvl"), "?,ico," + EncodePoolLine({dir / "a.ico"}) + "\r\n");
  const SettingsStore store(registry);
  EXPECT_EQ(store.ReadInteger("Ust", 0), 40);
  EXPECT_EQ(store.ReadInteger("Sol", 0), 30);
  EXPECT_TRUE(std::filesystem::exists(test::FsPath(dir / "Kovan.lnk"))) << "Acilis defaults to on";
}

}  // namespace
}  // namespace kovan

namespace kovan {
namespace {

class MainWindowLanguage : public MainWindowLifecycle {
 protected:
  ~MainWindowLanguage() override {
    LangManager().SwitchLanguage(kBaseLanguage);  // leave the shared manager as the other tests expect it
  }
  void InstallEnglish() {
    std::filesystem::create_directories(test::FsPath(dir / "dil"));
    std::filesystem::copy_file(std::filesystem::path(KOVAN_SOURCE_DIR) / "res" / "dil" / "English.lng",
                               test::FsPath(dir / "dil") / "English.lng");
  }
  std::string Caption(const char* component) {
    const MenuItem* item = window.Menu().Find(component);
    return item ? item->caption : "?";
  }
};

TEST_F(MainWindowLanguage, TurkishByDefaultWithoutANotice) {
  Store("Dil", int32_t{0});
  window.OnCreate();
  EXPECT_EQ(Caption("k1"), "\xC3\x87\xC4\xB1k\xC4\xB1\xC5\x9f");  // Çıkış
  for (const auto& call : prompter.calls) EXPECT_NE(call.request.text, kLanguageNotFoundNotice);
}

TEST_F(MainWindowLanguage, AMissingLanguageFileFallsBackToTurkishWithTheEnglishNotice) {
  Store("Dil", int32_t{1033});
  window.OnCreate();
  ASSERT_FALSE(prompter.calls.empty());
  EXPECT_EQ(prompter.calls[0].kind, RecordingPrompter::Call::Info);
  EXPECT_EQ(prompter.calls[0].request.text, kLanguageNotFoundNotice);
  EXPECT_EQ(LangManager().ActiveLanguage(), kBaseLanguage);
}

TEST_F(MainWindowLanguage, TheSavedLanguageTranslatesMenuHintAndMessages) {
  InstallEnglish();
  Store("Dil", int32_t{1033});
  window.OnCreate();
  EXPECT_EQ(LangManager().ActiveLanguage(), 1033);
  EXPECT_EQ(Caption("k1"), "Exit");
  EXPECT_EQ(prompter.calls.back().request.text, Text(msg::kaynakyok));
  EXPECT_NE(Text(msg::kaynakyok).find("created"), std::string::npos);
  const std::string englishHelp = window.HintHelpText();
  ASSERT_TRUE(window.OnClose());
  EXPECT_EQ(SettingsStore(registry).ReadInteger("Dil", 0), 1033) << "the close keeps the language";
  LangManager().SwitchLanguage(kBaseLanguage);
  EXPECT_EQ(Caption("k1"), "\xC3\x87\xC4\xB1k\xC4\xB1\xC5\x9f");
  EXPECT_NE(window.HintHelpText(), englishHelp);
}

TEST_F(MainWindowLanguage, ABadLanguageFileIsReportedAndTheListAndSettingsStillLoadAndSurvive) {
  std::filesystem::create_directories(test::FsPath(dir / "dil"));
  test::WriteBytes(dir / "dil" + std::string(1, kPathSeparator) + "Broken.lng",
                   "LANGID=1033\r\n[AnaPencere]\r\n5=A\r\n5=B\r\n");
  const std::string kept = "KEEP,ico," + EncodePoolLine({Make("a.ico")}) + "\r\n";
  test::WriteBytes(dir / "Liste.kvl", kept);
  Store("Dil", int32_t{1033});
  Store("Acilis", false);
  Store("TransI", int32_t{5});
  window.OnCreate();
  ASSERT_FALSE(prompter.calls.empty());
  EXPECT_EQ(prompter.calls[0].kind, RecordingPrompter::Call::Error);
  EXPECT_EQ(LangManager().ActiveLanguage(), kBaseLanguage);
  EXPECT_EQ(window.Pool().Count(), 1u);
  EXPECT_FALSE(window.Settings().startWithSystem);

  window.ImportDrop({Make("b.ico")});
  ASSERT_TRUE(window.OnClose());
  EXPECT_EQ(test::ReadBytes(dir / "Liste.kvl"), kept + "?,ico," + EncodePoolLine({dir / "b.ico"}) + "\r\n");
  const SettingsStore saved(registry);
  EXPECT_EQ(saved.ReadInteger("Dil", 0), 1033);
  EXPECT_EQ(saved.ReadInteger("TransI", 0), 5);
  EXPECT_FALSE(saved.ReadBoolean("Acilis", true));
  EXPECT_FALSE(FileExists(dir / "Kovan.lnk"));
}

TEST_F(MainWindowLanguage, HelpOpensTheFileBesideTheExecutableOrSaysItIsMissing) {
  window.RunCommand(MenuCommand::Help);
  ASSERT_EQ(prompter.calls.size(), 1u);
  EXPECT_EQ(prompter.calls[0].request.text, Text(msg::yardimyok));
  EXPECT_TRUE(rig.shell.executions.empty());
  test::WriteBytes(dir / "yardim.chm", "ITSF");
  window.RunCommand(MenuCommand::Help);
  ASSERT_EQ(rig.shell.executions.size(), 1u);
  EXPECT_EQ(rig.shell.executions[0].verb, ShellVerb::Open);
  EXPECT_EQ(rig.shell.executions[0].target, dir / "yardim.chm");
  EXPECT_EQ(rig.shell.executions[0].show, ShowState::Show);
}

TEST_F(MainWindowLanguage, CompileCommandsAreReachedFromTheMenu) {
  prompter.answers = {MessageAnswer::No};
  window.RunCommand(MenuCommand::CreateRes);
  ASSERT_EQ(prompter.calls.size(), 1u);
  EXPECT_EQ(prompter.calls[0].request.caption, Text(msg::havuzbos1));
}

TEST_F(MainWindowLanguage, TheStopItemIsLiveOnlyWhileTheCompilerRunsAndEndsIt) {
  rig.shell.systemDirectory = dir.str().substr(0, dir.str().size() - 1);
  std::filesystem::permissions(test::FsPath(Make("Gorc.exe")), std::filesystem::perms::owner_exec,
                               std::filesystem::perm_options::add);
  window.Pool().Append("ICON1", "ico", Make("a.ico"));
  const MenuItem& stop = *window.Menu().Find(MenuCommand::StopCompile);
  EXPECT_FALSE(stop.enabled);
  bool enabledDuringWait = false;
  rig.shell.duringWait = [&] {
    enabledDuringWait = stop.enabled;
    window.RunCommand(MenuCommand::StopCompile);
  };
  prompter.dialogAnswers = {dir / "app"};
  window.RunCommand(MenuCommand::CreateRes);
  EXPECT_TRUE(enabledDuringWait);
  EXPECT_FALSE(stop.enabled);
  ASSERT_EQ(rig.shell.runs.size(), 1u);
  EXPECT_EQ(rig.shell.runs[0].file, dir / "Gorc.exe");
  EXPECT_EQ(prompter.calls.back().request.text, Text(msg::derlemedurdu));
}

TEST_F(MainWindowTest, MenuF5AndTheEmptyPoolQuestionOpenTheOtherWindows) {
  window.RunCommand(MenuCommand::Pool);
  window.OnKeyDown(MainWindowLogic::Key::F5);
  window.RunCommand(MenuCommand::Settings);
  window.RunCommand(MenuCommand::About);
  window.RunCommand(MenuCommand::About);
  prompter.answers = {MessageAnswer::Yes};
  window.RunCommand(MenuCommand::CreateObj);  // the pool is empty: Yes opens the pool window
  using enum ProgramWindow;
  EXPECT_EQ(rig.windows.opened, (std::vector<ProgramWindow>{Pool, Pool, Settings, About, About, Pool}));
}

}  // namespace
}  // namespace kovan
