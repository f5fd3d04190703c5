#include "base/file_identity.hpp"

#include <windows.h>

#include <unordered_map>
#include <vector>

#include "base/file_system.hpp"
#include "base/handles.win32.hpp"
#include "base/text.hpp"

namespace kovan {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::optional<FileIdentity> IdentityOfHandle(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file, &info)) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber,
                      (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
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
  UniqueHandle file(
      CreateFileW(ToWide(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.valid()) return std::nullopt;
  return IdentityOfHandle(file.get());
}

struct FileIdentityReader::Listings {
  struct Folder {
    uint64_t volume = 0;
    // Upper-case name -> file number; 0 where two names share the key.
    std::unordered_map<std::wstring, uint64_t> files;
  };
  std::unordered_map<std::string, Folder> folders;

  // An empty listing when the folder cannot be listed: its files are then
  // opened one by one.
  static Folder List(const std::string& folder) {
    Folder listed;
    UniqueHandle dir(CreateFileW(ToWide(folder).c_str(), FILE_LIST_DIRECTORY, kShareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!dir.valid()) return listed;
    const std::optional<FileIdentity> self = IdentityOfHandle(dir.get());
    if (!self) return listed;
    listed.volume = self->volume;
    std::vector<DWORD> buffer(16 * 1024);  // DWORDs keep the records aligned
    FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
    while (GetFileInformationByHandleEx(dir.get(), kind, buffer.data(),
                                        static_cast<DWORD>(buffer.size() * sizeof(DWORD)))) {
      kind = FileIdBothDirectoryInfo;
      const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data());
      for (size_t at = 0;;) {
        const auto* item = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(bytes + at);
        // A link's own number is not its target's, and some file systems
        // give no numbers in listings: those files are opened instead.
        const bool answers = (item->FileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) == 0 &&
                             item->FileId.QuadPart != 0;
        if (answers) {
          const auto [it, added] =
              listed.files.emplace(NameKey(std::wstring(item->FileName, item->FileNameLength / sizeof(WCHAR))),
                                   static_cast<uint64_t>(item->FileId.QuadPart));
          if (!added) it->second = 0;
        }
        if (item->NextEntryOffset == 0) break;
        at += item->NextEntryOffset;
      }
    }
    return listed;
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
  if (file == listed.files.end() || file->second == 0) return IdentityOfFile(path);
  return FileIdentity{listed.volume, file->second};
}

}  // namespace kovan
