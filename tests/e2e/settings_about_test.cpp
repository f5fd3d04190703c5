// The settings and about windows of the real Kovan.exe, reached through its
// menu and worked with the mouse and the keyboard.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <set>
#include <sstream>

#include "driver.hpp"
#include "menu_captions.hpp"

namespace kovan::e2e {
namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\ORSEL RIRUDIR\\Kovan\\s2.0";

// The settings window's controls that have no text to find them by.
constexpr int kGlassButtonId = 200;
constexpr int kLanguageListId = 205;
constexpr int kLevelBoxId = 207;
constexpr int kLevelArrowsId = 208;
constexpr int kMachineListId = 212;

std::wstring SettingText(const wchar_t* name) {
  wchar_t buffer[64] = {};
  DWORD size = sizeof buffer;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) {
    return L"(missing)";
  }
  return buffer;
}

DWORD SettingNumber(const wchar_t* name) {
  DWORD value = 0;
  DWORD size = sizeof value;
  RegGetValueW(HKEY_LOCAL_MACHINE, kSettingsKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
  return value;
}

bool Topmost(HWND window) { return (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
bool Checked(HWND control) { return SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED; }
const wchar_t* Flag(bool on) { return on ? L"TRUE" : L"FALSE"; }

std::vector<HWND> WaitForWindows(DWORD pid, const wchar_t* className, size_t count) {
  std::vector<HWND> windows;
  WaitUntil([&] { return (windows = VisibleWindows(pid, className)).size() == count; });
  return windows;
}

// Picks item `index` of a closed drop-down list as a user does: a click
// opens it, the arrow keys move to the item and Enter takes it.
void ChooseListItem(HWND list, LRESULT index) {
  input::Click(list);
  WaitUntil([&] { return SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0) != 0; }, 3s);
  const LRESULT current = SendMessageW(list, CB_GETCURSEL, 0, 0);
  for (LRESULT i = current; i < index; ++i) input::Key(VK_DOWN);
  for (LRESULT i = current; i > index; --i) input::Key(VK_UP);
  input::Key(VK_RETURN);
  WaitUntil([&] { return SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0) == 0; }, 3s);
}

// Web pages open in a stand-in browser for one test: the stand-in compiler,
// which writes each address it is given into a log.
class StandInBrowser {
 public:
  explicit StandInBrowser(const std::filesystem::path& log) {
    SetEnvironmentVariableW(L"FAKE_GORC_LOG", log.c_str());
    const std::wstring command = L"\"" + (BinFolder() / L"fake_gorc.exe").wstring() + L"\" \"%1\"";
    for (const wchar_t* key : {L"http\\shell\\open\\command", L"https\\shell\\open\\command"}) {
      wchar_t old[1024] = {};
      DWORD size = sizeof old;
      const bool had =
          RegGetValueW(HKEY_CLASSES_ROOT, key, nullptr, RRF_RT_REG_SZ, nullptr, old, &size) == ERROR_SUCCESS;
      saved_.push_back({key, had ? std::optional<std::wstring>(old) : std::nullopt});
      RegSetKeyValueW(HKEY_CLASSES_ROOT, key, nullptr, REG_SZ, command.c_str(),
                      static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    }
  }
  ~StandInBrowser() {
    for (const auto& [key, old] : saved_) {
      if (old) {
        RegSetKeyValueW(HKEY_CLASSES_ROOT, key, nullptr, REG_SZ, old->c_str(),
                        static_cast<DWORD>((old->size() + 1) * sizeof(wchar_t)));
      } else {
        RegDeleteKeyValueW(HKEY_CLASSES_ROOT, key, nullptr);
      }
    }
    SetEnvironmentVariableW(L"FAKE_GORC_LOG", nullptr);
  }
  StandInBrowser(const StandInBrowser&) = delete;
  StandInBrowser& operator=(const StandInBrowser&) = delete;

 private:
  std::vector<std::pair<const wchar_t*, std::optional<std::wstring>>> saved_;
};

// The addresses the stand-in browser was given.
std::set<std::string> OpenedPages(const std::filesystem::path& log) {
  std::set<std::string> pages;
  std::istringstream lines(ReadAll(log));
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("arg: ", 0) == 0) pages.insert(line.substr(5));
  }
  return pages;
}

class SettingsAndAbout : public ::testing::Test {
 protected:
  void SetUp() override {
    ForgetSettings();
    WriteFile(folder.path() / "Liste.kvl", "");
    kovan = std::make_unique<KovanProcess>(folder.path());
    main = kovan->WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    // The panel starts in the middle of the screen, where the settings and
    // about windows show; the user drags it aside by its face first.
    ASSERT_TRUE(DragPanelTo(main, POINT{40, 40})) << "the panel did not follow the mouse";
  }
  void TearDown() override {
    if (kovan->Running()) DismissMenus(kovan->pid());
    kovan.reset();
    ForgetSettings();
  }

  HWND OpenSettings() {
    if (!ChooseMenuItem(kovan->pid(), main, {kSettings})) return nullptr;
    return WaitForWindow(kovan->pid(), L"TAyarPencere");
  }

  void CloseMain(const std::wstring& exitCaption = kExit) {
    ASSERT_TRUE(ChooseMenuItem(kovan->pid(), main, {exitCaption}));
    ASSERT_TRUE(kovan->WaitForExit().has_value()) << "Kovan did not close";
  }

  ScratchFolder folder;
  std::unique_ptr<KovanProcess> kovan;
  HWND main = nullptr;
};

TEST_F(SettingsAndAbout, EverySettingsControlActsAtOnceAndTheCloseStoresIt) {
  HWND settings = OpenSettings();
  ASSERT_NE(settings, nullptr) << "no settings window";
  EXPECT_EQ(TextOf(settings), L"Ayarlar");
  auto control = [&](const wchar_t* caption) {
    HWND found = FindChildByText(settings, caption);
    EXPECT_NE(found, nullptr) << "no control captioned " << testing::PrintToString(std::wstring(caption));
    return found;
  };
  HWND accept = control(L"Klasörleri Kabul Et");
  HWND ignore = control(L"Klasörleri Yoksay");
  HWND startWithSystem = control(L"Sistem Açılışında Çalıştır");
  HWND versionNotice = control(L"Otomatik Sürüm Kontrol Bildirimi");
  HWND rememberPosition = control(L"Ekran Pozisyonunu Hatırla");
  HWND onTop = control(L"Diğer Pencerelerin Üzerinde Tut");
  HWND transparency = control(L"Şeffaflık Aktif");
  HWND general = control(L"Genel Ayarlar");
  HWND visual = control(L"Görsel Ayarlar");
  ASSERT_FALSE(HasFailure());

  // The general panel: the folder choice, two boxes and the machine list.
  EXPECT_TRUE(Checked(ignore)) << "dropped folders are ignored by default";
  input::Click(accept);
  EXPECT_TRUE(WaitUntil([&] { return Checked(accept) && !Checked(ignore); }));
  const bool startWasOn = Checked(startWithSystem);
  const bool noticeWasOn = Checked(versionNotice);
  input::Click(startWithSystem);
  input::Click(versionNotice);
  EXPECT_TRUE(
      WaitUntil([&] { return Checked(startWithSystem) != startWasOn && Checked(versionNotice) != noticeWasOn; }));
  HWND machines = GetDlgItem(settings, kMachineListId);
  ASSERT_NE(machines, nullptr);
  const LRESULT machine = SendMessageW(machines, CB_GETCURSEL, 0, 0);
  ChooseListItem(machines, 1 - machine);
  EXPECT_EQ(SendMessageW(machines, CB_GETCURSEL, 0, 0), 1 - machine);

  // The captions switch the panels, one open at a time.
  EXPECT_FALSE(IsWindowVisible(onTop));
  input::Click(visual);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(onTop) && !IsWindowVisible(accept); }));
  input::Click(general);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(onTop) && IsWindowVisible(accept); }));
  input::Click(visual);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(onTop); }));

  // The visual panel: the main window follows at once.
  const bool positionWasOn = Checked(rememberPosition);
  input::Click(rememberPosition);
  EXPECT_TRUE(WaitUntil([&] { return Checked(rememberPosition) != positionWasOn; }));
  ASSERT_TRUE(Topmost(main));
  input::Click(onTop);
  EXPECT_TRUE(WaitUntil([&] { return !Topmost(main); })) << "the main window must leave the top at once";
  HWND level = GetDlgItem(settings, kLevelBoxId);
  EXPECT_FALSE(IsWindowEnabled(level));
  input::Click(transparency);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(level) != FALSE; }));
  EXPECT_TRUE(WaitUntil([&] { return (GetWindowLongPtrW(main, GWL_EXSTYLE) & WS_EX_LAYERED) != 0; }));
  EXPECT_EQ(TextOf(level), L"8");
  const RECT arrows = ScreenRect(GetDlgItem(settings, kLevelArrowsId));
  input::Click(POINT{(arrows.left + arrows.right) / 2, arrows.bottom - (arrows.bottom - arrows.top) / 4});
  EXPECT_TRUE(WaitUntil([&] { return TextOf(level) == L"7"; })) << "the down arrow did not lower the level";

  // The glass button hides the window; the program goes on.
  input::Click(GetDlgItem(settings, kGlassButtonId));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(settings); }));
  EXPECT_TRUE(IsWindow(settings));
  CloseMain();
  EXPECT_EQ(SettingText(L"Klasor"), L"TRUE");
  EXPECT_EQ(SettingText(L"Acilis"), Flag(!startWasOn));
  EXPECT_EQ(SettingText(L"Skontrol"), Flag(!noticeWasOn));
  EXPECT_EQ(SettingText(L"EPos"), Flag(!positionWasOn));
  EXPECT_EQ(SettingText(L"EnUst"), L"FALSE");
  EXPECT_EQ(SettingText(L"Trans"), L"TRUE");
  EXPECT_EQ(SettingNumber(L"TransI"), 7u);
  EXPECT_EQ(SettingText(L"Makine"), machine == 1 ? L"x86" : L"x64");
}

TEST_F(SettingsAndAbout, ChoosingEnglishTranslatesTheWindowsTheMenuAndTheMessages) {
  HWND settings = OpenSettings();
  ASSERT_NE(settings, nullptr) << "no settings window";
  HWND list = GetDlgItem(settings, kLanguageListId);
  ASSERT_NE(list, nullptr);
  // Languages go by the system's names for them, such as "English (United States)".
  const LRESULT english =
      SendMessageW(list, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"English"));
  ASSERT_NE(english, CB_ERR) << "no English item";
  EXPECT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), english + 2) << "the list ends with '+'";

  ChooseListItem(list, english);
  EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), english);
  EXPECT_TRUE(WaitUntil([&] { return TextOf(settings) == L"Settings"; }));
  EXPECT_NE(FindChildByText(settings, L"Keep on top of other windows"), nullptr);

  input::Click(GetDlgItem(settings, kGlassButtonId));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(settings); }));
  ASSERT_TRUE(ChooseMenuItem(kovan->pid(), main, {L"Clear resource pool"}));
  const auto box = kovan->WaitForMessageBox();
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, L"There are no files in the pool to clear");
  EXPECT_TRUE(KovanProcess::PressToClose(box->hwnd, IDOK)) << "the box stayed open";

  CloseMain(L"Exit");
  EXPECT_EQ(SettingNumber(L"Dil"), 1033u);
}

TEST_F(SettingsAndAbout, EachAboutChoiceOpensAWindowThatClosesAlone) {
  ASSERT_TRUE(ChooseMenuItem(kovan->pid(), main, {kAbout}));
  ASSERT_EQ(WaitForWindows(kovan->pid(), L"THakkindaPencere", 1).size(), 1u);
  ASSERT_TRUE(ChooseMenuItem(kovan->pid(), main, {kAbout}));
  const auto both = WaitForWindows(kovan->pid(), L"THakkindaPencere", 2);
  ASSERT_EQ(both.size(), 2u);

  input::Click(GetDlgItem(both[0], 1));
  const auto left = WaitForWindows(kovan->pid(), L"THakkindaPencere", 1);
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0], both[1]);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(both[0]); })) << "the closed about window was not released";

  input::Click(GetDlgItem(both[1], 1));
  EXPECT_TRUE(WaitForWindows(kovan->pid(), L"THakkindaPencere", 0).empty());
  EXPECT_TRUE(kovan->Running());
  CloseMain();
}

TEST_F(SettingsAndAbout, EachLinkOfTheAboutWindowOpensItsPage) {
  const auto log = folder.path() / "browser.log";
  // The browser is set before Kovan starts, so Kovan inherits its log.
  kovan.reset();
  StandInBrowser browser(log);
  kovan = std::make_unique<KovanProcess>(folder.path());
  main = kovan->WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(DragPanelTo(main, POINT{40, 40}));

  ASSERT_TRUE(ChooseMenuItem(kovan->pid(), main, {kAbout}));
  HWND about = WaitForWindow(kovan->pid(), L"THakkindaPencere");
  ASSERT_NE(about, nullptr);
  // The links lie in the line along the bottom edge, 57 design pixels high:
  // a user's clicks along it, row by row.
  const POINT top = DesignPoint(about, 434, POINT{0, 381 - 57});
  const POINT bottom = DesignPoint(about, 434, POINT{434, 381});
  const int step = (bottom.x - top.x) / 72;  // 6 design pixels
  for (int y = top.y + step; y < bottom.y - 2; y += step) {
    for (int x = top.x + step; x < bottom.x - step; x += 2 * step) input::Click(POINT{x, y});
  }
  std::set<std::string> pages;
  WaitUntil([&] { return (pages = OpenedPages(log)).size() >= 6; }, 15s);
  EXPECT_EQ(pages.size(), 6u) << "the pages opened: " << testing::PrintToString(pages);
  EXPECT_EQ(pages.count("http://www.godevtool.com/"), 1u);
  for (const std::string& page : pages) EXPECT_EQ(page.rfind("http://", 0), 0u) << page;
  EXPECT_TRUE(kovan->Running());
  EXPECT_TRUE(IsWindow(about));
}

}  // namespace
}  // namespace kovan::e2e
