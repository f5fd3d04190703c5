#include "base/file_identity.hpp"

#include <windows.h>

#include "base/handles.win32.hpp"
#include "base/text.hpp"

namespace kovan {

std::optional<FileIdentity> IdentityOfFile(const std::string& path) {
  // No access rights asked, and every kind of sharing allowed, so a file that
  // another program holds open still answers; backup semantics let a folder
  // be opened too. Links and junctions are followed to their target.
  UniqueHandle file(CreateFileW(ToWide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.valid()) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber,
                      (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

}  // namespace kovan
