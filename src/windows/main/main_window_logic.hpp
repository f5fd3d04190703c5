// The main window's logic: the pool it owns, its creation and close, the drop
// import, the menu commands and the hover summary. The Win32 window forwards
// its messages here and shows what the view is told.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "settings/app_settings.hpp"
#include "settings/autostart.hpp"
#include "settings/settings_store.hpp"
#include "windows/main/compile_commands.hpp"
#include "windows/main/hover_summary.hpp"
#include "windows/main/main_menu.hpp"
#include "lang/language_controller.hpp"
#include "online/browser_launch.hpp"
#include "online/version_check.hpp"
#include "platform/prompter.hpp"
#include "platform/registry.hpp"
#include "platform/shell.hpp"
#include "pool/resource_pool.hpp"

namespace kovan {

struct ScreenSize {
  int32_t width = 0;
  int32_t height = 0;
};

class MainWindowView {
 public:
  virtual ~MainWindowView() = default;
  // The panel's caption: the number of pool entries in decimal.
  virtual void SetPoolCountCaption(const std::string& caption) = 0;
  // The hover hint's content, rebuilt on every entry of the mouse.
  virtual void SetHoverSummary(const HoverSummary& summary) = 0;
  // 255 is opaque and switches alpha blending off.
  virtual void SetOpacity(uint8_t alpha) = 0;
  virtual void SetStayOnTop(bool onTop) = 0;
  virtual ScreenSize PrimaryScreenSize() const = 0;
  // The window's present size: its design size (130 by 123) while it is created.
  virtual ScreenSize WindowSize() const = 0;
  virtual WindowPlace Place() const = 0;
  virtual void MoveTo(WindowPlace place) = 0;
  // Starts fetching the published release number away from the window's
  // thread; the window hands the outcome to VersionCheckDone.
  virtual void BeginVersionCheck(const ServerAddress& server) = 0;
  // The hourglass for the whole screen during an import.
  virtual void SetBusyCursor(bool busy) = 0;
  // Dispatches pending window messages; true when the application is ending.
  virtual bool DispatchPendingMessages() = 0;
  virtual std::string ThousandsSeparator() const = 0;
  // The menu's texts or states changed; a menu on screen may redraw.
  virtual void MenuChanged() {}
  // The other windows: the pool window shown modally (returns when it
  // closes), the settings window shown modelessly, and a new about window.
  virtual void ShowPoolWindow() = 0;
  virtual void ShowSettingsWindow() = 0;
  virtual void OpenAboutWindow() = 0;
};

// What the main window works with besides its own window.
struct MainWindowServices {
  Prompter& prompter;
  Registry& registry;
  StartupShortcut& shortcut;
  BrowserOpener& browser;
  Shell& shell;
  std::string exeFolder;       // the help file beside the executable
  std::string dataFolder;      // Liste.kvl and liste.rc
  std::string languageFolder;  // dil\ beside the executable
};

class MainWindowLogic : private VersionView, private CompileView, private LanguageView {
 public:
  MainWindowLogic(MainWindowView& view, MainWindowServices services);

  void OnCreate();
  // The panel has painted for the first time: entries whose files are gone
  // are dropped and reported now, before any input is handled, rather than
  // holding up the panel while thousands of files are asked for.
  void OnFirstShown();
  // Runs the close steps; false when one failed (its error has been reported
  // and the window stays open; a later close starts again).
  [[nodiscard]] bool OnClose();

  // The outcome of the start's version check: the published release number,
  // or nothing when the check failed (which stays silent).
  void VersionCheckDone(std::optional<int32_t> published);

  // Menu commands and keys.
  void RunCommand(MenuCommand command);
  void ClearPool();
  void OpenHelp();
  void OpenNewVersionPage() { versionCheck_.OpenNewVersionPage(); }
  // Opens a web address in the default browser; throws BrowserStartError.
  void OpenInBrowser(const std::string& address) { services_.browser.OpenInBrowser(address); }
  enum class Key { F5, Escape, Other };
  void OnKeyDown(Key key);

  // The drop target: one call per drop that holds at least one path. A drop
  // that arrives while an import runs waits for it and is imported after it.
  void ImportDrop(std::vector<std::string> paths);
  bool Importing() const { return importing_; }

  // The mouse entering and leaving the panel (or its close button).
  void OnPointerEnter();
  void OnPointerLeave();

  ResourcePool& Pool() { return pool_; }
  const MenuModel& Menu() const { return menu_; }
  // The help line of the hover hint, in the active language.
  const std::string& HintHelpText() const { return hintHelpText_; }
  // The in-memory settings, filled at creation and written at close.
  AppSettings& Settings() { return settings_; }
  void UpdatePoolCount();

 private:
  // The close's save when the start could not read the list: the entries
  // added since are merged into it, or kept in a file beside it.
  void SaveAddedEntries();
  // Imports one drop; true when the application began to end meanwhile.
  bool ImportOne(const std::vector<std::string>& paths);

  // Hands the compiler and machine of the settings to the compile commands.
  void ChooseCompiler();
  void EnableNewVersionCommand() override;
  void SetCompileCommandsEnabled(bool enabled) override;
  void ApplyText(std::string_view component, std::string_view property, const std::string& text) override;

  MainWindowView& view_;
  MainWindowServices services_;
  SettingsStore store_;  // the component Ayar
  AppSettings settings_;
  std::string poolFile_;
  ResourcePool pool_;
  MenuModel menu_ = MakeMainMenu();
  std::string hintHelpText_;
  VersionCheck versionCheck_;
  CompileCommands compile_;
  LanguageController language_;
  // The close replaces the list file only when the start read it (or made
  // it); entries put into a pool that started without it, by a drop or by
  // the pool window, are merged into the file instead. Settings are written
  // only when they were read.
  bool poolLoaded_ = false;
  bool pruneDue_ = false;  // read at creation, its files not yet checked
  bool settingsRead_ = false;
  uint64_t revisionAtStart_ = 0;
  bool dropAbortRequested_ = false;
  bool importing_ = false;
  std::deque<std::vector<std::string>> pendingDrops_;
};

}  // namespace kovan
