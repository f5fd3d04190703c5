#include "windows/main/main_menu.hpp"

namespace kovan {

// Captions and hints arrive through the window's translation, built-in texts
// first, so they are not repeated here.
MenuModel MakeMainMenu() {
  using enum MenuCommand;
  return MenuModel({
      SubmenuItem("RES1", "res",
                  {
                      CommandItem("RESdosyasolutur1", "resy", CreateRes),
                      CommandItem("OBJdosyasolutur1", "objy", CreateObj),
                      CommandItem("RESOBJ1", "resobj", ResToObj),
                      // Live only while a compile runs.
                      CommandItem("DerlemeDurdur1", "", StopCompile, false),
                  }),
      CommandItem("DosyalarAyarla1", "liste", Pool),
      CommandItem("GncelSrm1", "", NewVersion, false),  // enabled by the version check
      CommandItem("amamnSil1", "temizle", ClearPool),
      MenuSeparator(),
      CommandItem("Ayarlar1", "ayar", Settings),
      MenuSeparator(),
      CommandItem("Hakknda1", "hakkinda", About),
      CommandItem("Yardm1", "yardim", Help),
      MenuSeparator(),
      CommandItem("k1", "cikis", Exit),
  });
}

}  // namespace kovan
