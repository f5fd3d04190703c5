#include "kod/main_menu.hpp"

#include "base/text.hpp"

namespace kovan {

MainMenuModel::MainMenuModel()
    : items_{
          {"RES1", "Kaynak dosyas\xC4\xB1n\xC4\xB1 olu\xC5\x9ftur",
           "Kaynak dosyas\xC4\xB1 olu\xC5\x9fturmak i\xC3\xA7in alt men\xC3\xBC" "den bir eleman se\xC3\xA7in.", "res",
           MenuCommand::None},
          {"RESdosyasolutur1", ".RES dosyas\xC4\xB1 olu\xC5\x9ftur", "", "resy", MenuCommand::CreateRes, 0},
          {"OBJdosyasolutur1", ".OBJ dosyas\xC4\xB1 olu\xC5\x9ftur", "", "objy", MenuCommand::CreateObj, 0},
          {"RESOBJ1", "RES -> OBJ", "", "resobj", MenuCommand::ResToObj, 0},
          {"DosyalarAyarla1", "Kaynak Havuzu", "Dosya havuzunu a\xC3\xA7mak i\xC3\xA7in t\xC4\xB1klay\xC4\xB1n.", "liste",
           MenuCommand::Pool},
          {"GncelSrm1", "Yeni S\xC3\xBCr\xC3\xBCm", "Yeni s\xC3\xBCr\xC3\xBCm mevcut ise bu men\xC3\xBC atif hale gelir.",
           "", MenuCommand::NewVersion, -1, false, false},
          {"amamnSil1", "Kaynak havuzunu temizle", "Dosya havuzunu temizlemek i\xC3\xA7in t\xC4\xB1klay\xC4\xB1n.",
           "temizle", MenuCommand::ClearPool},
          {"N1", "", "", "", MenuCommand::None, -1, true},
          {"Ayarlar1", "Program Ayarlar\xC4\xB1", "Ayar penceresini a\xC3\xA7mak i\xC3\xA7in t\xC4\xB1klay\xC4\xB1n.", "ayar",
           MenuCommand::Settings},
          {"N2", "", "", "", MenuCommand::None, -1, true},
          {"Hakknda1", "Hakk\xC4\xB1nda", "Kovan ve destekleyenler hakk\xC4\xB1nda bilgi i\xC3\xA7in t\xC4\xB1klay\xC4\xB1n.",
           "hakkinda", MenuCommand::About},
          {"Yardm1", "Yard\xC4\xB1m", "Kovan Yard\xC4\xB1m dosyas\xC4\xB1na ula\xC5\x9fmak i\xC3\xA7in t\xC4\xB1klay\xC4\xB1n.",
           "yardim", MenuCommand::Help},
          {"N3", "", "", "", MenuCommand::None, -1, true},
          {"k1", "\xC3\x87\xC4\xB1k\xC4\xB1\xC5\x9f", "Programdan \xC3\x87\xC4\xB1kmak i\xC3\xA7in t\xC4\xB1klay\xC4\xB1n.",
           "cikis", MenuCommand::Exit},
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
