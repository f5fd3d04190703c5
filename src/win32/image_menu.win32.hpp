// Popup menus with 32-bit pictures beside their captions, and the hint of the
// item under the pointer shown while the menu is open.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "win32/gdi.win32.hpp"

namespace kovan::ui {

struct MenuEntry {
  UINT id = 0;  // 0 for a separator or a submenu
  std::wstring caption;
  std::wstring hint;
  HBITMAP image = nullptr;  // premultiplied 32-bit; owned by the caller
  bool enabled = true;
  bool separator = false;
  std::vector<MenuEntry> children;
};

// Builds an owner-drawn popup menu. The items are drawn from `items`, which
// must outlive the menu.
gdi::Menu BuildPopupMenu(const std::vector<MenuEntry>& items);

// Frees what BuildPopupMenu attached to the items; call before the menu goes.
void FreeMenuItemData(HMENU menu);

// The owner window's WM_MEASUREITEM and WM_DRAWITEM for such menus; false when
// the message is not about one of their items. `font` is sized for `dpi`.
bool MeasureMenuItem(MEASUREITEMSTRUCT& measure, HWND owner, const LOGFONTW& font, UINT dpi);
bool DrawMenuItem(const DRAWITEMSTRUCT& draw, const LOGFONTW& font, UINT dpi);

// Collects the hints of a menu tree by the identifier of the item (submenus by
// their HMENU), for WM_MENUSELECT.
class MenuHints {
 public:
  void Collect(HMENU menu, const std::vector<MenuEntry>& items);
  // The hint for a WM_MENUSELECT, or empty.
  std::wstring ForSelection(WPARAM wp, LPARAM lp) const;

 private:
  std::map<UINT, std::wstring> byId_;
  std::map<HMENU, std::wstring> bySubmenu_;
};

}  // namespace kovan::ui
