#include "win32/image_menu.win32.hpp"

#include "win32/drawing.win32.hpp"
#include "win32/gdi.win32.hpp"
#include "win32/palette.win32.hpp"
#include "win32/png_image.win32.hpp"

namespace kovan::ui {

namespace {

// Marks our items' data, so other owner-drawn items are left alone.
constexpr ULONG_PTR kTag = 0x4B4F5641;  // "KOVA"

struct ItemData {
  ULONG_PTR tag = kTag;
  const MenuEntry* entry;
};

constexpr int kImage = 22;  // design sizes at 96 DPI
constexpr int kRowHeight = 28;
constexpr int kGutter = 34;

int Scale(int v, UINT dpi) { return MulDiv(v, static_cast<int>(dpi), 96); }

// `font` is already sized for the menu's DPI.
gdi::Font ItemFont(const LOGFONTW& font) {
  LOGFONTW f = font;
  f.lfWeight = FW_NORMAL;
  return gdi::MakeFont(f);
}

// The data of each item lives in the menu's own item data, freed with the menu
// by FreeItemData.
void Append(HMENU menu, const MenuEntry& entry) {
  MENUITEMINFOW mii{};
  mii.cbSize = sizeof mii;
  mii.fMask = MIIM_FTYPE | MIIM_DATA;
  mii.fType = MFT_OWNERDRAW | (entry.separator ? MFT_SEPARATOR : 0);
  mii.dwItemData = reinterpret_cast<ULONG_PTR>(new ItemData{kTag, &entry});
  if (!entry.separator) {
    mii.fMask |= MIIM_ID | MIIM_STATE;
    mii.wID = entry.id;
    mii.fState = entry.enabled ? MFS_ENABLED : MFS_DISABLED;
    if (!entry.children.empty()) {
      mii.fMask |= MIIM_SUBMENU;
      mii.hSubMenu = BuildPopupMenu(entry.children).release();
    }
  }
  InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &mii);
}

}  // namespace

void FreeMenuItemData(HMENU menu) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_DATA | MIIM_SUBMENU;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mii)) continue;
    if (mii.hSubMenu) FreeMenuItemData(mii.hSubMenu);
    auto* data = reinterpret_cast<ItemData*>(mii.dwItemData);
    if (data && data->tag == kTag) delete data;
  }
}

bool MeasureMenuItem(MEASUREITEMSTRUCT& measure, HWND owner, const LOGFONTW& font, UINT dpi) {
  if (measure.CtlType != ODT_MENU) return false;
  const auto* data = reinterpret_cast<const ItemData*>(measure.itemData);
  if (!data || data->tag != kTag) return false;
  if (data->entry->separator) {
    measure.itemWidth = 0;
    measure.itemHeight = static_cast<UINT>(Scale(7, dpi));
    return true;
  }
  gdi::WindowDc dc(owner);
  const gdi::Font f = ItemFont(font);
  SIZE size{};
  {
    gdi::Select select(dc.get(), f);
    GetTextExtentPoint32W(dc.get(), data->entry->caption.c_str(), static_cast<int>(data->entry->caption.size()), &size);
  }
  // The system adds room for the submenu arrow of its own.
  measure.itemWidth = static_cast<UINT>(Scale(kGutter + 8 + 24, dpi) + size.cx);
  measure.itemHeight = static_cast<UINT>(Scale(kRowHeight, dpi));
  return true;
}

bool DrawMenuItem(const DRAWITEMSTRUCT& draw, const LOGFONTW& font, UINT dpi) {
  if (draw.CtlType != ODT_MENU) return false;
  const auto* data = reinterpret_cast<const ItemData*>(draw.itemData);
  if (!data || data->tag != kTag) return false;
  const MenuEntry& entry = *data->entry;
  HDC dc = draw.hDC;
  RECT r = draw.rcItem;
  FillRect(dc, &r, gdi::MakeBrush(palette::kMenuBackground).get());
  RECT gutter{r.left, r.top, r.left + Scale(kGutter, dpi), r.bottom};
  FillRect(dc, &gutter, gdi::MakeBrush(palette::kMenuGutter).get());

  if (entry.separator) {
    const gdi::Pen pen = gdi::MakePen(1, palette::kMenuRule);
    gdi::Select select(dc, pen);
    const int y = (r.top + r.bottom) / 2;
    MoveToEx(dc, gutter.right + Scale(6, dpi), y, nullptr);
    LineTo(dc, r.right - Scale(4, dpi), y);
    return true;
  }

  const bool disabled = (draw.itemState & (ODS_DISABLED | ODS_GRAYED)) != 0;
  if ((draw.itemState & ODS_SELECTED) && !disabled) {
    RECT hot = r;
    InflateRect(&hot, -Scale(2, dpi), -Scale(1, dpi));
    FillVerticalGradient(dc, hot, palette::kMenuHotTop, palette::kMenuHotBottom);
    FrameRect(dc, &hot, gdi::MakeBrush(palette::kMenuHotBorder).get());
  }
  const int image = Scale(kImage, dpi);
  if (entry.image) {
    const int x = r.left + (Scale(kGutter, dpi) - image) / 2;
    const int y = r.top + (r.bottom - r.top - image) / 2;
    // A faded picture for a disabled command.
    DrawAlphaBitmap(dc, entry.image, x, y, image, disabled ? 90 : 255);
  }
  const gdi::Font f = ItemFont(font);
  gdi::Select select(dc, f);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, disabled ? palette::kMenuDisabledText : palette::kMenuText);
  RECT text{gutter.right + Scale(8, dpi), r.top, r.right - Scale(20, dpi), r.bottom};
  DrawTextW(dc, entry.caption.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  return true;
}

gdi::Menu BuildPopupMenu(const std::vector<MenuEntry>& items) {
  gdi::Menu menu(CreatePopupMenu());
  if (!menu.valid()) return menu;
  for (const MenuEntry& entry : items) Append(menu.get(), entry);
  return menu;
}

void MenuHints::Collect(HMENU menu, const std::vector<MenuEntry>& items) {
  for (int i = 0; i < static_cast<int>(items.size()); ++i) {
    const MenuEntry& entry = items[static_cast<size_t>(i)];
    if (entry.separator) continue;
    if (!entry.children.empty()) {
      HMENU sub = GetSubMenu(menu, i);
      if (sub) {
        if (!entry.hint.empty()) bySubmenu_[sub] = entry.hint;
        Collect(sub, entry.children);
      }
    } else if (!entry.hint.empty()) {
      byId_[entry.id] = entry.hint;
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
