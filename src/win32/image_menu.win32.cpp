#include "win32/image_menu.win32.hpp"

#include <algorithm>
#include <cstdlib>

#include "base/errors.win32.hpp"
#include "base/text.hpp"
#include "win32/dpi.win32.hpp"
#include "win32/drawing.win32.hpp"
#include "win32/palette.win32.hpp"
#include "win32/png_image.win32.hpp"

namespace kovan::ui {

// Marks our items' data, so other owner-drawn items are left alone.
constexpr ULONG_PTR kTag = 0x4B4F5641;  // "KOVA"

struct MenuItemData {
  ULONG_PTR tag = kTag;
  bool separator = false;
  std::wstring caption;
  std::wstring hint;
  HBITMAP picture = nullptr;
  SIZE pictureSize{};  // the picture is drawn at the size it was made
};

namespace {

constexpr int kRowHeight = 28;  // design sizes at 96 DPI
constexpr int kGutter = 34;

using dpi::Scale;

// `font` is already sized for the menu's DPI.
gdi::Font ItemFont(const LOGFONTW& font) {
  LOGFONTW f = font;
  f.lfWeight = FW_NORMAL;
  return gdi::MakeFont(f);
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  if (!bitmap || GetObjectW(bitmap, sizeof info, &info) != sizeof info) return {};
  return SIZE{info.bmWidth, std::abs(info.bmHeight)};
}

template <typename Data>
const Data* OurData(ULONG_PTR itemData) {
  const auto* data = reinterpret_cast<const Data*>(itemData);
  return data && data->tag == kTag ? data : nullptr;
}

}  // namespace

PopupMenu::PopupMenu(const MenuModel& model, const MenuPictures& pictures)
    : menu_(BuildLevel(model.Items(), pictures)) {}

// The items' data goes with the object, after the menu that points at it.
PopupMenu::~PopupMenu() { menu_.reset(); }

HMENU PopupMenu::BuildLevel(const std::vector<MenuItem>& items, const MenuPictures& pictures) {
  gdi::Menu menu(CreatePopupMenu());
  CheckWin32(menu.valid(), "CreatePopupMenu");
  for (const MenuItem& item : items) {
    auto data = std::make_unique<MenuItemData>();
    data->separator = item.separator;
    data->caption = ToWide(item.caption);
    data->hint = ToWide(item.hint);
    if (!item.picture.empty() && pictures) data->picture = pictures(item.picture);
    data->pictureSize = BitmapSize(data->picture);

    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_DATA;
    mii.fType = MFT_OWNERDRAW | (item.separator ? MFT_SEPARATOR : 0);
    mii.dwItemData = reinterpret_cast<ULONG_PTR>(data.get());
    if (!item.separator) {
      mii.fMask |= MIIM_ID | MIIM_STATE | MIIM_STRING;
      mii.wID = item.command;
      mii.fState = item.enabled ? MFS_ENABLED : MFS_DISABLED;
      mii.dwTypeData = data->caption.data();
      if (!item.children.empty()) {
        mii.fMask |= MIIM_SUBMENU;
        mii.hSubMenu = BuildLevel(item.children, pictures);
      }
    }
    if (!InsertMenuItemW(menu.get(), static_cast<UINT>(GetMenuItemCount(menu.get())), TRUE, &mii)) {
      if (mii.hSubMenu) DestroyMenu(mii.hSubMenu);
      ThrowLastError("InsertMenuItemW");
    }
    data_.push_back(std::move(data));
  }
  return menu.release();
}

MenuCommandId PopupMenu::Track(HWND owner, POINT screen) const {
  // The menu needs its owner in the foreground to close when the user clicks
  // elsewhere, and a message after it so a second click is not lost.
  SetForegroundWindow(owner);
  const BOOL chosen =
      TrackPopupMenuEx(menu_.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, screen.x, screen.y, owner, nullptr);
  PostMessageW(owner, WM_NULL, 0, 0);
  return static_cast<MenuCommandId>(chosen);
}

bool MeasureMenuItem(MEASUREITEMSTRUCT& measure, HWND owner, const LOGFONTW& font, UINT dpi) {
  if (measure.CtlType != ODT_MENU) return false;
  const auto* data = OurData<MenuItemData>(measure.itemData);
  if (!data) return false;
  if (data->separator) {
    measure.itemWidth = 0;
    measure.itemHeight = static_cast<UINT>(Scale(7, dpi));
    return true;
  }
  gdi::WindowDc dc(owner);
  const gdi::Font f = ItemFont(font);
  SIZE text{};
  {
    gdi::Select select(dc.get(), f);
    GetTextExtentPoint32W(dc.get(), data->caption.c_str(), static_cast<int>(data->caption.size()), &text);
  }
  const int gutter = std::max<int>(Scale(kGutter, dpi), data->pictureSize.cx + Scale(12, dpi));
  // The system adds room for the submenu arrow of its own.
  measure.itemWidth = static_cast<UINT>(gutter + Scale(8 + 24, dpi) + text.cx);
  measure.itemHeight = static_cast<UINT>(
      std::max({Scale(kRowHeight, dpi), static_cast<int>(text.cy) + Scale(8, dpi),
                static_cast<int>(data->pictureSize.cy) + Scale(6, dpi)}));
  return true;
}

bool DrawMenuItem(const DRAWITEMSTRUCT& draw, const LOGFONTW& font, UINT dpi) {
  if (draw.CtlType != ODT_MENU) return false;
  const auto* data = OurData<MenuItemData>(draw.itemData);
  if (!data) return false;
  HDC dc = draw.hDC;
  RECT r = draw.rcItem;
  FillRect(dc, &r, gdi::MakeBrush(palette::kMenuBackground).get());
  const int gutterWidth = std::max<int>(Scale(kGutter, dpi), data->pictureSize.cx + Scale(12, dpi));
  RECT gutter{r.left, r.top, r.left + gutterWidth, r.bottom};
  FillRect(dc, &gutter, gdi::MakeBrush(palette::kMenuGutter).get());

  if (data->separator) {
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
  if (data->picture) {
    const SIZE size = data->pictureSize;
    const int x = r.left + (gutterWidth - size.cx) / 2;
    const int y = r.top + (r.bottom - r.top - size.cy) / 2;
    // A faded picture for a disabled command.
    DrawAlphaBitmap(dc, data->picture, x, y, size.cx, size.cy, disabled ? 90 : 255);
  }
  const gdi::Font f = ItemFont(font);
  gdi::Select select(dc, f);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, disabled ? palette::kMenuDisabledText : palette::kMenuText);
  RECT text{gutter.right + Scale(8, dpi), r.top, r.right - Scale(20, dpi), r.bottom};
  DrawTextW(dc, data->caption.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  return true;
}

std::wstring MenuHintOfSelection(WPARAM wp, LPARAM lp) {
  const UINT flags = HIWORD(wp);
  if (flags == 0xFFFF && lp == 0) return {};  // the menu closed
  MENUITEMINFOW mii{};
  mii.cbSize = sizeof mii;
  mii.fMask = MIIM_DATA;
  // A submenu's item is named by its position, any other by its command.
  const BOOL byPosition = (flags & MF_POPUP) != 0;
  if (!GetMenuItemInfoW(reinterpret_cast<HMENU>(lp), LOWORD(wp), byPosition, &mii)) return {};
  const auto* data = OurData<MenuItemData>(mii.dwItemData);
  return data ? data->hint : std::wstring();
}

}  // namespace kovan::ui
