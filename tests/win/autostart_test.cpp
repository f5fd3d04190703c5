// The autostart shortcut as a real shell link, in a Startup folder of the
// test's own (the in-memory registry names it).
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <string>

#include "support/test_util.hpp"
#include "settings/autostart.hpp"
#include "base/file_system.hpp"
#include "base/handles.win32.hpp"
#include "base/text.hpp"
#include "support/memory_registry.hpp"

namespace kovan {
namespace {

constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class Autostart : public ::testing::Test {
 protected:
  Autostart() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  ~Autostart() override { CoUninitialize(); }

  void NameStartupFolder(const std::string& folder) {
    ASSERT_EQ(registry.CreateKey(RegistryRoot::CurrentUser, kShellFolders), RegistryStatus::Ok);
    ASSERT_EQ(registry.WriteValue(RegistryRoot::CurrentUser, kShellFolders, "Startup", RegistryValue::Text(folder)),
              RegistryStatus::Ok);
  }

  test::TempDir dir;
  MemoryRegistry registry;
};

std::wstring ModulePath() {
  wchar_t path[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  return std::wstring(path, n);
}

TEST_F(Autostart, ShortcutIsAShellLinkToTheExecutableInItsFolder) {
  const std::string startup = dir / "Startup";  // missing: the link's save makes it
  NameStartupFolder(startup);
  const std::string path = StartupShortcutPath(registry);
  EXPECT_EQ(path, startup + "\\Kovan.lnk");

  CreateStartupShortcut(registry);
  ASSERT_TRUE(FileExists(path));

  IShellLinkW* rawLink = nullptr;
  ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                            reinterpret_cast<void**>(&rawLink)));
  const UniqueCom<IShellLinkW> link(rawLink);
  IPersistFile* rawFile = nullptr;
  ASSERT_HRESULT_SUCCEEDED(link.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile)));
  const UniqueCom<IPersistFile> file(rawFile);
  ASSERT_HRESULT_SUCCEEDED(file.get()->Load(ToWide(path).c_str(), STGM_READ));

  wchar_t text[MAX_PATH * 4] = {};
  ASSERT_HRESULT_SUCCEEDED(link.get()->GetPath(text, MAX_PATH * 4, nullptr, SLGP_RAWPATH));
  EXPECT_EQ(std::wstring(text), ModulePath());
  ASSERT_HRESULT_SUCCEEDED(link.get()->GetWorkingDirectory(text, MAX_PATH * 4));
  EXPECT_EQ(ToUtf8(text), ExeFolder());
  text[0] = L'x';
  ASSERT_HRESULT_SUCCEEDED(link.get()->GetArguments(text, MAX_PATH * 4));
  EXPECT_EQ(std::wstring(text), L"");
}

TEST_F(Autostart, WithoutARegistryFolderTheShellNamesIt) {
  wchar_t* raw = nullptr;
  ASSERT_HRESULT_SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Startup, KF_FLAG_DEFAULT, nullptr, &raw));
  const UniqueCoTaskMem known(raw);
  EXPECT_EQ(StartupShortcutPath(registry), ToUtf8(known.get()) + "\\Kovan.lnk");
}

TEST_F(Autostart, CloseCreatesAndDeletesTheRealShortcut) {
  NameStartupFolder(dir.str().substr(0, dir.str().size() - 1));
  Win32StartupShortcut shortcut(registry);
  BringStartupShortcutInLine(shortcut, true);
  EXPECT_TRUE(FileExists(dir / "Kovan.lnk"));
  BringStartupShortcutInLine(shortcut, false);
  EXPECT_FALSE(FileExists(dir / "Kovan.lnk"));
}

}  // namespace
}  // namespace kovan
