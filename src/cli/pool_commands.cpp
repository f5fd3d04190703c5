// kovanc pool list / pool add.
#include <nlohmann/json.hpp>

#include "base/errors.hpp"
#include "base/file_system.hpp"
#include "cli/commands.hpp"
#include "pool/drop_import.hpp"
#include "pool/pool_file.hpp"

namespace kovan::cli {

namespace {

void ListPool(const std::string& file, bool json) {
  ResourcePool pool;
  const PoolReadResult read = ReadPoolFile(pool, file);
  if (!read.opened) {
    PrintError("kovanc: cannot read " + file + ": " + SystemErrorText(read.openError) + "\n");
    Exit(1);
  }
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
  ResourcePool pool;
  if (FileExists(file)) {
    const PoolReadResult read = ReadPoolFile(pool, file);
    if (!read.opened) {
      // Writing now would replace a file we could not read.
      PrintError("kovanc: cannot read " + file + ": " + SystemErrorText(read.openError) + "\n");
      Exit(1);
    }
  }
  DropImportHooks hooks;
  hooks.acceptFolders = folders;
  hooks.askSubfolders = [subfolders](const std::string&) { return subfolders; };
  ImportDroppedPaths(pool, paths, hooks);
  WritePoolFile(pool, file);
  Print(std::to_string(pool.Count()) + "\n");
}

void Install(CLI::App& app) {
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
}

const CommandRegistration registration(10, Install);

}  // namespace

}  // namespace kovan::cli
