// The program's error types. An error's what() is the exact text the user sees
// in the general error report.
#pragma once

#include <stdexcept>
#include <string>

namespace kovan {

// The one base of the program's errors. Its what() is the text the user sees.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The system error codes the program names (Windows numbering on every
// system; off Windows errno values are mapped onto them).
namespace io_code {
inline constexpr int kFileNotFound = 2;
inline constexpr int kPathNotFound = 3;
inline constexpr int kTooManyOpenFiles = 4;
inline constexpr int kAccessDenied = 5;
inline constexpr int kSharingViolation = 32;
inline constexpr int kReadBeyondEnd = 100;
inline constexpr int kDiskFull = 101;  // the I/O error of a full disk
inline constexpr int kInvalidNumericInput = 106;
inline constexpr int kInvalidName = 123;
inline constexpr int kDirectoryNameInvalid = 267;
}  // namespace io_code

// Input/output failure, carrying the system error code it came from.
class IoError : public Error {
 public:
  explicit IoError(int code);
  // The same code with a fuller text, for a failure that needs the user to act.
  IoError(int code, const std::string& text);
  int code() const noexcept { return code_; }

 private:
  int code_;
};

// "File not found", "File access denied", ... or "I/O error N".
std::string IoErrorText(int code);

// A file that could not be created: "Cannot create file "PATH". REASON".
class FileCreateError : public Error {
 public:
  FileCreateError(const std::string& path, const std::string& reason);
};

// A system call that failed: "<call> failed: <the system's text>".
class SystemError : public Error {
 public:
  SystemError(const char* call, int code);
  int code() const noexcept { return code_; }

 private:
  int code_;
};

// The system's own description of an error code (FormatMessage on Windows,
// strerror elsewhere), without a trailing line break.
std::string SystemErrorText(int code);
// The system's description for the code of an IoError: its own code 101 (a
// full disk) is described as the system's disk-full error, not as the
// unrelated system error that shares the number.
std::string IoErrorSystemText(int code);

// The Windows error code for the calling thread's last failure (GetLastError on
// Windows; errno mapped to the matching Windows code elsewhere).
int LastSystemError();
int ErrnoToSystemError(int err);

}  // namespace kovan
