#include "ui/image_menu.win32.hpp"

namespace kovan::ui {

namespace {

void Append(HMENU menu, const MenuItemSpec& spec) {
  MENUITEMINFOW mii{};
  mii.cbSize = sizeof mii;
  if (spec.separator) {
    mii.fMask = MIIM_FTYPE;
    mii.fType = MFT_SEPARATOR;
  } else {
    mii.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE;
    mii.wID = spec.id;
    mii.dwTypeData = const_cast<wchar_t*>(spec.caption.c_str());
    mii.fState = spec.enabled ? MFS_ENABLED : MFS_DISABLED;
    if (spec.image) {
      mii.fMask |= MIIM_BITMAP;
      mii.hbmpItem = spec.image;
    }
    if (!spec.children.empty()) {
      mii.fMask |= MIIM_SUBMENU;
      mii.hSubMenu = BuildPopupMenu(spec.children);
    }
  }
  InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &mii);
}

}  // namespace

HMENU BuildPopupMenu(const std::vector<MenuItemSpec>& items) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return nullptr;
  for (const MenuItemSpec& spec : items) Append(menu, spec);
  return menu;
}

void MenuHints::Collect(HMENU menu, const std::vector<MenuItemSpec>& items) {
  for (int i = 0; i < static_cast<int>(items.size()); ++i) {
    const MenuItemSpec& spec = items[static_cast<size_t>(i)];
    if (spec.separator) continue;
    if (!spec.children.empty()) {
      HMENU sub = GetSubMenu(menu, i);
      if (sub) {
        if (!spec.hint.empty()) bySubmenu_[sub] = spec.hint;
        Collect(sub, spec.children);
      }
    } else if (!spec.hint.empty()) {
      byId_[spec.id] = spec.hint;
    }
  }
}

std::wstring MenuHints::ForSelection(WPARAM wp, LPARAM lp) const {
  const UINT flags = HIWORD(wp);
  if (flags == 0xFFFF && lp == 0) return {};  // the menu closed
  const UINT item = LOWORD(wp);
  if (flags & MF_POPUP) {
    HMENU sub = GetSubMenu(reinterpret_cast<HMENU>(lp), static_cast<int>(item));
    const auto it = bySubmenu_.find(sub);
    return it == bySubmenu_.end() ? std::wstring() : it->second;
  }
  const auto it = byId_.find(item);
  return it == byId_.end() ? std::wstring() : it->second;
}

}  // namespace kovan::ui
