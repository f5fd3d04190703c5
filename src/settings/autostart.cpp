#include "settings/autostart.hpp"

#include <filesystem>
#include <system_error>

#include "base/file_system.hpp"

namespace kovan {

namespace {

constexpr char kExplorerKey[] = "Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer";

}  // namespace

std::string StartupFolderFromRegistry(Registry& registry) {
  // The key is created on the way, as the shell itself expects it to exist; a
  // failure only means the value below cannot be there either.
  (void)registry.CreateKey(RegistryRoot::CurrentUser, kExplorerKey);
  RegistryValue value;
  const std::string shellFolders = std::string(kExplorerKey) + "\\Shell Folders";
  if (registry.ReadValue(RegistryRoot::CurrentUser, shellFolders, "Startup", value) != RegistryStatus::Ok) return "";
  // An unexpanded REG_EXPAND_SZ would give a path with %VARIABLES% in it;
  // only plain text names a folder.
  if (value.type != kRegSz) return "";
  return value.AsText();
}

void BringStartupShortcutInLine(StartupShortcut& shortcut, bool wanted) {
  const std::string path = shortcut.Path();
  if (path.empty()) return;
  if (wanted) {
    if (!FileExists(path)) shortcut.Create();
  } else if (FileExists(path)) {
    std::error_code ignored;
    std::filesystem::remove(std::filesystem::path(std::u8string(path.begin(), path.end())), ignored);
  }
}

}  // namespace kovan
