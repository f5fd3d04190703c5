// Turning dropped paths into pool entries: the entry a file yields, the folder
// scan, and the import loop shared by the main window and kovanc.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
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

// Which subfolders a folder scan enters. Linked folders (symbolic links,
// junctions) are never entered: they may lead back up the tree, or anywhere.
enum class Subfolders { None, Visible, All };

// The files of `folder` (which ends in a separator) in file-system order, then
// those of each subfolder `subfolders` lets in (Visible: neither hidden nor a
// system folder), depth first.
std::vector<std::string> ScanFolder(const std::string& folder, Subfolders subfolders);

struct DropImportHooks {
  bool acceptFolders = false;  // the acceptFolders setting
  // Asked once per accepted folder (with its trailing separator): include subfolders?
  std::function<bool(const std::string& folder)> askSubfolders;
  // Dispatches pending window messages; returns true when the import must stop
  // (the user pressed Escape or the application is terminating).
  std::function<bool()> pump;
  // Told of each dropped path, or file of a dropped folder, that no entry may
  // carry (see UnfitPathCharacter); such a path is left out. A folder whose own
  // path is unfit is told once.
  std::function<void(const std::string& path, char unfit)> refused;
};

// The files a pool holds, known by path and by identity, so that a file
// reached by a second path (a link beside it, its folder reached again through
// a link) is not added twice. The identities are read when the first file not
// held by path is offered, and again when the pool has changed behind this
// object's back (a window that dispatches messages while it adds files lets
// the user clear the pool meanwhile).
class HeldFiles {
 public:
  explicit HeldFiles(const ResourcePool& pool);
  ~HeldFiles();
  HeldFiles(const HeldFiles&) = delete;
  HeldFiles& operator=(const HeldFiles&) = delete;

  // Runs `append`, which adds `file` to the pool, unless the pool holds the
  // file already; true when it ran. A file whose identity cannot be read is
  // judged by its path alone.
  bool AppendIfNew(const std::string& file, const std::function<void()>& append);

 private:
  struct Identities;
  void Build();

  const ResourcePool& pool_;
  std::unique_ptr<Identities> identities_;
  bool built_ = false;
  uint64_t builtAt_ = 0;
};

// Appends every dropped file, and the files of dropped folders when folders
// are accepted, that the pool does not hold yet: neither under the same path
// nor under another one that leads to the same file (through a link, say).
// A path no entry may carry is left out and told to hooks.refused.
// Returns the number appended.
size_t ImportDroppedPaths(ResourcePool& pool, const std::vector<std::string>& paths, const DropImportHooks& hooks);

}  // namespace kovan
