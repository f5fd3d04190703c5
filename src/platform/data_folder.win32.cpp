#include "platform/data_folder.hpp"

#include <windows.h>
#include <shlobj.h>

#include "base/handles.win32.hpp"
#include "base/text.hpp"

namespace kovan {

bool FolderIsWritable(const std::string& folder) {
  const std::wstring probe = ToWide(folder) + L"kovan-write-test-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
  UniqueHandle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return file.valid();
}

std::string PerUserDataFolder() {
  PWSTR roaming = nullptr;
  if (FAILED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &roaming))) return {};
  std::wstring path = roaming;
  CoTaskMemFree(roaming);
  path += L"\\ORSEL RIRUDIR\\Kovan\\";
  SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
  return ToUtf8(path);
}

}  // namespace kovan
