// Menus built from a menu model: the real menu nests as the model does, every
// item carries its text, and each picture is drawn in the picture column.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "base/text.hpp"
#include "resource_ids.h"
#include "win32/gdi.win32.hpp"
#include "win32/image_menu.win32.hpp"
#include "win32/png_image.win32.hpp"
#include "windows/main/main_menu.hpp"
#include "windows/pool/pool_window_logic.hpp"

namespace kovan {
namespace {

std::wstring ItemText(HMENU menu, int position) {
  wchar_t text[128] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
  return text;
}

// The model with a caption on every item: the item's name.
MenuModel Captioned(MenuModel menu) {
  menu.ForEach([&](const MenuItem& item) {
    if (!item.separator) menu.ApplyText(item.name, "Caption", item.name);
  });
  return menu;
}

TEST(PopupMenu, NestsEachSubmenuInsideItsItemAsTheModelDoes) {
  for (const MenuModel& model : {Captioned(MakePoolMenu()), Captioned(MakeMainMenu())}) {
    const ui::PopupMenu menu(model, nullptr);
    const std::vector<MenuItem>& items = model.Items();
    ASSERT_EQ(GetMenuItemCount(menu.get()), static_cast<int>(items.size()));
    for (size_t i = 0; i < items.size(); ++i) {
      const int position = static_cast<int>(i);
      HMENU sub = GetSubMenu(menu.get(), position);
      ASSERT_EQ(sub != nullptr, !items[i].children.empty()) << items[i].name;
      if (items[i].separator) continue;
      EXPECT_EQ(ItemText(menu.get(), position), ToWide(items[i].name));
      if (!sub) {
        EXPECT_EQ(GetMenuItemID(menu.get(), position), items[i].command);
        continue;
      }
      ASSERT_EQ(GetMenuItemCount(sub), static_cast<int>(items[i].children.size())) << items[i].name;
      for (size_t k = 0; k < items[i].children.size(); ++k) {
        EXPECT_EQ(ItemText(sub, static_cast<int>(k)), ToWide(items[i].children[k].name));
        EXPECT_EQ(GetMenuItemID(sub, static_cast<int>(k)), items[i].children[k].command);
      }
    }
  }
}

// Draws one item of `menu` into a bitmap and counts the picture column's
// pixels that differ from its top-left corner, the gutter's colour.
int PicturePixels(HMENU menu, int position, UINT dpi) {
  MENUITEMINFOW mii{};
  mii.cbSize = sizeof mii;
  mii.fMask = MIIM_DATA | MIIM_STATE;
  EXPECT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &mii));
  LOGFONTW font{};
  font.lfHeight = -MulDiv(9, static_cast<int>(dpi), 72);
  MEASUREITEMSTRUCT measure{ODT_MENU, 0, 0, 0, 0, mii.dwItemData};
  EXPECT_TRUE(ui::MeasureMenuItem(measure, GetDesktopWindow(), font, dpi));
  const int width = static_cast<int>(measure.itemWidth);
  const int height = static_cast<int>(measure.itemHeight);
  gdi::WindowDc screen(nullptr);
  gdi::MemoryDc canvas(screen.get(), width, height);
  DRAWITEMSTRUCT draw{};
  draw.CtlType = ODT_MENU;
  draw.hDC = canvas.get();
  draw.rcItem = RECT{0, 0, width, height};
  draw.itemData = mii.dwItemData;
  EXPECT_TRUE(ui::DrawMenuItem(draw, font, dpi));
  const COLORREF gutter = GetPixel(canvas.get(), 0, 0);
  int differing = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < MulDiv(34, static_cast<int>(dpi), 96); ++x) differing += GetPixel(canvas.get(), x, y) != gutter;
  }
  return differing;
}

TEST(PopupMenu, EveryPictureIsDrawnAtTheSizeItWasMadeAt) {
  // The pool window's pictures are made smaller than the main window's.
  for (const UINT dpi : {96u, 144u}) {
    std::map<std::string, gdi::Bitmap> pictures;
    const char* names[] = {"ekle", "iptal", "sil", "tamam", "Excel", "xml",
                           "aktar", "kaydet", "html", "ackapa", "yenidos", "yeniklas"};
    for (int i = 0; i < IDB_POOL_COUNT; ++i) {
      pictures[names[i]] = ui::LoadPngResource(MAKEINTRESOURCEW(IDB_POOL_FIRST + i), MulDiv(20, static_cast<int>(dpi), 96));
      ASSERT_TRUE(pictures[names[i]].valid()) << names[i];
    }
    const MenuModel model = Captioned(MakePoolMenu());
    const ui::PopupMenu menu(model, [&](const std::string& name) { return pictures.at(name).get(); });
    for (size_t i = 0; i < model.Items().size(); ++i) {
      const MenuItem& item = model.Items()[i];
      if (item.separator) continue;
      EXPECT_GT(PicturePixels(menu.get(), static_cast<int>(i), dpi), 20) << item.name << " at " << dpi;
      HMENU sub = GetSubMenu(menu.get(), static_cast<int>(i));
      for (size_t k = 0; k < item.children.size(); ++k) {
        EXPECT_GT(PicturePixels(sub, static_cast<int>(k), dpi), 20) << item.children[k].name << " at " << dpi;
      }
    }
  }
}

}  // namespace
}  // namespace kovan
