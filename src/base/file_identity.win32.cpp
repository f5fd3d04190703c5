#include "base/file_identity.hpp"

#include <windows.h>

#include <cstring>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/file_system.hpp"
#include "base/handles.win32.hpp"
#include "base/text.hpp"

namespace kovan {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The two halves of a 128-bit file number, low first.
std::pair<uint64_t, uint64_t> Halves(const FILE_ID_128& id) {
  uint64_t low = 0;
  uint64_t high = 0;
  std::memcpy(&low, id.Identifier, sizeof low);
  std::memcpy(&high, id.Identifier + sizeof low, sizeof high);
  return {low, high};
}

// The 128-bit number where the system gives one (Windows 8 and later); the
// 64-bit one, which is the same number on NTFS, where it does not.
std::optional<FileIdentity> IdentityOfHandle(HANDLE file) {
  FILE_ID_INFO wide{};
  if (GetFileInformationByHandleEx(file, FileIdInfo, &wide, sizeof wide)) {
    const auto [low, high] = Halves(wide.FileId);
    return FileIdentity{wide.VolumeSerialNumber, low, high};
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file, &info)) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber,
                      (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow, 0};
}

// File names compare without regard to case, as the file system does; a name
// whose upper-case form two entries share is not answered from the listing.
std::wstring NameKey(std::wstring name) {
  if (!name.empty()) CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
  return name;
}

}  // namespace

std::optional<FileIdentity> IdentityOfFile(const std::string& path) {
  // No access rights asked, and every kind of sharing allowed, so a file that
  // another program holds open still answers; backup semantics let a folder
  // be opened too. Links and junctions are followed to their target.
  UniqueHandle file(CreateFileW(ToSystemPath(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.valid()) return std::nullopt;
  return IdentityOfHandle(file.get());
}

struct FileIdentityReader::Listings {
  struct Folder {
    uint64_t volume = 0;
    // Upper-case name -> file number (low, high); 0 where two names share the key.
    std::unordered_map<std::wstring, std::pair<uint64_t, uint64_t>> files;
  };
  std::unordered_map<std::string, Folder> folders;

  // An empty listing when the folder cannot be listed: its files are then
  // opened one by one. The listing gives the same numbers as the handles:
  // 128 bits where the system can list them so, else 64.
  static Folder List(const std::string& folder) {
    Folder listed;
    UniqueHandle dir(CreateFileW(ToSystemPath(folder).c_str(), FILE_LIST_DIRECTORY, kShareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!dir.valid()) return listed;
    const std::optional<FileIdentity> self = IdentityOfHandle(dir.get());
    if (!self) return listed;
    listed.volume = self->volume;
    if (!ListInto<FILE_ID_EXTD_DIR_INFO>(dir.get(), FileIdExtdDirectoryRestartInfo, FileIdExtdDirectoryInfo, listed) &&
        listed.files.empty()) {
      ListInto<FILE_ID_BOTH_DIR_INFO>(dir.get(), FileIdBothDirectoryRestartInfo, FileIdBothDirectoryInfo, listed);
    }
    return listed;
  }

  static std::pair<uint64_t, uint64_t> NumberOf(const FILE_ID_EXTD_DIR_INFO& item) { return Halves(item.FileId); }
  static std::pair<uint64_t, uint64_t> NumberOf(const FILE_ID_BOTH_DIR_INFO& item) {
    return {static_cast<uint64_t>(item.FileId.QuadPart), 0};
  }

  // Reads the listing in records of type Info; false when the system cannot
  // list the folder that way.
  template <typename Info>
  static bool ListInto(HANDLE dir, FILE_INFO_BY_HANDLE_CLASS first, FILE_INFO_BY_HANDLE_CLASS next, Folder& listed) {
    std::vector<DWORD> buffer(16 * 1024);  // DWORDs keep the records aligned
    FILE_INFO_BY_HANDLE_CLASS kind = first;
    while (GetFileInformationByHandleEx(dir, kind, buffer.data(), static_cast<DWORD>(buffer.size() * sizeof(DWORD)))) {
      kind = next;
      const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data());
      for (size_t at = 0;;) {
        const auto* item = reinterpret_cast<const Info*>(bytes + at);
        const auto [low, high] = NumberOf(*item);
        // A link's own number is not its target's, and some file systems
        // give no numbers in listings: those files are opened instead.
        const bool answers = (item->FileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) == 0 &&
                             (low | high) != 0;
        if (answers) {
          const auto [it, added] = listed.files.emplace(
              NameKey(std::wstring(item->FileName, item->FileNameLength / sizeof(WCHAR))), std::pair{low, high});
          if (!added) it->second = {0, 0};
        }
        if (item->NextEntryOffset == 0) break;
        at += item->NextEntryOffset;
      }
    }
    return kind == next || GetLastError() == ERROR_NO_MORE_FILES;
  }
};

FileIdentityReader::FileIdentityReader() : listings_(std::make_unique<Listings>()) {}
FileIdentityReader::~FileIdentityReader() = default;

std::optional<FileIdentity> FileIdentityReader::Read(const std::string& path) {
  const std::string folder = FolderOf(path);
  const std::string name = FileNameOf(path);
  if (folder.empty() || name.empty()) return IdentityOfFile(path);
  auto it = listings_->folders.find(folder);
  if (it == listings_->folders.end()) it = listings_->folders.emplace(folder, Listings::List(folder)).first;
  const Listings::Folder& listed = it->second;
  const auto file = listed.files.find(NameKey(ToWide(name)));
  if (file == listed.files.end() || (file->second.first | file->second.second) == 0) return IdentityOfFile(path);
  return FileIdentity{listed.volume, file->second.first, file->second.second};
}

}  // namespace kovan
