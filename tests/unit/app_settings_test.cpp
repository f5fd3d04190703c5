#include "settings/app_settings.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "settings/autostart.hpp"
#include "base/file_system.hpp"
#include "support/memory_registry.hpp"
#include "support/recording_views.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

constexpr RegistryRoot kLM = RegistryRoot::LocalMachine;

using test::FileShortcut;

// Keeps the order in which values are written.
class OrderedRegistry : public MemoryRegistry {
 public:
  RegistryStatus WriteValue(RegistryRoot root, const std::string& path, const std::string& name,
                            const RegistryValue& value) override {
    written.push_back(name);
    return MemoryRegistry::WriteValue(root, path, name, value);
  }
  std::vector<std::string> written;
};

class AppSettingsTest : public ::testing::Test {
 protected:
  RegistryValue Get(const std::string& name) {
    RegistryValue value;
    EXPECT_EQ(registry.ReadValue(kLM, kSettingsKey, name, value), RegistryStatus::Ok) << name;
    return value;
  }

  test::TempDir dir;
  OrderedRegistry registry;
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

TEST(OpacityForLevel, IsLevelTimes32Minus1ModuloAByte) {
  const std::pair<int64_t, int> levels[] = {{1, 31}, {3, 95}, {8, 255}, {255, 223}, {0, 255}, {-1, 223}};
  for (const auto& [level, alpha] : levels) EXPECT_EQ(OpacityForLevel(level), alpha) << level;
}

TEST(CentredPlace, HalvesTruncateTowardZero) {
  const WindowPlace p = CentredPlace(1920, 1080, 130, 123);
  EXPECT_EQ(p.top, 478);
  EXPECT_EQ(p.left, 895);
  const WindowPlace tiny = CentredPlace(100, 100, 130, 123);  // a window larger than the screen
  EXPECT_EQ(tiny.top, -11);
  EXPECT_EQ(tiny.left, -15);
}

TEST_F(AppSettingsTest, TheCloseWritesEverySettingInOrderAndTheStartReadsThemBack) {
  AppSettings changed;
  changed.language = 65535;  // zero-extended, so it does not come back as -1
  changed.acceptFolders = true;
  changed.announceNewVersion = false;
  changed.stayOnTop = false;
  changed.startWithSystem = false;
  changed.semiTransparent = true;
  changed.transparencyLevel = 3;
  changed.compiler = "windres";
  changed.machine = "x64";
  const WindowPlace changedPlace{-1200, -40};

  const RegistryValue yes = RegistryValue::Text("TRUE"), no = RegistryValue::Text("FALSE");
  const struct {
    std::string name;
    RegistryValue firstRun;  // the first close: defaults, window centred at {478, 895}
    RegistryValue changed;   // a close with `changed` at `changedPlace`
  } values[] = {
      {"Klasor", no, yes},
      {"Skontrol", yes, no},
      {"EPos", yes, yes},
      {"EnUst", yes, no},
      {"Acilis", yes, no},
      {"Trans", no, yes},
      {"Dil", RegistryValue::Dword(1055), RegistryValue::Dword(65535)},
      {"TransI", RegistryValue::Dword(255), RegistryValue::Dword(3)},
      {"Ust", RegistryValue::Dword(478), RegistryValue::Dword(static_cast<uint32_t>(-1200))},
      {"Sol", RegistryValue::Dword(895), RegistryValue::Dword(static_cast<uint32_t>(-40))},
      {"Derleyici", RegistryValue::Text(""), RegistryValue::Text("windres")},  // no compiler chosen at first
      {"Makine", RegistryValue::Text("x86"), RegistryValue::Text("x64")},
  };

  const StartSettings first = ReadStartSettings(store, {478, 895});
  EXPECT_EQ(first.settings, AppSettings{});
  EXPECT_EQ(first.storedLanguage, 1055);
  EXPECT_EQ(first.place.top, 478);
  EXPECT_EQ(first.place.left, 895);
  WriteCloseSettings(store, first.settings, first.place, shortcut);
  ASSERT_EQ(registry.written.size(), std::size(values));
  for (size_t i = 0; i < std::size(values); ++i) {
    EXPECT_EQ(registry.written[i], values[i].name) << "write " << i;
    EXPECT_EQ(Get(values[i].name).type, values[i].firstRun.type) << values[i].name;
    EXPECT_EQ(Get(values[i].name).data, values[i].firstRun.data) << values[i].name;
  }
  EXPECT_EQ(shortcut.creations, 1);
  EXPECT_TRUE(FileExists(shortcut.Path()));

  WriteCloseSettings(store, changed, changedPlace, shortcut);
  for (const auto& v : values) EXPECT_EQ(Get(v.name).data, v.changed.data) << v.name;
  EXPECT_FALSE(FileExists(shortcut.Path()));
  const StartSettings back = ReadStartSettings(store, {1, 2});
  EXPECT_EQ(back.storedLanguage, 65535);
  AppSettings expected = changed;
  expected.language = AppSettings{}.language;  // the settings window's creation fills it
  EXPECT_EQ(back.settings, expected);
  EXPECT_EQ(back.place.top, changedPlace.top);
  EXPECT_EQ(back.place.left, changedPlace.left);
}

TEST_F(AppSettingsTest, UnknownCompilerAndMachineNamesReadAsTheDefaults) {
  store.WriteString("Derleyici", "tasm");
  store.WriteString("Makine", "mips");
  const StartSettings start = ReadStartSettings(store, {0, 0});
  EXPECT_EQ(start.settings.compiler, "");
  EXPECT_EQ(start.settings.machine, "x86");
}

TEST_F(AppSettingsTest, StoredPlaceIsIgnoredWithoutEPosButStillWritten) {
  AppSettings s;
  s.rememberPlace = false;
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
