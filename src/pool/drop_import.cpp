#include "pool/drop_import.hpp"

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

size_t ImportDroppedPaths(ResourcePool& pool, const std::vector<std::string>& paths, const DropImportHooks& hooks) {
  const size_t before = pool.Count();
  auto stopRequested = [&] { return hooks.pump && hooks.pump(); };
  for (const std::string& dropped : paths) {
    if (hooks.acceptFolders && FolderExists(dropped)) {
      std::string folder = dropped;
      if (folder.empty() || folder.back() != kPathSeparator) folder += kPathSeparator;
      const bool subfolders = hooks.askSubfolders && hooks.askSubfolders(folder);
      for (const std::string& file : ScanFolder(folder, subfolders)) {
        if (pool.ContainsPath(file)) continue;
        pool.Append(kEmptyParam, ExtensionOf(file), file);
        if (stopRequested()) break;
      }
    } else if (FileExists(dropped) && !pool.ContainsPath(dropped)) {
      pool.Append(kEmptyParam, ExtensionOf(dropped), dropped);
    }
    if (stopRequested()) break;
  }
  return pool.Count() - before;
}

}  // namespace kovan
