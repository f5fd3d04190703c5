// The autostart shortcut: Kovan.lnk in the current user's Startup folder,
// created or deleted at close to match the startWithSystem setting.
#pragma once

#include <string>

#include "platform/registry.hpp"

namespace kovan {

inline constexpr char kShortcutFileName[] = "Kovan.lnk";

// The Startup folder as the current user's Shell Folders key records it; ""
// when the key or its Startup text is missing. The Explorer key is created on
// the way when it is missing.
std::string StartupFolderFromRegistry(Registry& registry);

// The shortcut as the close sees it. The Win32 one makes a real shell link;
// tests put a plain file in a folder of their own.
class StartupShortcut {
 public:
  virtual ~StartupShortcut() = default;
  // The shortcut file's full path; "" when no Startup folder can be found.
  [[nodiscard]] virtual std::string Path() = 0;
  // Writes the shortcut at Path(). Throws when the link cannot be built.
  virtual void Create() = 0;
};

// Wanted and missing: create it. Not wanted and present: delete it, ignoring a
// failure. A shortcut that is already there stays as it is, whatever it points
// to.
void BringStartupShortcutInLine(StartupShortcut& shortcut, bool wanted);

#ifdef _WIN32
// The Startup folder of the registry, or the shell's when the registry names
// none, followed by "\Kovan.lnk"; "" when neither knows the folder.
std::string StartupShortcutPath(Registry& registry);

// A shell link to the running executable, working in its folder, saved as
// Kovan.lnk in the Startup folder (made first when missing). Throws
// std::runtime_error when the link object cannot be built; a failed save is
// ignored, so an unwritable Startup folder never keeps the program open.
void CreateStartupShortcut(Registry& registry);

class Win32StartupShortcut : public StartupShortcut {
 public:
  explicit Win32StartupShortcut(Registry& registry) : registry_(registry) {}
  std::string Path() override { return StartupShortcutPath(registry_); }
  void Create() override { CreateStartupShortcut(registry_); }

 private:
  Registry& registry_;
};
#endif

}  // namespace kovan
