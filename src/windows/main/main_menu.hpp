// The main window's right-click menu: its items in display order with their
// pictures and state. Captions and hints are window texts and arrive with the
// language.
#pragma once

#include "controls/menu_model.hpp"

namespace kovan {

enum class MenuCommand : MenuCommandId {
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

MenuModel MakeMainMenu();

}  // namespace kovan
