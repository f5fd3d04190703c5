// The settings and about windows of the real Kovan.exe, reached through its
// menu.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <thread>

#include "driver.hpp"

namespace kovan::e2e {
namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\ORSEL RIRUDIR\\Kovan\\s2.0";

// Places from the bottom of the main menu.
constexpr int kAboutItem = 3;
constexpr int kSettingsItem = 4;
constexpr int kClearPoolItem = 5;
// The settings window's glass button, which has no text to find it by.
constexpr int kGlassButtonId = 200;

void ForgetSettings() {
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSettingsKey);
  RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
}

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

std::vector<HWND> WaitForWindows(DWORD pid, const wchar_t* className, size_t count) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  std::vector<HWND> windows = VisibleWindows(pid, className);
  while (windows.size() != count && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    windows = VisibleWindows(pid, className);
  }
  return windows;
}

class SettingsAndAbout : public ::testing::Test {
 protected:
  void SetUp() override {
    ForgetSettings();
    { std::ofstream(folder.path() / "Liste.kvl", std::ios::binary); }
    kovan = std::make_unique<KovanProcess>(folder.path());
    main = kovan->WaitForMainWindow();
    ASSERT_NE(main, nullptr);
  }
  void TearDown() override {
    kovan.reset();
    ForgetSettings();
  }

  HWND OpenSettings() {
    if (!ChooseMenuItemFromBottom(kovan->pid(), main, kSettingsItem)) return nullptr;
    const auto windows = WaitForWindows(kovan->pid(), L"TAyarPencere", 1);
    return windows.empty() ? nullptr : windows[0];
  }

  void CloseMain() {
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(kovan->WaitForExit().has_value()) << "Kovan did not close";
  }

  ScratchFolder folder;
  std::unique_ptr<KovanProcess> kovan;
  HWND main = nullptr;
};

TEST_F(SettingsAndAbout, SettingsAreRealControlsAndTheStayOnTopBoxActsAtOnce) {
  HWND settings = OpenSettings();
  ASSERT_NE(settings, nullptr) << "no settings window";
  EXPECT_EQ(TextOf(settings), L"Ayarlar");

  const std::pair<const wchar_t*, LONG> controls[] = {
      {L"Klas\u00f6rleri Kabul Et", BS_RADIOBUTTON},
      {L"Klas\u00f6rleri Yoksay", BS_RADIOBUTTON},
      {L"Sistem A\u00e7\u0131l\u0131\u015f\u0131nda \u00c7al\u0131\u015ft\u0131r", BS_CHECKBOX},
      {L"Otomatik S\u00fcr\u00fcm Kontrol Bildirimi", BS_CHECKBOX},
      {L"Ekran Pozisyonunu Hat\u0131rla", BS_CHECKBOX},
      {L"Di\u011fer Pencerelerin \u00dczerinde Tut", BS_CHECKBOX},
      {L"\u015eeffafl\u0131k Aktif", BS_CHECKBOX},
  };
  for (const auto& [caption, kind] : controls) {
    HWND control = FindChildByText(settings, caption);
    ASSERT_NE(control, nullptr) << "no control captioned " << testing::PrintToString(std::wstring(caption));
    EXPECT_EQ(GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK, kind);
  }
  // Dropped folders are ignored by default; the matching radio button is chosen.
  EXPECT_EQ(SendMessageW(FindChildByText(settings, L"Klas\u00f6rleri Yoksay"), BM_GETCHECK, 0, 0), BST_CHECKED);

  // The box lives in the visual panel, closed at first: its caption opens it.
  HWND onTop = FindChildByText(settings, L"Di\u011fer Pencerelerin \u00dczerinde Tut");
  EXPECT_FALSE(IsWindowVisible(onTop));
  SendMessageW(FindChildByText(settings, L"G\u00f6rsel Ayarlar"), BM_CLICK, 0, 0);
  EXPECT_TRUE(IsWindowVisible(onTop));
  EXPECT_FALSE(IsWindowVisible(FindChildByText(settings, L"Klas\u00f6rleri Yoksay")));

  ASSERT_TRUE(Topmost(main));
  ASSERT_EQ(SendMessageW(onTop, BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageW(onTop, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageW(onTop, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_FALSE(Topmost(main)) << "the main window must leave the top at once";

  // Its close only hides it; the program goes on.
  SendMessageW(settings, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(settings));
  EXPECT_TRUE(IsWindow(settings));
  CloseMain();
  EXPECT_EQ(SettingText(L"EnUst"), L"FALSE");
}

TEST_F(SettingsAndAbout, ChoosingEnglishTranslatesTheWindowsAndTheMessages) {
  HWND settings = OpenSettings();
  ASSERT_NE(settings, nullptr) << "no settings window";
  HWND list = FindWindowExW(settings, nullptr, L"ComboBox", nullptr);
  ASSERT_NE(list, nullptr);
  // Languages go by the system's names for them, such as "English (United States)".
  const LRESULT english =
      SendMessageW(list, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"English"));
  ASSERT_NE(english, CB_ERR) << "no English item";
  EXPECT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), english + 2) << "the list ends with '+'";

  // The down arrow on the closed list moves to the next language, as a user's key does.
  const LRESULT chosen = SendMessageW(list, CB_GETCURSEL, 0, 0);
  for (LRESULT i = chosen; i < english; ++i) SendMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), english);
  EXPECT_EQ(TextOf(settings), L"Settings");
  EXPECT_NE(FindChildByText(settings, L"Keep on top of other windows"), nullptr);

  // The glass button hides the window; the main window's messages speak English now.
  HWND glass = GetDlgItem(settings, kGlassButtonId);
  ASSERT_NE(glass, nullptr);
  SendMessageW(glass, BM_CLICK, 0, 0);
  EXPECT_FALSE(IsWindowVisible(settings));
  ASSERT_TRUE(ChooseMenuItemFromBottom(kovan->pid(), main, kClearPoolItem));
  const auto box = kovan->WaitForMessageBox();
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, L"There are no files in the pool to clear");
  KovanProcess::Press(box->hwnd, IDOK);

  CloseMain();
  EXPECT_EQ(SettingNumber(L"Dil"), 1033u);
}

TEST_F(SettingsAndAbout, EachAboutChoiceOpensAWindowThatClosesAlone) {
  ASSERT_TRUE(ChooseMenuItemFromBottom(kovan->pid(), main, kAboutItem));
  ASSERT_EQ(WaitForWindows(kovan->pid(), L"THakkindaPencere", 1).size(), 1u);
  ASSERT_TRUE(ChooseMenuItemFromBottom(kovan->pid(), main, kAboutItem));
  const auto both = WaitForWindows(kovan->pid(), L"THakkindaPencere", 2);
  ASSERT_EQ(both.size(), 2u);

  SendMessageW(GetDlgItem(both[0], 1), BM_CLICK, 0, 0);
  const auto left = WaitForWindows(kovan->pid(), L"THakkindaPencere", 1);
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0], both[1]);
  EXPECT_FALSE(IsWindow(both[0]));

  SendMessageW(GetDlgItem(both[1], 1), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitForWindows(kovan->pid(), L"THakkindaPencere", 0).empty());
  EXPECT_TRUE(kovan->Running());
  CloseMain();
}

}  // namespace
}  // namespace kovan::e2e
