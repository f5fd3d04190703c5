// Turning dropped paths into pool entries: the entry a file yields, the folder
// scan, and the import loop shared by the main window and kovanc.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "pool/resource_pool.hpp"

namespace kovan {

// The marker of an entry whose key name has not been given yet.
inline constexpr char kEmptyParam[] = "?";

// The text after the last dot of the path, provided no folder separator
// follows that dot; empty when there is none.
std::string ExtensionOf(std::string_view path);

// The files of `folder` (which ends in a separator) in file-system order, then,
// when `subfolders` is set, those of each subfolder that is neither hidden nor
// a system folder nor a link (symbolic link, junction), depth first.
std::vector<std::string> ScanFolder(const std::string& folder, bool subfolders);

struct DropImportHooks {
  bool acceptFolders = false;  // the Klasor setting
  // Asked once per accepted folder (with its trailing separator): include subfolders?
  std::function<bool(const std::string& folder)> askSubfolders;
  // Dispatches pending window messages; returns true when the import must stop
  // (the user pressed Escape or the application is terminating).
  std::function<bool()> pump;
};

// Appends every dropped file, and the files of dropped folders when folders
// are accepted, that the pool does not hold yet: neither under the same path
// nor under another one that leads to the same file (through a link, say).
// Returns the number appended.
size_t ImportDroppedPaths(ResourcePool& pool, const std::vector<std::string>& paths, const DropImportHooks& hooks);

}  // namespace kovan
