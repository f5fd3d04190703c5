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

void ScanInto(const std::string& folder, Subfolders subfolders, std::vector<std::string>& out) {
  const std::vector<FolderItem> items = ListFolder(folder);
  for (const FolderItem& item : items) {
    if (!item.isFolder) out.push_back(folder + item.name);
  }
  if (subfolders == Subfolders::None) return;
  for (const FolderItem& item : items) {
    if (!item.isFolder || item.isLink || item.name == "." || item.name == "..") continue;
    if (subfolders == Subfolders::Visible && (item.hidden || item.system)) continue;
    ScanInto(folder + item.name + kPathSeparator, subfolders, out);
  }
}

}  // namespace

std::vector<std::string> ScanFolder(const std::string& folder, Subfolders subfolders) {
  std::vector<std::string> out;
  ScanInto(folder, subfolders, out);
  return out;
}

struct HeldFiles::Identities {
  FileIdentityReader reader;
  std::unordered_set<FileIdentity, FileIdentityHash> known;
};

HeldFiles::HeldFiles(const ResourcePool& pool) : pool_(pool), identities_(std::make_unique<Identities>()) {}
HeldFiles::~HeldFiles() = default;

bool HeldFiles::AppendIfNew(const std::string& file, const std::function<void()>& append) {
  if (pool_.ContainsPath(file)) return false;
  if (const std::optional<FileIdentity> id = identities_->reader.Read(file)) {
    if (!built_ || builtAt_ != pool_.Revision()) Build();
    if (!identities_->known.insert(*id).second) return false;
  }
  append();
  builtAt_ = pool_.Revision();
  return true;
}

void HeldFiles::Build() {
  identities_->known.clear();
  identities_->known.reserve(pool_.Count());
  for (const PoolEntry& entry : pool_.Entries()) {
    if (auto id = identities_->reader.Read(entry.Field(kFilePath))) identities_->known.insert(*id);
  }
  built_ = true;
  builtAt_ = pool_.Revision();
}

size_t ImportDroppedPaths(ResourcePool& pool, const std::vector<std::string>& paths, const DropImportHooks& hooks) {
  // Counted, not taken from the pool's size: the pool may be cleared while
  // the import dispatches messages.
  size_t added = 0;
  HeldFiles held(pool);
  auto append = [&](const std::string& file) {
    return held.AppendIfNew(file, [&] { pool.Append(kEmptyParam, ExtensionOf(file), file); });
  };
  auto stopRequested = [&] { return hooks.pump && hooks.pump(); };
  auto fits = [&](const std::string& path) {
    const std::optional<char> unfit = UnfitPathCharacter(path);
    if (unfit && hooks.refused) hooks.refused(path, *unfit);
    return !unfit;
  };
  for (const std::string& dropped : paths) {
    if (!fits(dropped)) {
      if (stopRequested()) break;
      continue;
    }
    if (hooks.acceptFolders && FolderExists(dropped)) {
      std::string folder = dropped;
      if (folder.empty() || folder.back() != kPathSeparator) folder += kPathSeparator;
      const bool subfolders = hooks.askSubfolders && hooks.askSubfolders(folder);
      for (const std::string& file : ScanFolder(folder, subfolders ? Subfolders::Visible : Subfolders::None)) {
        if (!fits(file) || !append(file)) continue;
        ++added;
        if (stopRequested()) break;
      }
    } else if (FileExists(dropped)) {
      if (append(dropped)) ++added;
    }
    if (stopRequested()) break;
  }
  return added;
}

}  // namespace kovan
