#include "base/file_stamp.hpp"

#ifdef _WIN32
#include <windows.h>

#include "base/file_system.hpp"
#else
#include <sys/stat.h>
#endif

namespace kovan {

#ifdef _WIN32

std::optional<FileStamp> FileStampOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (path.empty() || !GetFileAttributesExW(ToSystemPath(path).c_str(), GetFileExInfoStandard, &data)) {
    return std::nullopt;
  }
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
  FileStamp stamp;
  stamp.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  stamp.writeTime = static_cast<int64_t>((static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                         data.ftLastWriteTime.dwLowDateTime);
  return stamp;
}

#else

std::optional<FileStamp> FileStampOf(const std::string& path) {
  struct stat st {};
  if (path.empty() || stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
  FileStamp stamp;
  stamp.size = static_cast<uint64_t>(st.st_size);
  stamp.writeTime = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return stamp;
}

#endif

}  // namespace kovan
