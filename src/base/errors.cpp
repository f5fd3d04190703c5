#include "base/errors.hpp"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <windows.h>

#include "base/text.hpp"
#endif

namespace kovan {

std::string IoErrorText(int code) {
  switch (code) {
    case io_code::kFileNotFound: return "File not found";
    case io_code::kPathNotFound: return "Invalid filename";
    case io_code::kTooManyOpenFiles: return "Too many open files";
    case io_code::kAccessDenied: return "File access denied";
    case io_code::kReadBeyondEnd: return "Read beyond end of file";
    case io_code::kDiskFull: return "Disk full";
    case io_code::kInvalidNumericInput: return "Invalid numeric input";
    default: return "I/O error " + std::to_string(code);
  }
}

IoError::IoError(int code) : Error(IoErrorText(code)), code_(code) {}
IoError::IoError(int code, const std::string& text) : Error(text), code_(code) {}

SystemError::SystemError(const char* call, int code)
    : Error(std::string(call) + " failed: " + SystemErrorText(code)), code_(code) {}

FileCreateError::FileCreateError(const std::string& path, const std::string& reason)
    : Error("Cannot create file \"" + path + "\". " + reason) {}

int ErrnoToSystemError(int err) {
  switch (err) {
    case ENOENT: return 2;
    case ENOTDIR: return 3;
    case ENAMETOOLONG: return 3;
    case EMFILE:
    case ENFILE: return 4;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return 5;
    case ENOSPC: return 101;
#ifdef EDQUOT
    case EDQUOT: return 101;
#endif
    case EBUSY: return 32;
#ifdef ETXTBSY
    case ETXTBSY: return 32;
#endif
    case EINVAL: return 87;
    default: return 31;  // a device that does not work: the general failure
  }
}

int LastSystemError() {
#ifdef _WIN32
  return static_cast<int>(GetLastError());
#else
  return ErrnoToSystemError(errno);
#endif
}

std::string SystemErrorText(int code) {
#ifdef _WIN32
  wchar_t* buffer = nullptr;
  const DWORD n =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text;
  if (n != 0 && buffer != nullptr) text = ToUtf8(std::wstring_view(buffer, n));
  LocalFree(buffer);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  if (text.empty()) text = "System error " + std::to_string(code);
  return text;
#else
  switch (code) {
    case 2: return "The system cannot find the file specified.";
    case 3: return "The system cannot find the path specified.";
    case 5: return "Access is denied.";
    case 32: return "The process cannot access the file because it is being used by another process.";
    case 101: return "There is not enough space on the disk.";
    default: return "System error " + std::to_string(code);
  }
#endif
}

std::string IoErrorSystemText(int code) {
#ifdef _WIN32
  if (code == io_code::kDiskFull) return SystemErrorText(ERROR_DISK_FULL);
#endif
  return SystemErrorText(code);
}

}  // namespace kovan
