#include "online/browser_launch.win32.hpp"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "base/handles.win32.hpp"
#include "base/text.hpp"

namespace kovan {

namespace {

// Value data need not end in a null; some writers store one or more.
std::wstring TrimNulls(std::wstring text) {
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

std::optional<std::wstring> ExpandEnvironment(const std::wstring& text) {
  std::wstring expanded(text.size() + 1, L'\0');
  for (;;) {
    const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), expanded.data(), static_cast<DWORD>(expanded.size()));
    if (needed == 0) return std::nullopt;
    if (needed <= expanded.size()) {
      expanded.resize(needed - 1);
      return expanded;
    }
    expanded.resize(needed);
  }
}

}  // namespace

std::optional<std::string> Win32ClassesRoot::ReadDefaultValue(const std::string& subkey) {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, ToWide(subkey).c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS)
    return std::nullopt;
  const UniqueHKey key(raw);
  // The value may change between asking its size and reading it.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), nullptr, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    const LSTATUS status =
        RegQueryValueExW(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
    data.resize(got / sizeof(wchar_t));
    data = TrimNulls(std::move(data));
    if (type == REG_EXPAND_SZ) {
      const std::optional<std::wstring> expanded = ExpandEnvironment(data);
      if (!expanded) return std::nullopt;
      data = *expanded;
    }
    return ToUtf8(data);
  }
  return std::nullopt;
}

bool Win32BrowserStarter::StartMaximized(const std::string& commandLine) {
  std::wstring line = ToWide(commandLine);  // CreateProcessW may write into it
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMAXIMIZED;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  const UniqueKernelHandle processHandle(process.hProcess);
  const UniqueKernelHandle threadHandle(process.hThread);
  return true;
}

bool Win32BrowserStarter::ShellOpen(const std::string& address) {
  const std::wstring file = ToWide(address);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  // No error box of the shell's own: a page that cannot be opened this way stays silent.
  info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"open";
  info.lpFile = file.c_str();
  info.nShow = SW_SHOWNORMAL;
  return ShellExecuteExW(&info) != FALSE;
}

}  // namespace kovan
