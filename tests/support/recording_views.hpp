// Views that record what window logic tells its window.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <stdexcept>

#include "settings/autostart.hpp"
#include "windows/main/main_window_logic.hpp"
#include "support/memory_registry.hpp"
#include "support/recording_prompter.hpp"
#include "support/recording_shell.hpp"
#include "base/file_system.hpp"
#include "support/test_util.hpp"
#include "windows/pool/pool_window_logic.hpp"

namespace kovan::test {

// A shortcut that is a plain file in a test folder.
class FileShortcut : public StartupShortcut {
 public:
  explicit FileShortcut(std::string path) : path_(std::move(path)) {}
  std::string Path() override { return path_; }
  void Create() override {
    ++creations;
    if (failure) throw std::runtime_error(failure);
    test::WriteBytes(path_, "link");
  }
  int creations = 0;
  const char* failure = nullptr;

 private:
  std::string path_;
};

// A browser that records the addresses it was asked to open.
class RecordingBrowser : public BrowserOpener {
 public:
  void OpenInBrowser(const std::string& address) override { opened.push_back(address); }
  std::vector<std::string> opened;
};

class RecordingMainWindowView : public MainWindowView {
 public:
  void SetPoolCountCaption(const std::string& caption) override { captions.push_back(caption); }
  void SetHoverSummary(const HoverSummary& summary) override { hovers.push_back(summary); }
  void SetOpacity(uint8_t alpha) override { opacities.push_back(alpha); }
  void SetBusyCursor(bool busy) override { busyChanges.push_back(busy); }
  bool DispatchPendingMessages() override {
    ++dispatches;
    if (onDispatch) onDispatch();
    return terminating;
  }
  std::string ThousandsSeparator() const override { return "."; }
  void MenuChanged() override { ++menuChanges; }
  void SetStayOnTop(bool onTop) override { stayOnTop.push_back(onTop); }
  ScreenSize PrimaryScreenSize() const override { return screen; }
  ScreenSize WindowSize() const override { return {130, 123}; }
  WindowPlace Place() const override { return place; }
  void BeginVersionCheck(const ServerAddress& server) override { versionChecks.push_back(server); }
  void MoveTo(WindowPlace p) override {
    place = p;
    moves.push_back(p);
  }
  std::vector<std::string> captions;
  std::vector<HoverSummary> hovers;
  std::vector<int> opacities;
  std::vector<bool> busyChanges;
  std::vector<bool> stayOnTop;
  std::vector<ServerAddress> versionChecks;
  int menuChanges = 0;
  std::vector<WindowPlace> moves;
  ScreenSize screen{1280, 1024};
  WindowPlace place;
  int dispatches = 0;
  bool terminating = false;
  std::function<void()> onDispatch;  // runs inside each dispatch (a key press, a second drop)
};

class RecordingPoolWindowView : public PoolWindowView {
 public:
  void SetTitle(const std::string& title) override { titles.push_back(title); }
  void SetStayOnTop(bool onTop) override { stayOnTop.push_back(onTop); }
  void SetBusyCursor(bool busy) override { busyChanges.push_back(busy); }
  bool DispatchPendingMessages() override {
    ++dispatches;
    if (onDispatch) onDispatch();
    return terminating;
  }
  void Close() override { ++closes; }
  void WriteWorkbook(const ExportTable& table, const std::string& path) override {
    workbooks.push_back({path, table});
  }

  struct Workbook {
    std::string path;
    ExportTable table;
  };
  std::vector<Workbook> workbooks;
  std::vector<std::string> titles;
  std::vector<bool> stayOnTop;
  std::vector<bool> busyChanges;
  int dispatches = 0;
  int closes = 0;
  bool terminating = false;
  std::function<void()> onDispatch;  // runs inside each dispatch (a key press)
};

}  // namespace kovan::test

namespace kovan::test {

class RecordingWindowOpener : public WindowOpener {
 public:
  void Open(ProgramWindow window) override { opened.push_back(window); }
  std::vector<ProgramWindow> opened;
};

// Everything a main window logic needs besides its view, recorded or in memory.
struct MainWindowRig {
  explicit MainWindowRig(const std::string& folder) : folder(folder), shortcut(folder + "Kovan.lnk") {}
  MainWindowServices Services() {
    return {prompter, registry, shortcut, browser, shell,
            windows,  folder,   folder,   folder + "dil" + std::string(1, kPathSeparator)};
  }

  std::string folder;
  RecordingPrompter prompter;
  MemoryRegistry registry;
  FileShortcut shortcut;
  RecordingBrowser browser;
  RecordingShell shell;
  RecordingWindowOpener windows;
};

}  // namespace kovan::test
