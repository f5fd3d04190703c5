// The release packages met the way a user meets them: the portable zip
// unpacked and started, the installer run silently, the installed program
// started from a folder it may not write, and the uninstaller, silent and
// interactive. tools/dist-test.sh runs one suite at a time, in this order, in
// a Wine prefix of their own, and changes the install folder's permissions
// between them; the suites build on each other's results.
//
// Environment: KOVAN_DIST_DIR holds the packages, KOVAN_PORTABLE_DIR the
// unpacked zip, KOVAN_INSTALL_READ_ONLY is 1 when the install folder cannot
// be written during the Installed suite (it can in all others).
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "../e2e/driver.hpp"
#include "kovan_version.h"

namespace kovan::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kovan";
constexpr wchar_t kSettingsKey[] = L"Software\\ORSEL RIRUDIR\\Kovan\\s2.0";
const std::wstring kVersion = L"" KOVAN_VERSION_TEXT;
// What every copy of Kovan consists of, in the install folder or the zip.
const std::vector<fs::path> kProgramFiles = {"Kovan.exe", "kovanc.exe", "KovanResources.cmake", "yardim.chm",
                                             "dil/English.lng"};

fs::path EnvPath(const char* name) {
  const char* value = std::getenv(name);
  return value ? fs::path(value) : fs::path();
}

fs::path KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR folder = nullptr;
  SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &folder);
  fs::path path(folder ? folder : L"");
  CoTaskMemFree(folder);
  return path;
}

fs::path DefaultInstallFolder() { return KnownFolder(FOLDERID_ProgramFiles) / "ORSEL RIRUDIR" / "Kovan"; }
fs::path PerUserFolder() { return KnownFolder(FOLDERID_RoamingAppData) / "ORSEL RIRUDIR" / "Kovan"; }
fs::path StartMenuShortcut() { return KnownFolder(FOLDERID_CommonPrograms) / "Kovan.lnk"; }
fs::path AutostartShortcut() { return KnownFolder(FOLDERID_Startup) / "Kovan.lnk"; }
fs::path SetupProgram() { return EnvPath("KOVAN_DIST_DIR") / (L"Kovan-" + kVersion + L"-setup.exe"); }

std::optional<std::wstring> ReadText(HKEY root, const wchar_t* key, const wchar_t* name) {
  wchar_t buffer[1024] = {};
  DWORD size = sizeof buffer;
  if (RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) return std::nullopt;
  return std::wstring(buffer);
}

std::optional<DWORD> ReadNumber(HKEY root, const wchar_t* key, const wchar_t* name) {
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegGetValueW(root, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS) return std::nullopt;
  return value;
}

bool KeyExists(HKEY root, const wchar_t* key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(root, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

template <typename F>
bool WaitUntil(F condition, std::chrono::milliseconds timeout = 60s) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(100ms);
  }
  return true;
}

// Runs a console program and returns its exit code and standard output.
std::pair<DWORD, std::string> RunCaptured(const fs::path& exe, const std::wstring& arguments) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return {~0u, {}};
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  PROCESS_INFORMATION info{};
  std::wstring commandLine = L"\"" + exe.wstring() + L"\" " + arguments;
  const BOOL started = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                      nullptr, nullptr, &startup, &info);
  CloseHandle(writeEnd);
  std::string out;
  char buffer[4096];
  DWORD n = 0;
  while (started && ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0) out.append(buffer, n);
  CloseHandle(readEnd);
  if (!started) return {~0u, {}};
  WaitForSingleObject(info.hProcess, 60000);
  DWORD code = ~0u;
  GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  return {code, out};
}

// Runs a program to its end; its exit code.
std::optional<DWORD> RunToEnd(const fs::path& exe, const std::wstring& arguments) {
  KovanProcess process(exe, arguments);
  return process.WaitForExit(120s);
}

// Starts Kovan, confirms the first-start report of a new list when it comes
// and waits for the main window.
HWND StartKovan(KovanProcess& kovan) {
  HWND main = nullptr;
  WaitUntil(
      [&] {
        if (auto box = kovan.WaitForMessageBox(0ms)) KovanProcess::Press(box->hwnd, IDOK);
        main = kovan.WaitForMainWindow(0ms);
        return main != nullptr || !kovan.Running();
      },
      30s);
  return main;
}

void CloseKovan(KovanProcess& kovan, HWND main) {
  PostMessageW(main, WM_CLOSE, 0, 0);
  const auto code = kovan.WaitForExit(30s);
  ASSERT_TRUE(code.has_value()) << "Kovan did not close";
  EXPECT_EQ(*code, 0u);
}

void ExpectVersionResource(const fs::path& file) {
  DWORD handle = 0;
  std::vector<BYTE> info(GetFileVersionInfoSizeW(file.c_str(), &handle));
  ASSERT_FALSE(info.empty()) << file << " has no version resource";
  ASSERT_TRUE(GetFileVersionInfoW(file.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
  EXPECT_EQ(fixed->dwProductVersionMS, static_cast<DWORD>(MAKELONG(KOVAN_VERSION_MINOR, KOVAN_VERSION_MAJOR)));
  EXPECT_EQ(fixed->dwProductVersionLS, static_cast<DWORD>(MAKELONG(0, KOVAN_VERSION_BUILD)));
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(Portable, TheUnpackedZipRunsAndKeepsItsListBesideItself) {
  const fs::path folder = EnvPath("KOVAN_PORTABLE_DIR") / "Kovan";
  for (const auto& file : kProgramFiles) EXPECT_TRUE(fs::is_regular_file(folder / file)) << file;
  ExpectVersionResource(folder / "Kovan.exe");

  KovanProcess kovan(folder / "Kovan.exe", L"");
  const HWND main = StartKovan(kovan);
  ASSERT_NE(main, nullptr) << "no main window";
  CloseKovan(kovan, main);
  EXPECT_TRUE(fs::exists(folder / "Liste.kvl"));
  EXPECT_FALSE(fs::exists(PerUserFolder() / "Liste.kvl"));
}

TEST(Setup, SilentInstallPutsProgramShortcutAndEntryInPlace) {
  ASSERT_TRUE(fs::exists(SetupProgram())) << SetupProgram() << " is missing";
  const auto code = RunToEnd(SetupProgram(), L"/S");
  ASSERT_EQ(code, std::optional<DWORD>(0));

  const fs::path folder = DefaultInstallFolder();
  for (const auto& file : kProgramFiles) EXPECT_TRUE(fs::is_regular_file(folder / file)) << file;
  EXPECT_TRUE(fs::is_regular_file(folder / "uninstall.exe"));
  EXPECT_TRUE(fs::exists(StartMenuShortcut()));

  const std::wstring exe = (folder / "Kovan.exe").wstring();
  const std::wstring uninstaller = L"\"" + (folder / "uninstall.exe").wstring() + L"\"";
  const std::pair<const wchar_t*, std::wstring> expected[] = {
      {L"DisplayName", L"Kovan"},
      {L"DisplayVersion", kVersion},
      {L"Publisher", L"ORSEL RIRUDIR"},
      {L"DisplayIcon", exe + L",0"},
      {L"InstallLocation", folder.wstring()},
      {L"UninstallString", uninstaller},
      {L"QuietUninstallString", uninstaller + L" /S"},
  };
  for (const auto& [name, value] : expected) {
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kUninstallKey, name).value_or(L"(missing)"), value) << name;
  }
  const auto size = ReadNumber(HKEY_LOCAL_MACHINE, kUninstallKey, L"EstimatedSize");
  ASSERT_TRUE(size.has_value());
  EXPECT_GE(*size, fs::file_size(folder / "Kovan.exe") / 1024) << "in KiB, at least the program";

  // The one version of the build, in the file name, the entry, the resource
  // and kovanc's answer.
  ExpectVersionResource(folder / "Kovan.exe");
  ExpectVersionResource(folder / "kovanc.exe");
  const auto [kovancCode, kovancOut] = RunCaptured(folder / "kovanc.exe", L"--version");
  EXPECT_EQ(kovancCode, 0u);
  EXPECT_EQ(kovancOut, "kovanc " KOVAN_VERSION_TEXT "\n");
}

TEST(Installed, StartsWithItsListInThePerUserFolderAndClosesCleanly) {
  const fs::path folder = DefaultInstallFolder();
  const bool readOnly = std::getenv("KOVAN_INSTALL_READ_ONLY") == std::string("1");
  KovanProcess kovan(folder / "Kovan.exe", L"");
  const HWND main = StartKovan(kovan);
  ASSERT_NE(main, nullptr) << "no main window";
  CloseKovan(kovan, main);

  const fs::path expected = readOnly ? PerUserFolder() : folder;
  const fs::path other = readOnly ? folder : PerUserFolder();
  EXPECT_TRUE(fs::exists(expected / "Liste.kvl")) << expected;
  EXPECT_FALSE(fs::exists(other / "Liste.kvl")) << other;
  if (!readOnly) GTEST_SKIP() << "the install folder could be written; the per-user folder went untried";
}

TEST(Running, SetupAndUninstallStopWhileKovanRuns) {
  const fs::path folder = DefaultInstallFolder();
  KovanProcess kovan(folder / "Kovan.exe", L"");
  const HWND main = StartKovan(kovan);
  ASSERT_NE(main, nullptr);
  const auto before = fs::last_write_time(folder / "Kovan.exe");

  // Silent runs cannot ask to close Kovan; they stop with exit code 2.
  EXPECT_EQ(RunToEnd(SetupProgram(), L"/S"), std::optional<DWORD>(2));
  // _?= keeps the uninstaller in place, so its exit code is the real one.
  EXPECT_EQ(RunToEnd(folder / "uninstall.exe", L"/S _?=" + folder.wstring()), std::optional<DWORD>(2));

  EXPECT_TRUE(kovan.Running());
  for (const auto& file : kProgramFiles) EXPECT_TRUE(fs::exists(folder / file)) << file;
  EXPECT_EQ(fs::last_write_time(folder / "Kovan.exe"), before);
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  CloseKovan(kovan, main);
}

TEST(Uninstall, QuietUninstallRemovesTheProgramButKeepsPoolAndSettings) {
  const fs::path folder = DefaultInstallFolder();
  ASSERT_TRUE(fs::exists(AutostartShortcut())) << "Kovan's close makes it";
  // A list kept beside the program (by an administrator's start) as well.
  WriteFile(folder / "Liste.kvl", "");
  const auto command = ReadText(HKEY_LOCAL_MACHINE, kUninstallKey, L"QuietUninstallString");
  ASSERT_TRUE(command.has_value());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring commandLine = *command;
  ASSERT_TRUE(
      CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  // The uninstaller hands over to a copy of itself outside the folder and
  // ends at once; the copy's work shows in the folder and the registry.
  ASSERT_TRUE(WaitUntil([&] {
    return !KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey) && !fs::exists(folder / "uninstall.exe");
  })) << "the uninstall did not finish";

  for (const auto& file : kProgramFiles) EXPECT_FALSE(fs::exists(folder / file)) << file;
  EXPECT_FALSE(fs::exists(folder / "dil"));
  EXPECT_FALSE(fs::exists(StartMenuShortcut()));
  EXPECT_FALSE(fs::exists(AutostartShortcut()));

  EXPECT_TRUE(fs::exists(folder / "Liste.kvl"));
  EXPECT_TRUE(fs::exists(PerUserFolder() / "Liste.kvl"));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kSettingsKey));
}

struct FoundWindow {
  const wchar_t* title;
  HWND hwnd;
};

// The uninstaller's window, whichever process shows it.
HWND FindWizard(const wchar_t* titlePart) {
  FoundWindow found{titlePart, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* f = reinterpret_cast<FoundWindow*>(lp);
        wchar_t cls[32] = {}, title[256] = {};
        GetClassNameW(hwnd, cls, 32);
        GetWindowTextW(hwnd, title, 256);
        if (!IsWindowVisible(hwnd) || wcscmp(cls, L"#32770") != 0 || !wcsstr(title, f->title)) return TRUE;
        f->hwnd = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found.hwnd;
}

HWND FindCheckBox(HWND parent) {
  HWND found = nullptr;
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM lp) -> BOOL {
        wchar_t cls[32] = {};
        GetClassNameW(child, cls, 32);
        if (_wcsicmp(cls, L"Button") != 0 || (GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) != BS_AUTOCHECKBOX) {
          return TRUE;
        }
        *reinterpret_cast<HWND*>(lp) = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

TEST(Uninstall, TheTickedBoxTakesPoolAndSettingsAlong) {
  // Into a folder of the user's choice this time.
  const fs::path folder = fs::path(L"C:\\Kovan Test\\Kovan");
  ASSERT_EQ(RunToEnd(SetupProgram(), L"/S /D=" + folder.wstring()), std::optional<DWORD>(0));
  ASSERT_TRUE(fs::exists(folder / "Kovan.exe"));
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation").value_or(L""), folder.wstring());
  WriteFile(folder / "Liste.kvl", "");
  WriteFile(PerUserFolder() / "Liste.kvl", "");
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS);
    const DWORD language = 1055;
    RegSetValueExW(key, L"Dil", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&language), sizeof language);
    RegCloseKey(key);
  }

  KovanProcess uninstaller(folder / "uninstall.exe", L"");
  HWND wizard = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (wizard = FindWizard(L"Kovan")) != nullptr; }, 30s)) << "no uninstall window";
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = FindCheckBox(wizard)) != nullptr; }, 10s)) << "no check box";
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED) << "keeping is the default";
  SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
  KovanProcess::Press(wizard, IDOK);

  ASSERT_TRUE(WaitUntil([&] { return !KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey); })) << "no uninstall";
  // The last page waits for Close.
  ASSERT_TRUE(WaitUntil([&] {
    if (!IsWindow(wizard)) return true;
    if (IsWindowEnabled(GetDlgItem(wizard, IDOK))) KovanProcess::Press(wizard, IDOK);
    return false;
  })) << "the uninstaller did not close";

  EXPECT_FALSE(fs::exists(folder)) << "nothing of the user's is left to keep it";
  EXPECT_FALSE(fs::exists(PerUserFolder()));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kSettingsKey));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSettingsKey));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, L"Software\\ORSEL RIRUDIR"));
}

}  // namespace
}  // namespace kovan::e2e
