// The program's error types. An error's what() is the exact text the user sees
// in the general error report.
#pragma once

#include <stdexcept>
#include <string>

namespace kovan {

// Input/output failure, carrying the system error code it came from.
class EInOutError : public std::runtime_error {
 public:
  explicit EInOutError(int code);
  int code() const noexcept { return code_; }

 private:
  int code_;
};

// "File not found", "File access denied", ... or "I/O error N".
std::string IoErrorText(int code);

// A file that could not be created: "Cannot create file "PATH". REASON".
class EFCreateError : public std::runtime_error {
 public:
  EFCreateError(const std::string& path, const std::string& reason);
};

// The system's own description of an error code (FormatMessage on Windows,
// strerror elsewhere), without a trailing line break.
std::string SystemErrorText(int code);

// The Windows error code for the calling thread's last failure (GetLastError on
// Windows; errno mapped to the matching Windows code elsewhere).
int LastSystemError();
int ErrnoToSystemError(int err);

}  // namespace kovan
