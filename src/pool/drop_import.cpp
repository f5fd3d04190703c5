#include "pool/drop_import.hpp"

#include <optional>
#include <unordered_set>

#include "base/file_identity.hpp"
#include "base/file_system.hpp"

namespace kovan {

std::string ExtensionOf(std::string_view path) {
  for (size_t i = path.size(); i > 0; --i) {
    const char c = path[i - 1];
    if (c == '.') return std::string(path.substr(i));
    if (IsPathSeparator(c)) break;
  }
  return {};
}

namespace {

void ScanInto(const std::string& folder, bool subfolders, std::vector<std::string>& out) {
  const std::vector<FolderItem> items = ListFolder(folder);
  for (const FolderItem& item : items) {
    if (!item.isFolder) out.push_back(folder + item.name);
  }
  if (!subfolders) return;
  for (const FolderItem& item : items) {
    // A linked folder may lead back up the tree, or anywhere: only folders
    // that really lie below are entered.
    if (!item.isFolder || item.isLink || item.hidden || item.system || item.name == "." || item.name == "..") continue;
    ScanInto(folder + item.name + kPathSeparator, true, out);
  }
}

}  // namespace

std::vector<std::string> ScanFolder(const std::string& folder, bool subfolders) {
  std::vector<std::string> out;
  ScanInto(folder, subfolders, out);
  return out;
}

namespace {

// The files the pool holds, by identity, so that a file reached by a second
// path (a link beside it, its folder dropped again through a link) is not
// added twice. Built when the first candidate comes, so a drop that brings
// nothing costs nothing; built again when the pool changed behind the import
// (the menu stays usable while the import dispatches messages).
class KnownFiles {
 public:
  explicit KnownFiles(ResourcePool& pool) : pool_(pool) {}

  // Appends `file` unless the pool reaches it already; true when appended.
  // A file whose identity cannot be read is judged by its path alone.
  bool AppendNew(const std::string& file) {
    if (pool_.ContainsPath(file)) return false;
    const std::optional<FileIdentity> id = reader_.Read(file);
    if (id) {
      if (!built_ || builtAt_ != pool_.Revision()) Build();
      if (!identities_.insert(*id).second) return false;
    }
    pool_.Append(kEmptyParam, ExtensionOf(file), file);
    builtAt_ = pool_.Revision();
    return true;
  }

 private:
  void Build() {
    identities_.clear();
    identities_.reserve(pool_.Count());
    for (const PoolEntry& entry : pool_.Entries()) {
      if (auto id = reader_.Read(entry.Field(kFilePath))) identities_.insert(*id);
    }
    built_ = true;
    builtAt_ = pool_.Revision();
  }

  ResourcePool& pool_;
  FileIdentityReader reader_;
  bool built_ = false;
  uint64_t builtAt_ = 0;
  std::unordered_set<FileIdentity, FileIdentityHash> identities_;
};

}  // namespace

size_t ImportDroppedPaths(ResourcePool& pool, const std::vector<std::string>& paths, const DropImportHooks& hooks) {
  // Counted, not taken from the pool's size: the pool may be cleared while
  // the import dispatches messages.
  size_t added = 0;
  KnownFiles known(pool);
  auto stopRequested = [&] { return hooks.pump && hooks.pump(); };
  for (const std::string& dropped : paths) {
    if (hooks.acceptFolders && FolderExists(dropped)) {
      std::string folder = dropped;
      if (folder.empty() || folder.back() != kPathSeparator) folder += kPathSeparator;
      const bool subfolders = hooks.askSubfolders && hooks.askSubfolders(folder);
      for (const std::string& file : ScanFolder(folder, subfolders)) {
        if (!known.AppendNew(file)) continue;
        ++added;
        if (stopRequested()) break;
      }
    } else if (FileExists(dropped)) {
      if (known.AppendNew(dropped)) ++added;
    }
    if (stopRequested()) break;
  }
  return added;
}

}  // namespace kovan
