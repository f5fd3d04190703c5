// The main window's logic: the pool it owns and what happens at its creation
// and close. The Win32 window forwards its messages here and draws what the
// view is told.
#pragma once

#include <string>

#include "platform/prompter.hpp"
#include "pool/resource_pool.hpp"

namespace kovan {

class AnaPencereView {
 public:
  virtual ~AnaPencereView() = default;
  // The panel's caption: the number of pool entries in decimal.
  virtual void SetPoolCountCaption(const std::string& caption) = 0;
};

class TAnaPencere {
 public:
  // `dataFolder` holds Liste.kvl and liste.rc (with its trailing separator).
  TAnaPencere(AnaPencereView& view, Prompter& prompter, std::string dataFolder);

  void FormCreate();
  // Runs the close steps; false when one failed (its error has been reported
  // and the window stays open; a later close starts again).
  [[nodiscard]] bool FormClose();

  ResourcePool& Pool() { return pool_; }
  const std::string& PoolFilePath() const { return poolFile_; }
  void UpdatePoolCount();

 private:
  AnaPencereView& view_;
  Prompter& prompter_;
  std::string dataFolder_;
  std::string poolFile_;
  ResourcePool pool_;
  // The list file was there but could not be read: it is not overwritten
  // while the pool stays empty.
  bool poolFileUnreadable_ = false;
};

}  // namespace kovan
