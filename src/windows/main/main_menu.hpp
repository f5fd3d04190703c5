// The main window's right-click menu: its items in display order with their
// captions, hints, pictures and state. Captions and hints are window texts and
// change with the language.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kovan {

enum class MenuCommand {
  None,
  CreateRes,    // RESdosyasolutur1
  CreateObj,    // OBJdosyasolutur1
  ResToObj,     // RESOBJ1
  StopCompile,  // DerlemeDurdur1
  Pool,         // DosyalarAyarla1
  NewVersion,   // GncelSrm1
  ClearPool,    // amamnSil1
  Settings,     // Ayarlar1
  About,        // Hakknda1
  Help,         // Yardm1
  Exit,         // k1
};

struct MainMenuItem {
  std::string component;  // the item's name, as the language files know it
  std::string caption;
  std::string hint;
  std::string image;    // picture name; empty for none
  MenuCommand command;  // None for separators and the submenu
  int parent = -1;      // index of the submenu item, or -1
  bool separator = false;
  bool enabled = true;
};

class MainMenuModel {
 public:
  MainMenuModel();

  const std::vector<MainMenuItem>& Items() const { return items_; }
  MainMenuItem* Find(std::string_view component);
  MainMenuItem* Find(MenuCommand command);
  void SetEnabled(MenuCommand command, bool enabled);
  // Sets "Caption" or "Hint" of an item from a translation; false when unknown.
  bool ApplyText(std::string_view component, std::string_view property, const std::string& text);

 private:
  std::vector<MainMenuItem> items_;
};

}  // namespace kovan
