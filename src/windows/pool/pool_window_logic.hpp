// The pool window's logic: a working copy of the main pool shown as groups of
// five nodes in a parameter tree, where key names and types are edited in
// place; adding files and folders, deleting entries, and confirming the edits
// into the main pool or dropping them. The Win32 window forwards its commands
// here, mirrors Tree() in its tree control and shows what the view is told.
#pragma once

#include <functional>
#include <string>

#include "controls/menu_model.hpp"
#include "export/pool_export.hpp"
#include "lang/language_controller.hpp"
#include "platform/prompter.hpp"
#include "platform/shell.hpp"
#include "pool/resource_pool.hpp"
#include "controls/param_tree/param_tree_model.hpp"

namespace kovan {

class PoolWindowView {
 public:
  virtual ~PoolWindowView() = default;
  // The panel's caption.
  virtual void SetTitle(const std::string& title) = 0;
  virtual void SetStayOnTop(bool onTop) = 0;
  // The hourglass during a folder addition.
  virtual void SetBusyCursor(bool busy) = 0;
  // Dispatches pending window messages; true when the application is ending.
  virtual bool DispatchPendingMessages() = 0;
  // Ends the window's modal showing.
  virtual void Close() = 0;
  // The workbook export: through the spreadsheet program when there is one,
  // else the built-in writer.
  virtual void WriteWorkbook(const ExportTable& table, const std::string& path) = 0;
  // The look of the HTML page's cells: the system's colours and dialog font.
  virtual HtmlStyle HtmlLook() const { return {}; }
};

// The commands of the window's right-click menu.
enum class PoolCommand : MenuCommandId {
  None,
  AddFile,     // DosyaEkle1
  AddFolder,   // KlasrEkle1
  Delete,      // AktifkaydSil1
  ToggleAll,   // mKaytlarAKapat1
  ExportXls,   // XLS1
  ExportXml,   // XML1
  ExportHtml,  // XT1
  Cancel,      // ptaletvek1
  Confirm,     // Onaylavek1
  ImportScript,
};

MenuModel MakePoolMenu();

// What the pool window reaches of the main window.
struct MainPoolLink {
  ResourcePool& pool;
  // The main panel's caption: the number of pool entries in decimal.
  std::function<void(const std::string& caption)> setPoolCountCaption;
};

// What the pool window works with besides its own window.
struct PoolWindowServices {
  Prompter& prompter;
  Shell& shell;
  MainPoolLink main;
};

class PoolWindowLogic : private LanguageView {
 public:
  PoolWindowLogic(PoolWindowView& view, PoolWindowServices services);
  PoolWindowLogic(const PoolWindowLogic&) = delete;
  PoolWindowLogic& operator=(const PoolWindowLogic&) = delete;

  // The window has been made: its texts come in the active language, and the
  // panel's caption at this point ("Kaynak Havuzu" in the language of the
  // start) stays the base of the heading.
  void Loaded();

  // Every modal opening: a fresh working copy of the main pool and its tree,
  // all groups collapsed. A file's size is read when its entry first opens
  // (or its texts are first read), and kept from then on.
  void Open(bool mainStaysOnTop);
  // The window has closed: the working copy and its tree go (the next opening
  // builds them anew).
  void Closed();
  // Escape anywhere in the window: a running folder addition stops after the
  // file at hand.
  void RequestStop() { stopRequested_ = true; }

  // A command of the menu (or of the buttons that stand for its last two).
  void RunCommand(PoolCommand command);

  void AddFile();
  void AddFolder();
  // Asks for a resource script and adds an entry for each of its file
  // statements, keys and types as the script gives them; the lines it cannot
  // take are listed in one information box.
  void ImportScript();
  // Deleting asks first, and nothing when no node is selected. Any node of a
  // group stands for its entry. The groups behind move up and their
  // parameters are renamed to their new rows: linear in the entries behind.
  // The menu command: says so when there is no entry at all.
  void DeleteSelectedFromMenu();
  // The Delete key on the tree.
  void DeleteKeyPressed();
  void ToggleExpandAll();
  // Writes the edited keys and types into the working copy, puts it in place
  // of the main pool and closes.
  void Confirm();
  // Closes; the working copy and every edit are dropped.
  void Cancel();
  // Asks where, and writes the working copy as a workbook, an XML document or
  // an HTML page (which then opens).
  void Export(ExportFormat format);

  const MenuModel& Menu() const { return menu_; }
  // The menu as it is shown: the caption that comes from a message constant
  // follows the active language.
  const MenuModel& Menu();
  ParamTreeModel& Tree() { return tree_; }
  const ParamTreeModel& Tree() const { return tree_; }
  // What the exports read: the entries as they were when the window opened,
  // plus files added since (the tree's edits reach it only at confirm).
  const ResourcePool& WorkingCopy() const { return rows_; }
  bool AllExpanded() const { return allExpanded_; }

 private:
  struct GroupLabels;
  // Adds the five nodes of the row at `row`.
  void AddGroup(const GroupLabels& labels, size_t row, std::string_view typeValue, std::string_view keyValue);
  // A file added in the window: its key is still to be given.
  void AppendRow(const GroupLabels& labels, const std::string& path);
  void DeleteSelected();
  void ShowTitle();
  bool StopRequested(bool& terminating);
  void ApplyText(std::string_view component, std::string_view property, const std::string& text) override;

  PoolWindowView& view_;
  Prompter& prompter_;
  Shell& shell_;
  MainPoolLink main_;
  MenuModel menu_ = MakePoolMenu();
  ParamTreeModel tree_;
  ResourcePool rows_;  // the working copy
  std::string panelCaption_;  // in the active language
  std::string baseTitle_;
  bool allExpanded_ = false;
  bool stopRequested_ = false;
  FileDialogRequest openDialog_;
  FolderDialogRequest folderDialog_;
  FileDialogRequest scriptDialog_;
  FileDialogRequest exportDialog_;
  LanguageController language_;  // last: it translates the members above from its start
};

}  // namespace kovan
