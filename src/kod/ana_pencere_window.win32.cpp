#include "kod/ana_pencere_window.win32.hpp"

#include <exception>

#include "base/handles.win32.hpp"
#include "base/text.hpp"

namespace kovan {

namespace {

constexpr int kPanelWidth = 68;  // design sizes at 96 DPI
constexpr int kPanelHeight = 71;
constexpr int kCloseButtonSize = 12;
constexpr COLORREF kColourKey = RGB(255, 0, 255);
constexpr COLORREF kPanelTop = RGB(255, 214, 92);
constexpr COLORREF kPanelBottom = RGB(232, 160, 20);
constexpr COLORREF kPanelEdge = RGB(150, 96, 8);
constexpr COLORREF kTextColour = RGB(64, 38, 0);

UINT WindowDpi(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto fn = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  const UINT dpi = fn ? fn(hwnd) : 0;
  return dpi ? dpi : 96;
}

}  // namespace

AnaPencereWindow::AnaPencereWindow(std::string dataFolder) : logic_(*this, prompter_, std::move(dataFolder)) {}

AnaPencereWindow::~AnaPencereWindow() = default;

int AnaPencereWindow::Scale(int designPixels) const { return MulDiv(designPixels, static_cast<int>(dpi_), 96); }

RECT AnaPencereWindow::CloseButtonRect() const {
  const int size = Scale(kCloseButtonSize);
  const int right = Scale(kPanelWidth) - Scale(5);
  return RECT{right - size, Scale(5), right, Scale(5) + size};
}

bool AnaPencereWindow::Create(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kMainWindowClass;
  if (!RegisterClassExW(&wc)) return false;
  hwnd_ = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kMainWindowClass, L"Kovan", WS_POPUP,
                          CW_USEDEFAULT, CW_USEDEFAULT, kPanelWidth, kPanelHeight, nullptr, nullptr, instance, this);
  if (!hwnd_) return false;
  dpi_ = WindowDpi(hwnd_);
  const int w = Scale(kPanelWidth);
  const int h = Scale(kPanelHeight);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  SetWindowPos(hwnd_, HWND_TOPMOST, work.left + (work.right - work.left - w) / 2,
               work.top + (work.bottom - work.top - h) / 2, w, h, SWP_NOACTIVATE);
  SetLayeredWindowAttributes(hwnd_, kColourKey, 255, LWA_COLORKEY | LWA_ALPHA);
  prompter_.SetOwner(hwnd_);
  try {
    logic_.FormCreate();
  } catch (const std::exception& e) {
    prompter_.ReportError(e.what());
  }
  ShowWindow(hwnd_, SW_SHOW);
  UpdateWindow(hwnd_);
  return true;
}

void AnaPencereWindow::SetPoolCountCaption(const std::string& caption) {
  caption_ = ToWide(caption);
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void AnaPencereWindow::Paint(HDC dc) {
  RECT client{};
  GetClientRect(hwnd_, &client);
  // Draw off screen, then copy, so the count never flickers.
  HDC memDc = CreateCompatibleDC(dc);
  UniqueGdiObject bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
  HGDIOBJ oldBitmap = SelectObject(memDc, bitmap.get());

  UniqueGdiObject keyBrush(CreateSolidBrush(kColourKey));
  FillRect(memDc, &client, static_cast<HBRUSH>(keyBrush.get()));

  // Rounded panel with a vertical gradient, clipped to its rounded outline.
  const int radius = Scale(14);
  UniqueGdiObject region(CreateRoundRectRgn(0, 0, client.right + 1, client.bottom + 1, radius, radius));
  SelectClipRgn(memDc, static_cast<HRGN>(region.get()));
  TRIVERTEX vertices[2] = {
      {0, 0, static_cast<COLOR16>(GetRValue(kPanelTop) << 8), static_cast<COLOR16>(GetGValue(kPanelTop) << 8),
       static_cast<COLOR16>(GetBValue(kPanelTop) << 8), 0},
      {client.right, client.bottom, static_cast<COLOR16>(GetRValue(kPanelBottom) << 8),
       static_cast<COLOR16>(GetGValue(kPanelBottom) << 8), static_cast<COLOR16>(GetBValue(kPanelBottom) << 8), 0}};
  GRADIENT_RECT gradient{0, 1};
  GradientFill(memDc, vertices, 2, &gradient, 1, GRADIENT_FILL_RECT_V);
  SelectClipRgn(memDc, nullptr);
  UniqueGdiObject edgeBrush(CreateSolidBrush(kPanelEdge));
  FrameRgn(memDc, static_cast<HRGN>(region.get()), static_cast<HBRUSH>(edgeBrush.get()), 1, 1);

  // The close button: a small cross.
  const RECT close = CloseButtonRect();
  UniqueGdiObject pen(CreatePen(PS_SOLID, std::max(1, Scale(2)), kTextColour));
  HGDIOBJ oldPen = SelectObject(memDc, pen.get());
  const int inset = Scale(3);
  MoveToEx(memDc, close.left + inset, close.top + inset, nullptr);
  LineTo(memDc, close.right - inset, close.bottom - inset);
  MoveToEx(memDc, close.right - inset, close.top + inset, nullptr);
  LineTo(memDc, close.left + inset, close.bottom - inset);
  SelectObject(memDc, oldPen);

  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  LOGFONTW font = metrics.lfMessageFont;
  font.lfHeight = -Scale(16);
  font.lfWeight = FW_BOLD;
  UniqueGdiObject fontHandle(CreateFontIndirectW(&font));
  HGDIOBJ oldFont = SelectObject(memDc, fontHandle.get());
  SetBkMode(memDc, TRANSPARENT);
  SetTextColor(memDc, kTextColour);
  DrawTextW(memDc, caption_.c_str(), static_cast<int>(caption_.size()), &client,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(memDc, oldFont);

  BitBlt(dc, 0, 0, client.right, client.bottom, memDc, 0, 0, SRCCOPY);
  SelectObject(memDc, oldBitmap);
  DeleteDC(memDc);
}

LRESULT CALLBACK AnaPencereWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<AnaPencereWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<AnaPencereWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  // Errors never cross the window procedure: they end the handler and are shown.
  try {
    return self->HandleMessage(msg, wp, lp);
  } catch (const std::exception& e) {
    self->prompter_.ReportError(e.what());
    return 0;
  }
}

LRESULT AnaPencereWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      Paint(dc);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      const POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      const RECT close = CloseButtonRect();
      if (msg == WM_LBUTTONDOWN && PtInRect(&close, pt)) {
        PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        return 0;
      }
      // Any button drags the window by its panel.
      ReleaseCapture();
      SendMessageW(hwnd_, WM_SYSCOMMAND, 0xF012, 0);
      return 0;
    }
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wp);
      const auto* suggested = reinterpret_cast<const RECT*>(lp);
      SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, Scale(kPanelWidth), Scale(kPanelHeight),
                   SWP_NOZORDER | SWP_NOACTIVATE);
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    }
    case WM_CLOSE:
      if (logic_.FormClose()) DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace kovan
