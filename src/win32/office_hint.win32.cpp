#include "win32/office_hint.win32.hpp"

#include <algorithm>

#include "win32/drawing.win32.hpp"
#include "win32/messages.win32.hpp"
#include "win32/palette.win32.hpp"
#include "win32/png_image.win32.hpp"

namespace kovan::ui {

POINT PlaceInside(const RECT& workArea, POINT anchor, SIZE size, int gapBelow, int gapAbove) {
  LONG x = anchor.x;
  LONG y = anchor.y + gapBelow;
  if (x + size.cx > workArea.right) x = workArea.right - size.cx;
  if (y + size.cy > workArea.bottom) y = anchor.y - size.cy - gapAbove;
  x = std::max(x, workArea.left);
  y = std::max(y, workArea.top);
  return POINT{x, y};
}

bool OfficeHint::Create(HWND owner) {
  return CreateFor(WindowClassInfo{L"KovanOfficeHint", CS_DROPSHADOW},
                   WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, WS_POPUP, RECT{0, 0, 10, 10}, owner);
}

void OfficeHint::SetFont(const LOGFONTW& font, UINT dpi) {
  LOGFONTW f = font;
  if (f.lfHeight == 0) f.lfHeight = -kovan::dpi::Scale(12, dpi);
  f.lfWeight = FW_NORMAL;
  font_ = gdi::MakeFont(f);
  f.lfWeight = FW_BOLD;
  boldFont_ = gdi::MakeFont(f);
  fontHeight_ = f.lfHeight < 0 ? -f.lfHeight : f.lfHeight;
  fontDpi_ = dpi;
}

void OfficeHint::Show(const HintContent& content, POINT anchor, HWND monitorOf, UINT hideAfterMs, int designWidth) {
  if (!hwnd()) return;
  content_ = content;
  TEXTMETRICW tm{};
  SIZE title{};
  {
    gdi::WindowDc dc(hwnd());
    gdi::Select normal(dc.get(), font_);
    GetTextMetricsW(dc.get(), &tm);
    gdi::Select bold(dc.get(), boldFont_);
    GetTextExtentPoint32W(dc.get(), content_.title.c_str(), static_cast<int>(content_.title.size()), &title);
  }
  lineHeight_ = tm.tmHeight + ScaleFor(2);

  // Without a design width the hint fits its title.
  const int width = designWidth > 0 ? ScaleFor(designWidth) : title.cx + ScaleFor(18);
  int height = ScaleFor(8) + lineHeight_ + ScaleFor(6);  // padding and title
  height += static_cast<int>(content_.notes.size()) * lineHeight_;
  if (content_.showHelp) height += ScaleFor(10) + std::max(lineHeight_, ScaleFor(16));
  height += ScaleFor(8);

  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  HMONITOR monitor = monitorOf ? MonitorFromWindow(monitorOf, MONITOR_DEFAULTTONEAREST)
                               : MonitorFromPoint(anchor, MONITOR_DEFAULTTONEAREST);
  GetMonitorInfoW(monitor, &mi);
  const POINT at = PlaceInside(mi.rcWork, anchor, SIZE{width, height}, ScaleFor(20), ScaleFor(4));
  SetWindowPos(hwnd(), HWND_TOPMOST, at.x, at.y, std::min<int>(width, mi.rcWork.right - mi.rcWork.left), height,
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(hwnd(), nullptr, TRUE);
  SetTimer(hwnd(), window_ids::kHintHideTimer, hideAfterMs, nullptr);
}

void OfficeHint::Hide() {
  if (!hwnd()) return;
  KillTimer(hwnd(), window_ids::kHintHideTimer);
  ShowWindow(hwnd(), SW_HIDE);
}

void OfficeHint::Paint(HDC dc) {
  RECT client{};
  GetClientRect(hwnd(), &client);
  FillVerticalGradient(dc, client, palette::kHintTop, palette::kHintBottom);
  FrameRect(dc, &client, gdi::MakeBrush(palette::kHintBorder).get());

  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, palette::kHintText);
  const int pad = ScaleFor(8);
  RECT line{client.left + pad, client.top + pad, client.right - pad, client.top + pad + lineHeight_};
  {
    gdi::Select bold(dc, boldFont_);
    DrawTextW(dc, content_.title.c_str(), -1, &line, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  gdi::Select normal(dc, font_);
  OffsetRect(&line, 0, lineHeight_ + ScaleFor(6));
  line.left += ScaleFor(8);
  for (const std::wstring& note : content_.notes) {
    DrawTextW(dc, note.c_str(), -1, &line, DT_SINGLELINE | DT_NOPREFIX | DT_PATH_ELLIPSIS);
    OffsetRect(&line, 0, lineHeight_);
  }
  if (!content_.showHelp) return;
  const int ruleY = line.top + ScaleFor(4);
  {
    const gdi::Pen pen = gdi::MakePen(1, palette::kHintRule);
    gdi::Select select(dc, pen);
    MoveToEx(dc, client.left + pad, ruleY, nullptr);
    LineTo(dc, client.right - pad, ruleY);
  }
  const int icon = ScaleFor(16);
  const int rowTop = ruleY + ScaleFor(6);
  const int rowHeight = std::max(lineHeight_, icon);
  int textLeft = client.left + pad;
  if (content_.helpPicture) {
    DrawAlphaBitmap(dc, content_.helpPicture, textLeft, rowTop + (rowHeight - icon) / 2, icon);
    textLeft += icon + ScaleFor(6);
  }
  RECT help{textLeft, rowTop, client.right - pad, rowTop + rowHeight};
  gdi::Select bold(dc, boldFont_);
  DrawTextW(dc, content_.helpText.c_str(), -1, &help, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

LRESULT OfficeHint::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_TIMER:
      if (wp == window_ids::kHintHideTimer) Hide();
      return 0;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_NCHITTEST: return HTTRANSPARENT;
  }
  return Default(msg, wp, lp);
}

}  // namespace kovan::ui
