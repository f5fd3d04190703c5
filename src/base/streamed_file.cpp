#include "base/streamed_file.hpp"

#include <random>

#include "base/errors.hpp"

#ifdef _WIN32
#include <windows.h>

#include "base/text.hpp"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#endif

namespace kovan {

namespace {

constexpr size_t kWriteBuffer = size_t{1} << 20;

std::string TemporaryNameBeside(const std::string& path) {
  std::random_device random;
  char suffix[18];
  std::snprintf(suffix, sizeof suffix, ".%08x%08x", random(), random());
  return path + suffix + ".tmp";
}

}  // namespace

#ifdef _WIN32

FileReader::FileReader(const std::string& path)
    : handle_(CreateFileW(ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)) {
  if (handle_ == INVALID_HANDLE_VALUE) throw IoError(static_cast<int>(GetLastError()));
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(handle_, &size)) {
    const DWORD err = GetLastError();
    CloseHandle(handle_);
    throw IoError(static_cast<int>(err));
  }
  size_ = static_cast<uint64_t>(size.QuadPart);
}

FileReader::~FileReader() { CloseHandle(handle_); }

void FileReader::ReadAt(uint64_t offset, char* out, size_t count) {
  while (count > 0) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const DWORD chunk = static_cast<DWORD>(count < (1u << 30) ? count : (1u << 30));
    DWORD read = 0;
    if (!ReadFile(handle_, out, chunk, &read, &at)) {
      const DWORD err = GetLastError();
      throw IoError(err == ERROR_HANDLE_EOF ? io_code::kReadBeyondEnd : static_cast<int>(err));
    }
    if (read == 0) throw IoError(io_code::kReadBeyondEnd);
    out += read;
    offset += read;
    count -= read;
  }
}

FileReplacer::FileReplacer(std::string path) : path_(std::move(path)) {
  for (int attempt = 0;; ++attempt) {
    tempPath_ = TemporaryNameBeside(path_);
    handle_ = CreateFileW(ToWide(tempPath_).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                          nullptr);
    if (handle_ != INVALID_HANDLE_VALUE) break;
    const DWORD err = GetLastError();
    if (err != ERROR_FILE_EXISTS || attempt == 15) throw IoError(static_cast<int>(err));
  }
  buffer_.reserve(kWriteBuffer);
}

void FileReplacer::WriteThrough(std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(bytes.size() - done < (1u << 30) ? bytes.size() - done : (1u << 30));
    if (!WriteFile(handle_, bytes.data() + done, chunk, &written, nullptr) ||
        written == 0) {
      const DWORD err = GetLastError();
      throw IoError(err == ERROR_DISK_FULL || err == ERROR_HANDLE_DISK_FULL || written == 0 ? io_code::kDiskFull
                                                                                              : static_cast<int>(err));
    }
    done += written;
  }
}

void FileReplacer::Commit() {
  Flush();
  if (!FlushFileBuffers(handle_)) throw IoError(static_cast<int>(GetLastError()));
  CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
  DWORD err = ERROR_SUCCESS;
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (MoveFileExW(ToWide(tempPath_).c_str(), ToWide(path_).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      committed_ = true;
      return;
    }
    err = GetLastError();
    // A virus scanner or indexer may hold the old file for a moment.
    if (err != ERROR_SHARING_VIOLATION && err != ERROR_LOCK_VIOLATION && err != ERROR_ACCESS_DENIED) break;
    Sleep(50);
  }
  throw IoError(static_cast<int>(err));
}

void FileReplacer::Discard() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  DeleteFileW(ToWide(tempPath_).c_str());
}

#else  // POSIX

FileReader::FileReader(const std::string& path) : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
  if (fd_ < 0) throw IoError(ErrnoToSystemError(errno));
  struct stat st {};
  if (fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode)) {
    const int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
    close(fd_);
    throw IoError(ErrnoToSystemError(err));
  }
  size_ = static_cast<uint64_t>(st.st_size);
  posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
}

FileReader::~FileReader() { close(fd_); }

void FileReader::ReadAt(uint64_t offset, char* out, size_t count) {
  while (count > 0) {
    const ssize_t n = pread(fd_, out, count, static_cast<off_t>(offset));
    if (n < 0) {
      if (errno == EINTR) continue;
      throw IoError(ErrnoToSystemError(errno));
    }
    if (n == 0) throw IoError(io_code::kReadBeyondEnd);
    out += n;
    offset += static_cast<uint64_t>(n);
    count -= static_cast<size_t>(n);
  }
}

FileReplacer::FileReplacer(std::string path) : path_(std::move(path)) {
  for (int attempt = 0;; ++attempt) {
    tempPath_ = TemporaryNameBeside(path_);
    fd_ = open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd_ >= 0) break;
    if (errno != EEXIST || attempt == 15) throw IoError(ErrnoToSystemError(errno));
  }
  buffer_.reserve(kWriteBuffer);
}

void FileReplacer::WriteThrough(std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd_, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw IoError(errno == ENOSPC ? io_code::kDiskFull : ErrnoToSystemError(errno));
    }
    if (n == 0) throw IoError(io_code::kDiskFull);
    done += static_cast<size_t>(n);
  }
}

void FileReplacer::Commit() {
  Flush();
  if (fsync(fd_) != 0) throw IoError(ErrnoToSystemError(errno));
  const int closed = close(fd_);
  fd_ = -1;
  if (closed != 0) throw IoError(ErrnoToSystemError(errno));
  if (rename(tempPath_.c_str(), path_.c_str()) != 0) throw IoError(ErrnoToSystemError(errno));
  committed_ = true;
}

void FileReplacer::Discard() {
  if (fd_ >= 0) close(fd_);
  unlink(tempPath_.c_str());
}

#endif

FileReplacer::~FileReplacer() {
  if (!committed_) Discard();
}

void FileReplacer::Flush() {
  WriteThrough(buffer_);
  buffer_.clear();
}

void FileReplacer::Write(std::string_view bytes) {
  if (buffer_.size() + bytes.size() > kWriteBuffer) {
    Flush();
    if (bytes.size() >= kWriteBuffer) return WriteThrough(bytes);
  }
  buffer_.append(bytes);
}

}  // namespace kovan
