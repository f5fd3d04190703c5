#include "windows/main/main_menu.hpp"

#include "base/text.hpp"

namespace kovan {

// Captions and hints arrive through the window's translation, built-in texts
// first, so they are not repeated here.
MainMenuModel::MainMenuModel()
    : items_{
          {"RES1", "", "", "res", MenuCommand::None},
          {"RESdosyasolutur1", "", "", "resy", MenuCommand::CreateRes, 0},
          {"OBJdosyasolutur1", "", "", "objy", MenuCommand::CreateObj, 0},
          {"RESOBJ1", "", "", "resobj", MenuCommand::ResToObj, 0},
          // The pool window is not part of the program yet; its item stays
          // disabled until it is.
          {"DosyalarAyarla1", "", "", "liste", MenuCommand::Pool, -1, false, false},
          {"GncelSrm1", "", "", "", MenuCommand::NewVersion, -1, false, false},  // enabled by the version check
          {"amamnSil1", "", "", "temizle", MenuCommand::ClearPool},
          {"N1", "", "", "", MenuCommand::None, -1, true},
          {"Ayarlar1", "", "", "ayar", MenuCommand::Settings},
          {"N2", "", "", "", MenuCommand::None, -1, true},
          {"Hakknda1", "", "", "hakkinda", MenuCommand::About},
          {"Yardm1", "", "", "yardim", MenuCommand::Help},
          {"N3", "", "", "", MenuCommand::None, -1, true},
          {"k1", "", "", "cikis", MenuCommand::Exit},
          // The last item of the RES1 submenu, enabled only while a compile runs.
          {"DerlemeDurdur1", "", "", "", MenuCommand::StopCompile, 0, false, false},
      } {}

MainMenuItem* MainMenuModel::Find(std::string_view component) {
  for (MainMenuItem& item : items_) {
    if (AsciiIEquals(item.component, component)) return &item;
  }
  return nullptr;
}

MainMenuItem* MainMenuModel::Find(MenuCommand command) {
  for (MainMenuItem& item : items_) {
    if (item.command == command && command != MenuCommand::None) return &item;
  }
  return nullptr;
}

void MainMenuModel::SetEnabled(MenuCommand command, bool enabled) {
  if (MainMenuItem* item = Find(command)) item->enabled = enabled;
}

bool MainMenuModel::ApplyText(std::string_view component, std::string_view property, const std::string& text) {
  MainMenuItem* item = Find(component);
  if (!item) return false;
  if (AsciiIEquals(property, "Caption")) {
    item->caption = text;
  } else if (AsciiIEquals(property, "Hint")) {
    item->hint = text;
  } else {
    return false;
  }
  return true;
}

}  // namespace kovan
