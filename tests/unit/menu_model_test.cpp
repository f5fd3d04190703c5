// The two right-click menus as data: their nesting, pictures and states, and
// how translations reach items at any depth.
#include "controls/menu_model.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "windows/main/main_menu.hpp"
#include "windows/pool/pool_window_logic.hpp"

namespace kovan {
namespace {

// One line per item, indented by its depth: "name picture", "-" for a
// separator, "(off)" after an item that starts disabled.
std::vector<std::string> Outline(const std::vector<MenuItem>& items, const std::string& indent = "") {
  std::vector<std::string> lines;
  for (const MenuItem& item : items) {
    if (item.separator) {
      lines.push_back(indent + "-");
      continue;
    }
    lines.push_back(indent + item.name + " " + item.picture + (item.enabled ? "" : " (off)"));
    for (std::string& line : Outline(item.children, indent + "  ")) lines.push_back(std::move(line));
  }
  return lines;
}

TEST(MenuModels, TheMainMenuNestsTheCompileCommandsAndOpensThePoolWindow) {
  const std::vector<std::string> expected = {
      "RES1 res",
      "  RESdosyasolutur1 resy",
      "  OBJdosyasolutur1 objy",
      "  RESOBJ1 resobj",
      "  DerlemeDurdur1  (off)",
      "DosyalarAyarla1 liste",  // live: it opens the pool window
      "GncelSrm1  (off)",
      "amamnSil1 temizle",
      "-",
      "Ayarlar1 ayar",
      "-",
      "Hakknda1 hakkinda",
      "Yardm1 yardim",
      "-",
      "k1 cikis",
  };
  EXPECT_EQ(Outline(MakeMainMenu().Items()), expected);
}

TEST(MenuModels, ThePoolMenuNestsItsTwoSubmenusAndHasAPictureForEveryItem) {
  const std::vector<std::string> expected = {
      "YeniKaytekle1 ekle",
      "  DosyaEkle1 yenidos",
      "  KlasrEkle1 yeniklas",
      "  BetikAl1 aktar",
      "AktifkaydSil1 sil",
      "mKaytlarAKapat1 ackapa",
      "-",
      "Kaydet1 kaydet",
      "  XLS1 Excel",
      "  XML1 xml",
      "  XT1 html",
      "-",
      "ptaletvek1 iptal",
      "-",
      "Onaylavek1 tamam",
  };
  const MenuModel menu = MakePoolMenu();
  EXPECT_EQ(Outline(menu.Items()), expected);
  ASSERT_NE(menu.Find("XT1"), nullptr);
  EXPECT_EQ(menu.Find("XT1")->command, CommandIdOf(PoolCommand::ExportHtml));
  EXPECT_EQ(menu.Find(PoolCommand::Confirm)->name, "Onaylavek1");
}

TEST(MenuModels, TranslationsReachItemsAtAnyDepthByNameInAnyCase) {
  MenuModel menu = MakePoolMenu();
  EXPECT_TRUE(menu.ApplyText("xml1", "Caption", "XML document"));
  EXPECT_TRUE(menu.ApplyText("Kaydet1", "hint", "Export"));
  EXPECT_FALSE(menu.ApplyText("Kaydet1", "Visible", "x"));
  EXPECT_FALSE(menu.ApplyText("Nowhere1", "Caption", "x"));
  EXPECT_FALSE(menu.ApplyText("", "Caption", "a separator has no name"));
  EXPECT_EQ(menu.Find("XML1")->caption, "XML document");
  EXPECT_EQ(menu.Find("KAYDET1")->hint, "Export");

  menu.SetEnabled(PoolCommand::ExportXml, false);
  EXPECT_FALSE(menu.Find(PoolCommand::ExportXml)->enabled);
  EXPECT_EQ(menu.FindCommand(0), nullptr) << "no command is not a separator or a submenu";
}

}  // namespace
}  // namespace kovan
