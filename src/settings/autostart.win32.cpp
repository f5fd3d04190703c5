#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <stdexcept>

#include "settings/autostart.hpp"
#include "base/errors.hpp"
#include "base/file_system.hpp"
#include "base/com.win32.hpp"
#include "base/errors.win32.hpp"
#include "base/handles.win32.hpp"
#include "base/text.hpp"

namespace kovan {

namespace {

std::wstring ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) ThrowLastError("GetModuleFileNameW");
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// Without a Startup text in the registry the shortcut would land in the root
// of the current drive; the shell knows the folder even then.
std::string StartupFolder(Registry& registry) {
  std::string folder = StartupFolderFromRegistry(registry);
  if (!folder.empty()) return folder;
  wchar_t* raw = nullptr;
  const HRESULT hr = SHGetKnownFolderPath(FOLDERID_Startup, KF_FLAG_DEFAULT, nullptr, &raw);
  const UniqueCoTaskMem known(raw);
  return SUCCEEDED(hr) && known.valid() ? ToUtf8(known.get()) : std::string();
}

[[noreturn]] void ThrowLinkError(HRESULT hr) {
  throw Error("Unable to create the startup shortcut: " + SystemErrorText(static_cast<int>(hr)));
}

}  // namespace

std::string StartupShortcutPath(Registry& registry) {
  const std::string folder = StartupFolder(registry);
  return folder.empty() ? std::string() : folder + "\\" + kShortcutFileName;
}

void CreateStartupShortcut(Registry& registry) {
  const ComApartment com;
  IShellLinkW* rawLink = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&rawLink));
  const UniqueCom<IShellLinkW> link(SUCCEEDED(hr) ? rawLink : nullptr);
  if (FAILED(hr)) ThrowLinkError(hr);
  IPersistFile* rawFile = nullptr;
  hr = link.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile));
  const UniqueCom<IPersistFile> file(SUCCEEDED(hr) ? rawFile : nullptr);
  if (FAILED(hr)) ThrowLinkError(hr);

  if (FAILED(hr = link.get()->SetPath(ExecutablePath().c_str()))) ThrowLinkError(hr);
  if (FAILED(hr = link.get()->SetWorkingDirectory(ToWide(ExeFolder()).c_str()))) ThrowLinkError(hr);

  const std::string folder = StartupFolder(registry);
  if (folder.empty()) return;
  const std::wstring wideFolder = ToWide(folder);
  // The shortcut is a convenience: neither a Startup folder that cannot be made
  // nor a save that fails may keep the program from closing.
  if (!FolderExists(folder)) (void)CreateDirectoryW(wideFolder.c_str(), nullptr);
  (void)file.get()->Save((wideFolder + L"\\" + ToWide(kShortcutFileName)).c_str(), FALSE);
}

}  // namespace kovan
