#include "ui/image_menu.win32.hpp"

#include "ui/drawing.win32.hpp"
#include "ui/png_image.win32.hpp"

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
constexpr COLORREF kGutterColour = RGB(250, 242, 222);
constexpr COLORREF kBackground = RGB(255, 255, 255);
constexpr COLORREF kHotTop = RGB(255, 233, 168);
constexpr COLORREF kHotBottom = RGB(250, 205, 100);
constexpr COLORREF kHotBorder = RGB(214, 158, 40);
constexpr COLORREF kText = RGB(30, 30, 30);
constexpr COLORREF kDisabledText = RGB(150, 150, 150);
constexpr COLORREF kRule = RGB(226, 214, 186);

int Scale(int v, UINT dpi) { return MulDiv(v, static_cast<int>(dpi), 96); }

HFONT MakeFont(const LOGFONTW& font, UINT dpi) {
  LOGFONTW f = font;
  if (f.lfHeight == 0) f.lfHeight = -12;
  f.lfHeight = MulDiv(f.lfHeight, static_cast<int>(dpi), 96);
  f.lfWeight = FW_NORMAL;
  return CreateFontIndirectW(&f);
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
      mii.hSubMenu = BuildPopupMenu(entry.children);
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
  HDC dc = GetDC(owner);
  HFONT f = MakeFont(font, dpi);
  HGDIOBJ old = SelectObject(dc, f);
  SIZE size{};
  GetTextExtentPoint32W(dc, data->entry->caption.c_str(), static_cast<int>(data->entry->caption.size()), &size);
  SelectObject(dc, old);
  DeleteObject(f);
  ReleaseDC(owner, dc);
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
  HBRUSH background = CreateSolidBrush(kBackground);
  FillRect(dc, &r, background);
  DeleteObject(background);
  RECT gutter{r.left, r.top, r.left + Scale(kGutter, dpi), r.bottom};
  HBRUSH gutterBrush = CreateSolidBrush(kGutterColour);
  FillRect(dc, &gutter, gutterBrush);
  DeleteObject(gutterBrush);

  if (entry.separator) {
    HPEN pen = CreatePen(PS_SOLID, 1, kRule);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    const int y = (r.top + r.bottom) / 2;
    MoveToEx(dc, gutter.right + Scale(6, dpi), y, nullptr);
    LineTo(dc, r.right - Scale(4, dpi), y);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    return true;
  }

  const bool disabled = (draw.itemState & (ODS_DISABLED | ODS_GRAYED)) != 0;
  if ((draw.itemState & ODS_SELECTED) && !disabled) {
    RECT hot = r;
    InflateRect(&hot, -Scale(2, dpi), -Scale(1, dpi));
    FillVerticalGradient(dc, hot, kHotTop, kHotBottom);
    HBRUSH border = CreateSolidBrush(kHotBorder);
    FrameRect(dc, &hot, border);
    DeleteObject(border);
  }
  const int image = Scale(kImage, dpi);
  if (entry.image) {
    const int x = r.left + (Scale(kGutter, dpi) - image) / 2;
    const int y = r.top + (r.bottom - r.top - image) / 2;
    if (disabled) {
      // A faded picture for a disabled command.
      HDC source = CreateCompatibleDC(dc);
      HGDIOBJ old = SelectObject(source, entry.image);
      BLENDFUNCTION blend{AC_SRC_OVER, 0, 90, AC_SRC_ALPHA};
      AlphaBlend(dc, x, y, image, image, source, 0, 0, image, image, blend);
      SelectObject(source, old);
      DeleteDC(source);
    } else {
      DrawAlphaBitmap(dc, entry.image, x, y, image);
    }
  }
  HFONT f = MakeFont(font, dpi);
  HGDIOBJ oldFont = SelectObject(dc, f);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, disabled ? kDisabledText : kText);
  RECT text{gutter.right + Scale(8, dpi), r.top, r.right - Scale(20, dpi), r.bottom};
  DrawTextW(dc, entry.caption.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(dc, oldFont);
  DeleteObject(f);
  return true;
}

HMENU BuildPopupMenu(const std::vector<MenuEntry>& items) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return nullptr;
  for (const MenuEntry& entry : items) Append(menu, entry);
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
