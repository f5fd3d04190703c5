// Start-up, close and the second copy of the real Kovan.exe.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <fstream>
#include <thread>

#include "driver.hpp"

namespace kovan::e2e {
namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\ORSEL RIRUDIR\\Kovan\\s2.0";

struct StoredValue {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

std::optional<StoredValue> ReadSetting(const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::nullopt;
  StoredValue value;
  DWORD size = 0;
  LONG rc = RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size);
  if (rc == ERROR_SUCCESS) {
    value.data.resize(size);
    rc = RegQueryValueExW(key, name, nullptr, &value.type, value.data.data(), &size);
  }
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return std::nullopt;
  return value;
}

std::filesystem::path StartupShortcut() {
  PWSTR folder = nullptr;
  SHGetKnownFolderPath(FOLDERID_Startup, 0, nullptr, &folder);
  std::filesystem::path path(folder ? folder : L"");
  CoTaskMemFree(folder);
  // The Shell Folders key names the folder the program uses; prefer it.
  wchar_t buffer[MAX_PATH] = {};
  DWORD size = sizeof buffer;
  if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                   L"Startup", RRF_RT_REG_SZ, nullptr, buffer, &size) == ERROR_SUCCESS) {
    path = buffer;
  }
  return path / L"Kovan.lnk";
}

class Lifecycle : public ::testing::Test {
 protected:
  void SetUp() override {
    ForgetSettings();
    std::filesystem::remove(StartupShortcut());
  }
  void TearDown() override {
    ForgetSettings();
    std::filesystem::remove(StartupShortcut());
  }

  // Starts Kovan with a list file present, so no first-start message comes.
  std::unique_ptr<KovanProcess> StartWithList(const std::string& list = "") {
    { std::ofstream(folder.path() / "Liste.kvl", std::ios::binary) << list; }
    auto kovan = std::make_unique<KovanProcess>(folder.path());
    main = kovan->WaitForMainWindow();
    return kovan;
  }

  ScratchFolder folder;
  HWND main = nullptr;
};

TEST_F(Lifecycle, FirstStartCreatesAnEmptyListFileSaysSoAndClosesCleanly) {
  KovanProcess kovan(folder.path());
  ASSERT_TRUE(kovan.Running());

  const auto box = kovan.WaitForMessageBox();
  ASSERT_TRUE(box.has_value()) << "no message box at first start";
  EXPECT_EQ(box->caption, L"Kovan 2.0 - ORSEL RIRUDIR");
  EXPECT_EQ(box->text, L"Kaynak dosya listesi bulunamad\u0131...Yenisi olu\u015fturuldu");
  const auto list = folder.path() / "Liste.kvl";
  ASSERT_TRUE(std::filesystem::exists(list)) << "the list file is made before the box shows";
  EXPECT_EQ(std::filesystem::file_size(list), 0u);
  EXPECT_TRUE(KovanProcess::PressToClose(box->hwnd, IDOK)) << "the box stayed open";

  main = kovan.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_CLOSE, 0, 0);
  const auto exitCode = kovan.WaitForExit();
  ASSERT_TRUE(exitCode.has_value()) << "Kovan did not close";
  EXPECT_EQ(*exitCode, 0u);
  EXPECT_EQ(std::filesystem::file_size(list), 0u);
}

TEST_F(Lifecycle, CloseWritesTheTenSettingsTheShortcutAndTheList) {
  auto kovan = StartWithList();
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(kovan->WaitForExit().has_value());

  const std::pair<const wchar_t*, DWORD> expected[] = {
      {L"Dil", REG_DWORD}, {L"Klasor", REG_SZ}, {L"Skontrol", REG_SZ}, {L"EPos", REG_SZ},  {L"Ust", REG_DWORD},
      {L"Sol", REG_DWORD}, {L"EnUst", REG_SZ},  {L"Acilis", REG_SZ},   {L"Trans", REG_SZ}, {L"TransI", REG_DWORD}};
  for (const auto& [name, type] : expected) {
    const auto value = ReadSetting(name);
    ASSERT_TRUE(value.has_value()) << "missing value";
    EXPECT_EQ(value->type, type);
  }
  auto text = [](const StoredValue& v) {
    return std::wstring(reinterpret_cast<const wchar_t*>(v.data.data()), v.data.size() / 2 - 1);
  };
  auto dword = [](const StoredValue& v) { return *reinterpret_cast<const DWORD*>(v.data.data()); };
  EXPECT_EQ(text(*ReadSetting(L"Klasor")), L"FALSE");
  EXPECT_EQ(text(*ReadSetting(L"Skontrol")), L"TRUE");
  EXPECT_EQ(dword(*ReadSetting(L"Dil")), 1055u);
  EXPECT_EQ(dword(*ReadSetting(L"TransI")), 255u);
  EXPECT_EQ(std::filesystem::file_size(folder.path() / "Liste.kvl"), 0u);
  EXPECT_TRUE(std::filesystem::exists(StartupShortcut()));
}

TEST_F(Lifecycle, TheEndOfTheWindowsSessionSavesLikeAClose) {
  auto kovan = StartWithList();
  ASSERT_NE(main, nullptr);
  std::filesystem::remove(folder.path() / "Liste.kvl");
  DWORD_PTR answer = 0;
  SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_BLOCK, 10000, &answer);
  EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
  SendMessageTimeoutW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_BLOCK, 10000, nullptr);
  EXPECT_TRUE(ReadSetting(L"Dil").has_value());
  EXPECT_TRUE(std::filesystem::exists(folder.path() / "Liste.kvl"));
}

TEST_F(Lifecycle, ASecondCopyEndsAtOnceAndWritesNothing) {
  auto first = StartWithList();
  ASSERT_NE(main, nullptr);
  ScratchFolder other;
  KovanProcess second(other.path());
  const auto code = second.WaitForExit(std::chrono::seconds(15));
  ASSERT_TRUE(code.has_value()) << "the second copy kept running";
  EXPECT_EQ(*code, 0u);
  EXPECT_FALSE(std::filesystem::exists(other.path() / "Liste.kvl"));
  EXPECT_FALSE(ReadSetting(L"Dil").has_value()) << "the second copy wrote settings";
  EXPECT_TRUE(first->Running());
  EXPECT_TRUE(IsWindow(main));
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(first->WaitForExit().has_value());
}

TEST_F(Lifecycle, ACopyStartedWhileAnotherEndsWaitsForItAndThenStarts) {
  // Another copy that has saved and is on its way out holds the lock but shows
  // no window; here the test plays that copy.
  HANDLE ending = CreateMutexW(nullptr, TRUE, L"Kovan 2.0 - ORSEL RIRUDIR");
  ASSERT_NE(ending, nullptr);
  { std::ofstream(folder.path() / "Liste.kvl", std::ios::binary) << ""; }
  KovanProcess kovan(folder.path());
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  EXPECT_TRUE(kovan.Running()) << "the new copy gave up while the other was still ending";
  ReleaseMutex(ending);
  CloseHandle(ending);
  main = kovan.WaitForMainWindow();
  ASSERT_NE(main, nullptr) << "the new copy did not start once the other had ended";
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(kovan.WaitForExit().has_value());
}

TEST_F(Lifecycle, ACopyStartedRightAfterACloseStartsWithWhatTheCloseSaved) {
  const auto picture = folder.path() / "a.ico";
  { std::ofstream(picture, std::ios::binary) << "x"; }
  const std::string entry = "A,ico," + picture.string() + "\r\n";
  auto first = StartWithList(entry);
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_CLOSE, 0, 0);
  KovanProcess second(folder.path() / "Kovan.exe", L"");
  EXPECT_TRUE(first->WaitForExit().has_value());
  main = second.WaitForMainWindow();
  ASSERT_NE(main, nullptr) << "the copy started during the close ended instead of starting";
  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(second.WaitForExit().has_value());
  std::ifstream in(folder.path() / "Liste.kvl", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), entry);
}

TEST_F(Lifecycle, ACloseThatCannotWriteTheListReportsItAndALaterCloseSucceeds) {
  { std::ofstream(folder.path() / "Liste.kvl", std::ios::binary) << "?,ico,C:\\gone.ico\r\n"; }
  auto kovan = std::make_unique<KovanProcess>(folder.path());
  // The missing file is reported as the panel shows.
  auto report = kovan->WaitForMessageBox();
  ASSERT_TRUE(report.has_value());
  EXPECT_TRUE(KovanProcess::PressToClose(report->hwnd, IDOK)) << "the box stayed open";
  main = kovan->WaitForMainWindow();
  ASSERT_NE(main, nullptr);

  HANDLE holder =
      CreateFileW((folder.path() / "Liste.kvl").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  PostMessageW(main, WM_CLOSE, 0, 0);
  const auto box = kovan->WaitForMessageBox();
  ASSERT_TRUE(box.has_value()) << "no error report";
  EXPECT_EQ(box->caption, L"Kovan 2.0 - ORSEL RIRUDIR");
  EXPECT_EQ(box->text, L"I/O error 32.");
  EXPECT_TRUE(KovanProcess::PressToClose(box->hwnd, IDOK)) << "the box stayed open";
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_TRUE(kovan->Running()) << "the window must stay open";
  EXPECT_TRUE(IsWindow(main));
  CloseHandle(holder);

  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(kovan->WaitForExit().has_value());
  std::ifstream in(folder.path() / "Liste.kvl", std::ios::binary);
  const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(written, "") << "the entry whose file is gone was dropped at start";
}

}  // namespace
}  // namespace kovan::e2e
