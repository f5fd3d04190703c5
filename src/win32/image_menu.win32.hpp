// Pop-up menus built from a menu model: owner-drawn items with 32-bit
// pictures beside their captions, and the hint of the item under the pointer
// for WM_MENUSELECT.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/menu_model.hpp"
#include "win32/gdi.win32.hpp"

namespace kovan::ui {

// The picture of a name, premultiplied 32-bit and owned by the caller; null
// for none.
using MenuPictures = std::function<HBITMAP(const std::string& name)>;

// What each item of such a menu carries for its drawing and its hint.
struct MenuItemData;

class PopupMenu {
 public:
  // Nests each item's children in a submenu of its own, as the model holds
  // them. Every item also carries its caption as its menu text, so screen
  // readers and other programs can read it; the pictures must outlive the menu.
  PopupMenu(const MenuModel& model, const MenuPictures& pictures);
  ~PopupMenu();
  PopupMenu(const PopupMenu&) = delete;
  PopupMenu& operator=(const PopupMenu&) = delete;

  HMENU get() const { return menu_.get(); }
  // Shows the menu at a screen point for `owner` (which draws its items) and
  // returns the chosen command; 0 when none was chosen.
  MenuCommandId Track(HWND owner, POINT screen) const;

 private:
  HMENU BuildLevel(const std::vector<MenuItem>& items, const MenuPictures& pictures);

  std::vector<std::unique_ptr<MenuItemData>> data_;
  gdi::Menu menu_;
};

// The owner window's WM_MEASUREITEM and WM_DRAWITEM for such menus; false when
// the message is not about one of their items. `font` is sized for `dpi`.
bool MeasureMenuItem(MEASUREITEMSTRUCT& measure, HWND owner, const LOGFONTW& font, UINT dpi);
bool DrawMenuItem(const DRAWITEMSTRUCT& draw, const LOGFONTW& font, UINT dpi);

// The hint of the item a WM_MENUSELECT names; empty when it has none or the
// menu closed.
std::wstring MenuHintOfSelection(WPARAM wp, LPARAM lp);

}  // namespace kovan::ui
