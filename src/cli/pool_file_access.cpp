#include "cli/pool_file_access.hpp"

#include <cerrno>

#include "base/errors.hpp"
#include "cli/commands.hpp"
#include "pool/pool_file.hpp"

#ifdef _WIN32
#include <windows.h>

#include <functional>

#include "base/file_system.hpp"
#include "base/text.hpp"
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kovan::cli {

#ifdef _WIN32

// The list is replaced by a rename, which a lock on the file itself would not
// survive: a mutex named after the full path stands for the file.
PoolFileLock::PoolFileLock(const std::string& file, bool) {
  const std::string full = AsciiUpper(FullPathOf(file));
  const std::wstring name = L"Local\\kovanc-pool-" + std::to_wstring(std::hash<std::string>{}(full));
  mutex_ = CreateMutexW(nullptr, FALSE, name.c_str());
  if (mutex_ && WaitForSingleObject(mutex_, INFINITE) == WAIT_FAILED) {
    CloseHandle(mutex_);
    mutex_ = nullptr;
  }
}

PoolFileLock::~PoolFileLock() {
  if (!mutex_) return;
  ReleaseMutex(mutex_);
  CloseHandle(mutex_);
}

#else

PoolFileLock::PoolFileLock(const std::string& file, bool create) {
  // The lock is taken on the file the name leads to. Another run may have put
  // a new file in its place while we waited; then the lock is taken again on
  // the new one. Without a file to lock (none there, or none may be made)
  // the command goes on unlocked and meets the failure where it reads or writes.
  for (int attempt = 0; attempt < 100; ++attempt) {
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC | (create ? O_CREAT : 0), 0666);
    if (fd < 0) return;
    int locked;
    while ((locked = flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
    }
    struct stat held {};
    struct stat named {};
    if (locked == 0 && fstat(fd, &held) == 0 && stat(file.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
        held.st_ino == named.st_ino) {
      fd_ = fd;
      return;
    }
    close(fd);
    if (locked != 0) return;
  }
}

PoolFileLock::~PoolFileLock() {
  if (fd_ >= 0) close(fd_);
}

#endif

ResourcePool ReadPoolOrExit(const std::string& file) {
  ResourcePool pool;
  std::string reason;
  try {
    const PoolReadResult read = ReadPoolFile(pool, file);
    if (read.opened) return pool;
    reason = SystemErrorText(read.openError);
  } catch (const IoError& e) {
    reason = e.what();  // opened, but a read failed
  }
  PrintError("kovanc: cannot read " + file + ": " + reason + "\n");
  Exit(1);
}

void WritePoolOrExit(const ResourcePool& pool, const std::string& file) {
  try {
    WritePoolFile(pool, file);
  } catch (const IoError& e) {
    PrintError("kovanc: cannot write " + file + ": " + e.what() + "\n");
    Exit(1);
  }
}

}  // namespace kovan::cli
