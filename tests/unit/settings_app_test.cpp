#include "settings/app_settings.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "settings/autostart.hpp"
#include "base/file_system.hpp"
#include "support/memory_registry.hpp"
#include "support/recording_views.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

constexpr RegistryRoot kLM = RegistryRoot::LocalMachine;

using test::FileShortcut;

class AppSettingsTest : public ::testing::Test {
 protected:
  RegistryValue Get(const std::string& name) {
    RegistryValue value;
    EXPECT_EQ(registry.ReadValue(kLM, kSettingsKey, name, value), RegistryStatus::Ok) << name;
    return value;
  }

  test::TempDir dir;
  MemoryRegistry registry;
  SettingsStore store{registry};
  FileShortcut shortcut{dir / "Kovan.lnk"};
};

TEST(PlaceOnScreen, APlaceOffEveryScreenMovesIntoTheNearestWorkArea) {
  const ScreenArea areas[] = {{0, 0, 1920, 1040}, {1920, 0, 3200, 984}};
  const struct {
    WindowPlace place;
    WindowPlace expected;
  } cases[] = {
      {{100, 200}, {100, 200}},           // on the first screen
      {{-100, 1900}, {-100, 1900}},       // partly off, still touching: left alone
      {{-30000, -30000}, {0, 0}},         // far up and to the left
      {{500, 9000}, {500, 3200 - 130}},   // on a monitor since removed, to the right
      {{1100, 2500}, {984 - 123, 2500}},  // below the smaller second screen
  };
  for (const auto& c : cases) {
    const WindowPlace p = PlaceOnScreen(c.place, 130, 123, areas);
    EXPECT_EQ(p.top, c.expected.top) << c.place.top << "," << c.place.left;
    EXPECT_EQ(p.left, c.expected.left) << c.place.top << "," << c.place.left;
  }
  EXPECT_EQ(PlaceOnScreen({-30000, -30000}, 130, 123, {}).top, -30000);
}

TEST(CentredPlace, HalvesTruncateTowardZero) {
  const WindowPlace p = CentredPlace(1920, 1080, 130, 123);
  EXPECT_EQ(p.top, 478);
  EXPECT_EQ(p.left, 895);
  const WindowPlace tiny = CentredPlace(100, 100, 130, 123);  // a window larger than the screen
  EXPECT_EQ(tiny.top, -11);
  EXPECT_EQ(tiny.left, -15);
}

TEST_F(AppSettingsTest, FirstRunReadsDefaultsAndTheFirstCloseWritesAllTwelveAndTheShortcut) {
  const StartSettings start = ReadStartSettings(store, {478, 895});
  EXPECT_EQ(start.dil, 1055);
  EXPECT_FALSE(start.settings.Klasor);
  EXPECT_TRUE(start.settings.Skontrol);
  EXPECT_TRUE(start.settings.EPos);
  EXPECT_TRUE(start.settings.EnUst);
  EXPECT_TRUE(start.settings.Acilis);
  EXPECT_FALSE(start.settings.Trans);
  EXPECT_EQ(start.settings.TransI, 255);
  EXPECT_EQ(start.place.top, 478);
  EXPECT_EQ(start.place.left, 895);

  WriteCloseSettings(store, start.settings, start.place, shortcut);
  EXPECT_EQ(registry.ValueCount(kLM, kSettingsKey), 12u);
  EXPECT_EQ(Get("Derleyici").data, RegistryValue::Text("").data);  // no compiler chosen
  EXPECT_EQ(Get("Makine").data, RegistryValue::Text("x86").data);
  for (const char* name : {"Skontrol", "EPos", "EnUst", "Acilis"})
    EXPECT_EQ(Get(name).data, RegistryValue::Text("TRUE").data) << name;
  for (const char* name : {"Klasor", "Trans"}) EXPECT_EQ(Get(name).data, RegistryValue::Text("FALSE").data) << name;
  EXPECT_EQ(Get("Dil").data, RegistryValue::Dword(1055).data);
  EXPECT_EQ(Get("TransI").data, RegistryValue::Dword(255).data);
  EXPECT_EQ(Get("Ust").data, RegistryValue::Dword(478).data);
  EXPECT_EQ(Get("Sol").data, RegistryValue::Dword(895).data);
  EXPECT_EQ(shortcut.creations, 1);
  EXPECT_TRUE(FileExists(shortcut.Path()));
}

TEST_F(AppSettingsTest, ChangedSettingsComeBackAfterAClose) {
  AppSettings s;
  s.Dil = 65535;  // zero-extended, so it does not come back as -1
  s.Klasor = true;
  s.Skontrol = false;
  s.EnUst = false;
  s.Acilis = false;
  s.Trans = true;
  s.TransI = 3;
  s.Derleyici = "windres";
  s.Makine = "x64";
  WriteCloseSettings(store, s, {-1200, -40}, shortcut);

  const StartSettings start = ReadStartSettings(store, {1, 2});
  EXPECT_EQ(start.dil, 65535);
  EXPECT_TRUE(start.settings.Klasor);
  EXPECT_FALSE(start.settings.Skontrol);
  EXPECT_TRUE(start.settings.EPos);
  EXPECT_FALSE(start.settings.EnUst);
  EXPECT_FALSE(start.settings.Acilis);
  EXPECT_TRUE(start.settings.Trans);
  EXPECT_EQ(start.settings.TransI, 3);
  EXPECT_EQ(start.settings.Derleyici, "windres");
  EXPECT_EQ(start.settings.Makine, "x64");
  EXPECT_EQ(start.place.top, -1200);
  EXPECT_EQ(start.place.left, -40);
  EXPECT_EQ(shortcut.creations, 0);
}

TEST_F(AppSettingsTest, StoredPlaceIsIgnoredWithoutEPosButStillWritten) {
  AppSettings s;
  s.EPos = false;
  WriteCloseSettings(store, s, {300, 400}, shortcut);
  const StartSettings start = ReadStartSettings(store, {10, 20});
  EXPECT_EQ(start.place.top, 10);
  EXPECT_EQ(start.place.left, 20);
  EXPECT_EQ(store.ReadInteger("Ust", 0), 300);
}

TEST_F(AppSettingsTest, AShortcutFailureStopsTheCloseAfterAcilis) {
  shortcut.failure = "no shell link";
  EXPECT_THROW(WriteCloseSettings(store, AppSettings{}, {0, 0}, shortcut), std::runtime_error);
  RegistryValue value;
  for (const char* name : {"Klasor", "Skontrol", "EPos", "EnUst", "Acilis"})
    EXPECT_EQ(registry.ReadValue(kLM, kSettingsKey, name, value), RegistryStatus::Ok) << name;
  for (const char* name : {"Trans", "Dil", "TransI", "Ust", "Sol"})
    EXPECT_EQ(registry.ReadValue(kLM, kSettingsKey, name, value), RegistryStatus::NotFound) << name;
}

TEST_F(AppSettingsTest, ShortcutIsBroughtInLineWithTheSetting) {
  struct Case {
    bool wanted;
    const char* before;  // file content before, or nullptr for none
    const char* after;   // file content after, or nullptr for none
    int creations;
  };
  const Case cases[] = {
      {true, nullptr, "link", 1},
      {true, "points elsewhere", "points elsewhere", 0},
      {false, "link", nullptr, 0},
      {false, nullptr, nullptr, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.wanted ? "wanted, " : "not wanted, ") + (c.before ? c.before : "none"));
    FileShortcut link(dir / "Kovan.lnk");
    std::filesystem::remove(test::FsPath(link.Path()));
    if (c.before) test::WriteBytes(link.Path(), c.before);
    BringStartupShortcutInLine(link, c.wanted);
    EXPECT_EQ(link.creations, c.creations);
    EXPECT_EQ(FileExists(link.Path()), c.after != nullptr);
    if (c.after) {
      EXPECT_EQ(test::ReadBytes(link.Path()), c.after);
    }
  }
  FileShortcut nowhere("");
  BringStartupShortcutInLine(nowhere, true);
  EXPECT_EQ(nowhere.creations, 0);
}

TEST(StartupFolder, ComesFromTheUsersShellFoldersAsPlainText) {
  constexpr char kExplorer[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
  const std::string shellFolders = std::string(kExplorer) + "\\Shell Folders";
  MemoryRegistry registry;
  EXPECT_EQ(StartupFolderFromRegistry(registry), "");
  EXPECT_TRUE(registry.KeyExists(RegistryRoot::CurrentUser, kExplorer));

  ASSERT_EQ(registry.CreateKey(RegistryRoot::CurrentUser, shellFolders), RegistryStatus::Ok);
  ASSERT_EQ(registry.WriteValue(RegistryRoot::CurrentUser, shellFolders, "Startup",
                                RegistryValue::Text("%APPDATA%\\Startup", kRegExpandSz)),
            RegistryStatus::Ok);
  EXPECT_EQ(StartupFolderFromRegistry(registry), "");
  ASSERT_EQ(registry.WriteValue(RegistryRoot::CurrentUser, shellFolders, "startup",
                                RegistryValue::Text("C:\\Users\\Ayşe\\Başlangıç")),
            RegistryStatus::Ok);
  EXPECT_EQ(StartupFolderFromRegistry(registry), "C:\\Users\\Ayşe\\Başlangıç");
}

}  // namespace
}  // namespace kovan
