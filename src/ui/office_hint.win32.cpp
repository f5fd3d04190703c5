#include "ui/office_hint.win32.hpp"

#include "ui/drawing.win32.hpp"
#include "ui/png_image.win32.hpp"

namespace kovan::ui {

namespace {

constexpr wchar_t kClassName[] = L"KovanOfficeHint";
constexpr UINT_PTR kHideTimer = 1;
constexpr COLORREF kTop = RGB(255, 255, 255);
constexpr COLORREF kBottom = RGB(228, 236, 247);
constexpr COLORREF kBorder = RGB(118, 118, 118);
constexpr COLORREF kText = RGB(76, 76, 76);
constexpr COLORREF kRule = RGB(158, 187, 221);

}  // namespace

OfficeHint::~OfficeHint() {
  if (hwnd_) DestroyWindow(hwnd_);
  if (font_) DeleteObject(font_);
  if (boldFont_) DeleteObject(boldFont_);
}

bool OfficeHint::Create(HINSTANCE instance, HWND owner) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DROPSHADOW;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);  // a second registration fails harmlessly
  hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kClassName, L"", WS_POPUP, 0, 0, 10, 10,
                          owner, nullptr, instance, this);
  return hwnd_ != nullptr;
}

void OfficeHint::SetFont(const LOGFONTW& font) {
  baseFont_ = font;
  RebuildFonts();
}

void OfficeHint::RebuildFonts() {
  if (font_) DeleteObject(font_);
  if (boldFont_) DeleteObject(boldFont_);
  LOGFONTW f = baseFont_;
  if (f.lfHeight == 0) f.lfHeight = -12;
  f.lfHeight = MulDiv(f.lfHeight, static_cast<int>(dpi_), 96);
  f.lfWeight = FW_NORMAL;
  font_ = CreateFontIndirectW(&f);
  f.lfWeight = FW_BOLD;
  boldFont_ = CreateFontIndirectW(&f);
}

void OfficeHint::Show(const HintContent& content, POINT anchor, UINT dpi, UINT hideAfterMs, int designWidth) {
  if (!hwnd_) return;
  content_ = content;
  if (dpi != dpi_) {
    dpi_ = dpi;
    RebuildFonts();
  }
  HDC dc = GetDC(hwnd_);
  HGDIOBJ old = SelectObject(dc, font_);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, boldFont_);
  SIZE title{};
  GetTextExtentPoint32W(dc, content_.title.c_str(), static_cast<int>(content_.title.size()), &title);
  SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  lineHeight_ = tm.tmHeight + Scale(2);

  // Without a design width the hint fits its title.
  const int width = designWidth > 0 ? Scale(designWidth) : title.cx + Scale(18);
  int height = Scale(8) + lineHeight_ + Scale(6);  // padding and title
  height += static_cast<int>(content_.notes.size()) * lineHeight_;
  if (content_.showHelp) height += Scale(10) + std::max(lineHeight_, Scale(16));
  height += Scale(8);

  // Below and right of the pointer, kept on the monitor's work area.
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  GetMonitorInfoW(MonitorFromPoint(anchor, MONITOR_DEFAULTTONEAREST), &mi);
  int x = anchor.x;
  int y = anchor.y + Scale(20);
  if (x + width > mi.rcWork.right) x = mi.rcWork.right - width;
  if (y + height > mi.rcWork.bottom) y = anchor.y - height - Scale(4);
  x = std::max<int>(x, mi.rcWork.left);
  y = std::max<int>(y, mi.rcWork.top);

  SetWindowPos(hwnd_, HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(hwnd_, nullptr, TRUE);
  SetTimer(hwnd_, kHideTimer, hideAfterMs, nullptr);
}

void OfficeHint::Hide() {
  if (!hwnd_) return;
  KillTimer(hwnd_, kHideTimer);
  ShowWindow(hwnd_, SW_HIDE);
}

void OfficeHint::Paint(HDC dc) {
  RECT client{};
  GetClientRect(hwnd_, &client);
  FillVerticalGradient(dc, client, kTop, kBottom);
  HBRUSH border = CreateSolidBrush(kBorder);
  FrameRect(dc, &client, border);
  DeleteObject(border);

  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kText);
  const int pad = Scale(8);
  RECT line{client.left + pad, client.top + pad, client.right - pad, client.top + pad + lineHeight_};
  HGDIOBJ old = SelectObject(dc, boldFont_);
  DrawTextW(dc, content_.title.c_str(), -1, &line, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(dc, font_);
  OffsetRect(&line, 0, lineHeight_ + Scale(6));
  line.left += Scale(8);
  for (const std::wstring& note : content_.notes) {
    DrawTextW(dc, note.c_str(), -1, &line, DT_SINGLELINE | DT_NOPREFIX | DT_PATH_ELLIPSIS);
    OffsetRect(&line, 0, lineHeight_);
  }
  if (content_.showHelp) {
    const int ruleY = line.top + Scale(4);
    HPEN pen = CreatePen(PS_SOLID, 1, kRule);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    MoveToEx(dc, client.left + pad, ruleY, nullptr);
    LineTo(dc, client.right - pad, ruleY);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    const int icon = Scale(16);
    const int rowTop = ruleY + Scale(6);
    const int rowHeight = std::max(lineHeight_, icon);
    int textLeft = client.left + pad;
    if (content_.helpPicture) {
      DrawAlphaBitmap(dc, content_.helpPicture, textLeft, rowTop + (rowHeight - icon) / 2, icon);
      textLeft += icon + Scale(6);
    }
    RECT help{textLeft, rowTop, client.right - pad, rowTop + rowHeight};
    SelectObject(dc, boldFont_);
    DrawTextW(dc, content_.helpText.c_str(), -1, &help, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  SelectObject(dc, old);
}

LRESULT CALLBACK OfficeHint::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
  }
  auto* self = reinterpret_cast<OfficeHint*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (self) self->Paint(dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_TIMER:
      if (self && wp == kHideTimer) self->Hide();
      return 0;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_NCHITTEST: return HTTRANSPARENT;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace kovan::ui
