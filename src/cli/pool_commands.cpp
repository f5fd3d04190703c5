// kovanc pool list / add / set / remove.
#include <nlohmann/json.hpp>
#include <optional>
#include <unordered_set>

#include "base/errors.hpp"
#include "base/file_system.hpp"
#include "base/text.hpp"
#include "cli/commands.hpp"
#include "cli/pool_file_access.hpp"
#include "pool/drop_import.hpp"
#include "pool/key_filter.hpp"

namespace kovan::cli {

namespace {

void ListPool(const std::string& file, bool json) {
  const ResourcePool pool = ReadPoolOrExit(file);
  if (json) {
    nlohmann::json out = nlohmann::json::array();
    for (const PoolEntry& entry : pool.Entries()) out.push_back(entry.fields);
    Print(out.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n");
    return;
  }
  std::string text;
  for (const PoolEntry& entry : pool.Entries()) {
    for (size_t i = 0; i < entry.fields.size(); ++i) {
      if (i > 0) text += '\t';
      text += entry.fields[i];
    }
    text += '\n';
  }
  Print(text);
}

void AddToPool(const std::string& file, const std::vector<std::string>& paths, bool folders, bool subfolders) {
  const PoolFileLock lock(file, true);
  // A list that is there but cannot be read ends the command: writing would
  // replace it.
  ResourcePool pool = FileExists(file) ? ReadPoolOrExit(file) : ResourcePool();
  // Paths are stored full, as a drop gives them, so that the list means the
  // same to a program started from another folder.
  std::vector<std::string> found;
  bool failed = false;
  for (const std::string& path : paths) {
    const std::string full = FullPathOf(path);
    if (FolderExists(full) && !folders) {
      PrintError("kovanc: " + path + " is a folder; add the files in it with --folders (and those of its subfolders " +
                 "with --subfolders as well)\n");
      failed = true;
    } else if (FileExists(full) || FolderExists(full) || UnfitPathCharacter(full)) {
      found.push_back(full);
    } else {
      PrintError("kovanc: " + path + ": " + IoErrorText(io_code::kFileNotFound) + "\n");
      failed = true;
    }
  }
  DropImportHooks hooks;
  hooks.acceptFolders = folders;
  hooks.askSubfolders = [subfolders](const std::string&) { return subfolders; };
  hooks.refused = [&failed](const std::string& path, char unfit) {
    PrintError("kovanc: \"" + ShowControlBytes(path) + "\" was not added: its path holds " +
               DescribeUnfitCharacter(unfit) + ", which a pool entry cannot carry\n");
    failed = true;
  };
  ImportDroppedPaths(pool, found, hooks);
  WritePoolOrExit(pool, file);
  Print(std::to_string(pool.Count()) + "\n");
  if (failed) Exit(1);
}

// A key name or type as the pool window stores an edit of it in `file`.
std::string EditedValue(const std::string& file, const char* what, const std::string& value) {
  if (const std::optional<std::string> refused = FirstRefusedCharacter(value)) {
    PrintError("kovanc: " + file + ": the " + what + " \"" + value + "\" holds \"" + *refused +
               "\", which a key name or type cannot hold\n");
    Exit(1);
  }
  return NormalizeEditedValue(value);
}

void SetInPool(const std::string& file, const std::string& path, const std::optional<std::string>& key,
               const std::optional<std::string>& type) {
  const std::optional<std::string> newKey = key ? std::optional(EditedValue(file, "key", *key)) : std::nullopt;
  const std::optional<std::string> newType = type ? std::optional(EditedValue(file, "type", *type)) : std::nullopt;
  const PoolFileLock lock(file, false);
  ResourcePool pool = ReadPoolOrExit(file);
  if (!pool.ContainsPath(path)) {
    PrintError("kovanc: " + path + " is not in " + file + "\n");
    Exit(1);
  }
  // A hand-edited list may name a file twice; every entry of it changes.
  for (size_t i = 0; i < pool.Count(); ++i) {
    if (pool.Field(i, kFilePath) != path) continue;
    if (newKey) pool.SetField(i, kKeyName, *newKey);
    if (newType) pool.SetField(i, kResourceType, *newType);
  }
  WritePoolOrExit(pool, file);
}

void RemoveFromPool(const std::string& file, const std::vector<std::string>& paths) {
  const PoolFileLock lock(file, false);
  ResourcePool pool = ReadPoolOrExit(file);
  for (const std::string& path : paths) {
    if (!pool.ContainsPath(path)) {
      PrintError("kovanc: " + path + " is not in " + file + "\n");
      Exit(1);
    }
  }
  const std::unordered_set<std::string> removed(paths.begin(), paths.end());
  std::vector<PoolEntry> kept;
  for (const PoolEntry& entry : pool.Entries()) {
    if (!removed.contains(entry.Field(kFilePath))) kept.push_back(entry);
  }
  pool.ReplaceAll(std::move(kept));
  WritePoolOrExit(pool, file);
  Print(std::to_string(pool.Count()) + "\n");
}

}  // namespace

void InstallPoolCommands(CLI::App& app) {
  CLI::App* pool = app.add_subcommand("pool", "Read and change pool list files (Liste.kvl)");
  pool->require_subcommand(1);

  struct ListArgs {
    bool json = false;
    std::string file;
  };
  auto list = std::make_shared<ListArgs>();
  CLI::App* listCmd = pool->add_subcommand("list", "Print the entries of a pool list file as the loader reads them");
  listCmd->add_flag("--json", list->json, "One JSON array with the fields of each entry");
  AddCodePageOption(listCmd);
  listCmd->add_option("FILE", list->file, "Pool list file")->required();
  listCmd->callback([list] { ListPool(list->file, list->json); });

  struct AddArgs {
    bool folders = false;
    bool subfolders = false;
    std::string file;
    std::vector<std::string> paths;
  };
  auto add = std::make_shared<AddArgs>();
  CLI::App* addCmd = pool->add_subcommand("add", "Add files (and folders) to a pool list file as a drop does");
  addCmd->add_flag("--folders", add->folders, "Accept folders and add their files");
  addCmd->add_flag("--subfolders", add->subfolders, "Include the files of subfolders of added folders");
  AddCodePageOption(addCmd);
  addCmd->add_option("FILE", add->file, "Pool list file (created when missing)")->required();
  addCmd->add_option("PATH", add->paths, "Files or folders to add")->required();
  addCmd->callback([add] { AddToPool(add->file, add->paths, add->folders, add->subfolders); });

  struct SetArgs {
    std::string file;
    std::string path;
    std::optional<std::string> key;
    std::optional<std::string> type;
  };
  auto set = std::make_shared<SetArgs>();
  CLI::App* setCmd = pool->add_subcommand(
      "set", "Give an entry its key name or type as the pool window stores an edit (spaces dropped, upper case)");
  setCmd->add_option("--key", set->key, "Key name: 0-9, A-Z, a-z and _ (empty gives \"?\")");
  setCmd->add_option("--type", set->type, "Resource type: the same characters");
  AddCodePageOption(setCmd);
  setCmd->add_option("FILE", set->file, "Pool list file")->required();
  setCmd->add_option("PATH", set->path, "The entry's file path, exactly as listed")->required();
  setCmd->callback([set] {
    if (!set->key && !set->type) {
      PrintError("kovanc: pool set needs --key or --type\n");
      Exit(1);
    }
    SetInPool(set->file, set->path, set->key, set->type);
  });

  struct RemoveArgs {
    std::string file;
    std::vector<std::string> paths;
  };
  auto remove = std::make_shared<RemoveArgs>();
  CLI::App* removeCmd = pool->add_subcommand("remove", "Remove entries by their file paths; prints the entries left");
  AddCodePageOption(removeCmd);
  removeCmd->add_option("FILE", remove->file, "Pool list file")->required();
  removeCmd->add_option("PATH", remove->paths, "File paths of the entries, exactly as listed")->required();
  removeCmd->callback([remove] { RemoveFromPool(remove->file, remove->paths); });
}

}  // namespace kovan::cli
