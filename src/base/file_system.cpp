#include "base/file_system.hpp"

#include <chrono>
#include <cstdio>
#include <random>
#include <thread>
#include <unordered_map>

#include "base/errors.hpp"

#ifdef _WIN32
#include <windows.h>

#include "base/handles.win32.hpp"
#include "base/text.hpp"
#else
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#endif

namespace kovan {

bool IsPathSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == ':';
#else
  // Elsewhere a backslash or a colon is an ordinary character of a name.
  return c == '/';
#endif
}

std::string FolderOf(std::string_view path) {
  for (size_t i = path.size(); i > 0; --i) {
    if (IsPathSeparator(path[i - 1])) return std::string(path.substr(0, i));
  }
  return {};
}

std::string FileNameOf(std::string_view path) {
  for (size_t i = path.size(); i > 0; --i) {
    if (IsPathSeparator(path[i - 1])) return std::string(path.substr(i));
  }
  return std::string(path);
}

PendingOutput::~PendingOutput() { Discard(); }

namespace {

// A part of a temporary name that another run is unlikely to pick too; the
// name is then taken exclusively, so a clash only costs another try.
std::string RandomSuffix() {
  static std::mt19937_64 generator{std::random_device{}() ^
                                   static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(generator()));
  return text;
}

}  // namespace

#ifdef _WIN32

std::wstring ToSystemPath(const std::string& path) {
  std::wstring wide = ToWide(path);
  // Below the old limit (less the room a folder's 8.3 name needs) a path goes
  // as it is; a longer full one is marked so that the system takes it whole.
  if (wide.size() < MAX_PATH - 12 || wide.rfind(L"\\\\?\\", 0) == 0) return wide;
  if (wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\') return L"\\\\?\\" + wide;
  if (wide.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + wide.substr(2);
  return wide;
}

namespace {

bool ListingShowsFile(const std::string& path) {
  WIN32_FIND_DATAW data;
  UniqueFindHandle find(FindFirstFileW(ToSystemPath(path).c_str(), &data));
  return find.valid() && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

bool FileExists(const std::string& path) {
  const DWORD attrs = GetFileAttributesW(ToSystemPath(path).c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES) return (attrs & FILE_ATTRIBUTE_DIRECTORY) == 0;
  const DWORD err = GetLastError();
  if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND || err == ERROR_INVALID_NAME) return false;
  return ListingShowsFile(path);
}

bool FolderExists(const std::string& path) {
  const DWORD attrs = GetFileAttributesW(ToSystemPath(path).c_str());
  return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsExecutableFile(const std::string& path) { return FileExists(path); }

std::optional<uint64_t> FileSizeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(ToSystemPath(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void VisitFolder(const std::string& folder, const std::function<bool(const FolderItem&)>& visit) {
  std::string mask = folder;
  if (!mask.empty() && mask.back() != '\\') mask += '\\';
  mask += "*.*";
  WIN32_FIND_DATAW data;
  UniqueFindHandle find(FindFirstFileExW(ToSystemPath(mask).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                         nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!find.valid()) return;
  do {
    FolderItem item;
    item.name = ToUtf8(data.cFileName);
    item.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    item.hidden = (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
    item.system = (data.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
    item.isLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (!visit(item)) return;
  } while (FindNextFileW(find.get(), &data));
}

std::string ExeFolder() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  return FolderOf(ToUtf8(buffer));
}

std::optional<std::string> ReadWholeFile(const std::string& path, int* openError) {
  UniqueHandle file(CreateFileW(ToSystemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.valid()) {
    if (openError) *openError = static_cast<int>(GetLastError());
    return std::nullopt;
  }
  std::string bytes;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0) bytes.reserve(static_cast<size_t>(size.QuadPart));
  char chunk[64 * 1024];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr)) throw IoError(static_cast<int>(GetLastError()));
    if (got == 0) break;
    bytes.append(chunk, got);
  }
  return bytes;
}

namespace {

bool IsSharingError(DWORD err) { return err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION; }

// The full form of a path: the replace calls refuse a bare file name.
std::wstring FullWidePath(const std::string& path) {
  const std::wstring wide = ToWide(path);
  const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return wide;
  std::wstring full(needed, L'\0');
  const DWORD written = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
  if (written == 0 || written >= needed) return wide;
  full.resize(written);
  return full;
}

unsigned long ReplaceWithSystemCall(const wchar_t* target, const wchar_t* replacement) {
  return ReplaceFileW(target, replacement, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
             ? ERROR_SUCCESS
             : GetLastError();
}

}  // namespace

std::string FullPathOf(const std::string& path) { return path.empty() ? path : ToUtf8(FullWidePath(path)); }

void ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  ReplaceFileAtomically(path, bytes, ReplaceWithSystemCall);
}

void ReplaceFileAtomically(const std::string& path, std::string_view bytes, ReplaceExistingFile replace) {
  const std::wstring target = ToSystemPath(ToUtf8(FullWidePath(path)));
  // Find out first whether the target may be replaced at all, so that a file held
  // open by another program reports the sharing violation itself rather than the
  // replace call's less telling code.
  {
    UniqueHandle probe(CreateFileW(target.c_str(), GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe.valid()) {
      const DWORD err = GetLastError();
      if (err != ERROR_FILE_NOT_FOUND) throw IoError(static_cast<int>(err));
    }
  }
  const std::wstring temp = target + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
  {
    UniqueHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) throw IoError(static_cast<int>(GetLastError()));
    size_t done = 0;
    while (done < bytes.size()) {
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
      DWORD written = 0;
      if (!WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0) {
        const DWORD err = written == 0 && GetLastError() == ERROR_SUCCESS ? 101 : GetLastError();
        file.reset();
        DeleteFileW(temp.c_str());
        throw IoError(err == ERROR_DISK_FULL || err == ERROR_HANDLE_DISK_FULL ? 101 : static_cast<int>(err));
      }
      done += written;
    }
    if (!FlushFileBuffers(file.get())) {
      const DWORD err = GetLastError();
      file.reset();
      DeleteFileW(temp.c_str());
      throw IoError(static_cast<int>(err));
    }
  }
  DWORD err = ERROR_SUCCESS;
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
      err = replace(target.c_str(), temp.c_str());
      if (err == ERROR_SUCCESS) return;
    } else if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return;
    } else {
      err = GetLastError();
    }
    // After these two the old file is gone or renamed and only the temporary
    // file holds the data: it is moved into place, or kept and named.
    if (err == ERROR_UNABLE_TO_MOVE_REPLACEMENT || err == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
      for (int retry = 0; retry < 10; ++retry) {
        if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return;
        Sleep(50);
      }
      throw IoError(static_cast<int>(err), IoErrorText(static_cast<int>(err)) + ". The new contents of \"" + path +
                                               "\" are kept in \"" + ToUtf8(temp) + "\"");
    }
    // A virus scanner or indexer may hold the file for a moment.
    if (!IsSharingError(err) && err != ERROR_UNABLE_TO_REMOVE_REPLACED && err != ERROR_ACCESS_DENIED) break;
    Sleep(50);
  }
  // Here the target still holds its old contents, so the copy can go.
  DeleteFileW(temp.c_str());
  if (err == ERROR_UNABLE_TO_REMOVE_REPLACED) err = ERROR_SHARING_VIOLATION;
  throw IoError(static_cast<int>(err));
}

PendingOutput::PendingOutput(std::string target) : target_(std::move(target)) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    path_ = FolderOf(target_) + "~" + RandomSuffix() + "-" + FileNameOf(target_);
    UniqueHandle file(CreateFileW(ToSystemPath(path_).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.valid()) return;
    const DWORD err = GetLastError();
    if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) throw IoError(static_cast<int>(err));
  }
  throw IoError(ERROR_FILE_EXISTS);
}

void PendingOutput::Commit() {
  if (!MoveFileExW(ToSystemPath(path_).c_str(), ToSystemPath(target_).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    throw IoError(static_cast<int>(GetLastError()));
  }
  done_ = true;
}

void PendingOutput::Discard() {
  if (!done_) DeleteFileW(ToSystemPath(path_).c_str());
  done_ = true;
}

#else  // POSIX

bool FileExists(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) == 0) return !S_ISDIR(st.st_mode);
  if (errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG || path.empty()) return false;
  const std::string folder = FolderOf(path);
  const std::string name = FileNameOf(path);
  for (const FolderItem& item : ListFolder(folder.empty() ? "." : folder)) {
    if (item.name == name) return !item.isFolder;
  }
  return false;
}

bool FolderExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::optional<uint64_t> FileSizeOf(const std::string& path) {
  struct stat st {};
  if (path.empty() || stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
  return static_cast<uint64_t>(st.st_size);
}

void VisitFolder(const std::string& folder, const std::function<bool(const FolderItem&)>& visit) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  std::string base = folder;
  if (!base.empty() && base.back() != '/') base += '/';
  while (const dirent* entry = readdir(dir)) {
    FolderItem item;
    item.name = entry->d_name;
    bool isFolder = entry->d_type == DT_DIR;
    item.isLink = entry->d_type == DT_LNK;
    if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
      struct stat st {};
      if (entry->d_type == DT_UNKNOWN && lstat((base + item.name).c_str(), &st) == 0) item.isLink = S_ISLNK(st.st_mode);
      isFolder = stat((base + item.name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    item.isFolder = isFolder;
    // Dot names are the hidden entries of POSIX systems.
    item.hidden = !item.name.empty() && item.name[0] == '.' && item.name != "." && item.name != "..";
    if (!visit(item)) break;
  }
  closedir(dir);
}

std::string ExeFolder() {
  std::string buffer(PATH_MAX, '\0');
  const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0) return "./";
  buffer.resize(static_cast<size_t>(n));
  return FolderOf(buffer);
}

std::string FullPathOf(const std::string& path) {
  if (path.empty() || path.front() == '/') return path;
  std::error_code error;
  const std::filesystem::path current = std::filesystem::current_path(error);
  if (error) return path;
  return (current / path).lexically_normal().string();
}

std::optional<std::string> ReadWholeFile(const std::string& path, int* openError) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (openError) *openError = ErrnoToSystemError(errno);
    return std::nullopt;
  }
  struct stat st {};
  if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    close(fd);
    if (openError) *openError = 5;
    return std::nullopt;
  }
  std::string bytes;
  if (st.st_size > 0) bytes.reserve(static_cast<size_t>(st.st_size));
  char chunk[64 * 1024];
  for (;;) {
    const ssize_t got = read(fd, chunk, sizeof chunk);
    if (got < 0) {
      if (errno == EINTR) continue;
      const int err = ErrnoToSystemError(errno);
      close(fd);
      throw IoError(err);
    }
    if (got == 0) break;
    bytes.append(chunk, static_cast<size_t>(got));
  }
  close(fd);
  return bytes;
}

namespace {

// The file a write to `path` should end up in: a symbolic link is followed to
// its target (which may not exist yet), so that the link stays a link.
std::string ResolveLinks(const std::string& path) {
  std::string current = path;
  for (int depth = 0; depth < 40; ++depth) {
    struct stat st {};
    if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    std::string link(PATH_MAX, '\0');
    const ssize_t n = readlink(current.c_str(), link.data(), link.size());
    if (n <= 0) return current;
    link.resize(static_cast<size_t>(n));
    current = link.front() == '/' ? link : FolderOf(current) + link;
  }
  throw IoError(ErrnoToSystemError(ELOOP));
}

// Creates a new file beside `target` under a name nobody can guess, never
// through an existing file or link of that name.
int CreateTemporaryBeside(const std::string& target, std::string& temp) {
  std::random_device random;
  for (int attempt = 0; attempt < 16; ++attempt) {
    char suffix[17];
    std::snprintf(suffix, sizeof suffix, "%08x%08x", random(), random());
    temp = target + "." + suffix + ".tmp";
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) throw IoError(ErrnoToSystemError(errno));
  }
  throw IoError(ErrnoToSystemError(EEXIST));
}

}  // namespace

void ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string target = ResolveLinks(path);
  // A file nobody may write to is refused, as the read-only attribute is on
  // Windows, even for the superuser: replacing it would go round the owner's
  // wish, since only the folder's permissions count for a rename.
  struct stat old {};
  const bool replacing = stat(target.c_str(), &old) == 0;
  if (replacing && S_ISREG(old.st_mode) && ((old.st_mode & 0222) == 0 || access(target.c_str(), W_OK) != 0)) {
    throw IoError(io_code::kAccessDenied);
  }
  std::string temp;
  const int fd = CreateTemporaryBeside(target, temp);
  auto fail = [&](int err) {
    close(fd);
    unlink(temp.c_str());
    throw IoError(err);
  };
  // The new file keeps the permissions and, where we may give it, the owner
  // and group of the one it replaces.
  if (replacing) {
    if (fchown(fd, old.st_uid, old.st_gid) != 0 && fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
      // Not a member of the old group: the file keeps ours.
    }
    if (fchmod(fd, old.st_mode & 07777) != 0) fail(ErrnoToSystemError(errno));
  }
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail(errno == ENOSPC ? io_code::kDiskFull : ErrnoToSystemError(errno));
    }
    if (n == 0) fail(io_code::kDiskFull);
    done += static_cast<size_t>(n);
  }
  if (fsync(fd) != 0) fail(ErrnoToSystemError(errno));
  if (close(fd) != 0) {
    const int err = ErrnoToSystemError(errno);
    unlink(temp.c_str());
    throw IoError(err);
  }
  if (rename(temp.c_str(), target.c_str()) != 0) {
    const int err = ErrnoToSystemError(errno);
    unlink(temp.c_str());
    throw IoError(err);
  }
}

PendingOutput::PendingOutput(std::string target) : target_(std::move(target)) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    path_ = FolderOf(target_) + "~" + RandomSuffix() + "-" + FileNameOf(target_);
    const int fd = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) {
      close(fd);
      return;
    }
    if (errno != EEXIST) throw IoError(ErrnoToSystemError(errno));
  }
  throw IoError(ErrnoToSystemError(EEXIST));
}

void PendingOutput::Commit() {
  if (rename(path_.c_str(), target_.c_str()) != 0) throw IoError(ErrnoToSystemError(errno));
  done_ = true;
}

void PendingOutput::Discard() {
  if (!done_) unlink(path_.c_str());
  done_ = true;
}

#endif

std::vector<FolderItem> ListFolder(const std::string& folder) {
  std::vector<FolderItem> items;
  VisitFolder(folder, [&items](const FolderItem& item) {
    items.push_back(item);
    return true;
  });
  return items;
}

std::vector<bool> FilesExist(const std::vector<std::string>& paths) {
  // Asking for each file costs a system call (a slow one under Wine) per
  // path; a folder that holds many of them is listed once instead. The
  // listing only ever confirms a file: a name it does not show exactly as
  // written (another letter case, a short name, a link) is asked for alone.
  constexpr size_t kListFrom = 8;
  std::vector<bool> exists(paths.size(), false);
  std::vector<bool> settled(paths.size(), false);
  std::unordered_map<std::string, std::vector<size_t>> byFolder;
  for (size_t i = 0; i < paths.size(); ++i) byFolder[FolderOf(paths[i])].push_back(i);
  for (const auto& [folder, indexes] : byFolder) {
    if (folder.empty() || indexes.size() < kListFrom) continue;
    std::unordered_map<std::string, std::vector<size_t>> wanted;
    for (const size_t i : indexes) wanted[FileNameOf(paths[i])].push_back(i);
    // A folder far larger than the part the pool uses is not read to its end.
    size_t budget = indexes.size() * 16 + 256;
    size_t left = wanted.size();
    VisitFolder(folder, [&](const FolderItem& item) {
      if (!item.isFolder && !item.isLink) {
        if (const auto found = wanted.find(item.name); found != wanted.end() && !found->second.empty()) {
          for (const size_t i : found->second) exists[i] = settled[i] = true;
          found->second.clear();
          --left;
        }
      }
      return left > 0 && --budget > 0;
    });
  }
  for (size_t i = 0; i < paths.size(); ++i) {
    if (!settled[i]) exists[i] = FileExists(paths[i]);
  }
  return exists;
}

}  // namespace kovan
