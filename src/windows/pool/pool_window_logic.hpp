// The pool window's logic: a working copy of the main pool shown as groups of
// five nodes in a parameter tree, where key names and types are edited in
// place; adding files and folders, deleting entries, and confirming the edits
// into the main pool or dropping them. The Win32 window forwards its commands
// here, mirrors Tree() in its tree control and shows what the view is told.
#pragma once

#include <functional>
#include <string>

#include "platform/prompter.hpp"
#include "pool/resource_pool.hpp"
#include "windows/pool/param_tree_model.hpp"

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
};

// What the pool window reaches of the main window.
struct MainPoolLink {
  ResourcePool& pool;
  // The main panel's caption: the number of pool entries in decimal.
  std::function<void(const std::string& caption)> setPoolCountCaption;
};

class PoolWindowLogic {
 public:
  PoolWindowLogic(PoolWindowView& view, Prompter& prompter, MainPoolLink main);
  PoolWindowLogic(const PoolWindowLogic&) = delete;
  PoolWindowLogic& operator=(const PoolWindowLogic&) = delete;

  // The panel's caption before the count ("Kaynak Havuzu" in the language of
  // the start); the window captures it once.
  void SetBaseTitle(std::string title) { baseTitle_ = std::move(title); }

  // Every modal opening: a fresh working copy of the main pool and its tree,
  // all groups collapsed.
  void Open(bool mainStaysOnTop);
  // Escape anywhere in the window: a running folder addition stops after the
  // file at hand.
  void RequestStop() { stopRequested_ = true; }

  void AddFile();
  void AddFolder();
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

  ParamTreeModel& Tree() { return tree_; }
  const ParamTreeModel& Tree() const { return tree_; }
  // What the exports read: the entries as they were when the window opened,
  // plus files added since (the tree's edits reach it only at confirm).
  const ResourcePool& WorkingCopy() const { return rows_; }
  bool AllExpanded() const { return allExpanded_; }

 private:
  struct GroupLabels;
  // Adds the five nodes of the row at `row`.
  void AddGroup(const GroupLabels& labels, size_t row, const std::string& typeValue, const std::string& keyValue);
  // A file added in the window: its key is still to be given.
  void AppendRow(const GroupLabels& labels, const std::string& path);
  void DeleteSelected();
  void ShowTitle();
  bool StopRequested(bool& terminating);

  PoolWindowView& view_;
  Prompter& prompter_;
  MainPoolLink main_;
  ParamTreeModel tree_;
  ResourcePool rows_;  // the working copy
  std::string baseTitle_;
  bool allExpanded_ = false;
  bool stopRequested_ = false;
  FileDialogRequest openDialog_;
  FolderDialogRequest folderDialog_;
};

}  // namespace kovan
