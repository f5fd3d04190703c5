#include "win32/window_base.win32.hpp"

#include <commctrl.h>

#include "base/error_report.hpp"
#include "base/program_title.hpp"
#include "base/text.hpp"
#include "platform/prompter.hpp"
#include "win32/gdi.win32.hpp"

namespace kovan {

namespace {

HWND g_appWindow = nullptr;

}  // namespace

void SetApplicationWindow(HWND appWindow) { g_appWindow = appWindow; }
HWND ApplicationWindow() { return g_appWindow; }

void RegisterCommonControls() {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    return InitCommonControlsEx(&classes) != FALSE;
  }();
  (void)registered;
}

void ShowErrorReport(const std::string& errorText) noexcept {
  HWND owner = GetActiveWindow();
  if (!owner) owner = g_appWindow;
  try {
    MessageBoxW(owner, ToWide(ErrorReportText(errorText)).c_str(), ToWide(kAppTitle).c_str(), MB_OK | MB_ICONERROR);
  } catch (...) {
    // Out of memory while making the text: the report itself cannot be shown.
    MessageBoxW(owner, L"Unexpected error.", L"Kovan", MB_OK | MB_ICONERROR);
  }
}

WindowBase::~WindowBase() {
  if (hwnd_) {
    // The object is going away: the window must not call back into it. A
    // control keeps its own procedure for its last messages.
    HWND window = hwnd_;
    if (controlProc_) ReleaseControl();
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
  }
}

bool WindowBase::CreateFor(const WindowClassInfo& windowClass, DWORD exStyle, DWORD style, const RECT& bounds,
                           HWND owner, const wchar_t* title, HMENU menuOrId) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (!GetClassInfoExW(instance, windowClass.name, &existing)) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = windowClass.style;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hIcon = windowClass.icon;
    wc.hCursor = windowClass.cursor ? windowClass.cursor : LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = windowClass.background;
    wc.lpszClassName = windowClass.name;
    if (!RegisterClassExW(&wc)) return false;
  }
  CreateWindowExW(exStyle, windowClass.name, title, style, bounds.left, bounds.top, bounds.right - bounds.left,
                  bounds.bottom - bounds.top, owner, menuOrId, instance, this);
  return hwnd_ != nullptr;
}

bool WindowBase::Subclass(HWND control) {
  if (!control || hwnd_ || GetWindowLongPtrW(control, GWLP_USERDATA) != 0) return false;
  // By hand rather than through the common controls' subclass chain, which
  // looks its data up at every message and would load the common controls
  // for an edit box.
  hwnd_ = control;
  dpi_ = dpi::OfWindow(control);
  SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  controlProc_ =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc)));
  if (!controlProc_) {
    SetWindowLongPtrW(control, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    return false;
  }
  return true;
}

void WindowBase::ReleaseControl() {
  SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProc_));
  controlProc_ = nullptr;
  hwnd_ = nullptr;
}

LRESULT WindowBase::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) { return Default(msg, wp, lp); }

void WindowBase::OnDpiChanged(UINT, const RECT& suggested) {
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowBase::CentreInWorkArea() {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  RECT window{};
  GetWindowRect(hwnd_, &window);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - width) / 2,
               work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowBase::DragMove() {
  ReleaseCapture();
  SendMessageW(hwnd_, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
}

void WindowBase::ShowBusyCursor(bool busy) {
  busy_ = busy;
  SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

POINT WindowBase::CursorPosition() const {
  POINT pt{};
  GetCursorPos(&pt);
  ScreenToClient(hwnd_, &pt);
  return pt;
}

LRESULT WindowBase::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
  // Errors never cross the window procedure: they end the handler, are shown,
  // and message processing goes on.
  return WithErrorBarrier([&]() -> LRESULT {
    if (msg == WM_DPICHANGED) {
      dpi_ = HIWORD(wp);
      OnDpiChanged(dpi_, *reinterpret_cast<const RECT*>(lp));
      return 0;
    }
    if (painting_ == Painting::Whole && msg == WM_PAINT) {
      gdi::PaintDc dc(hwnd_);
      Paint(dc.get());
      return 0;
    }
    if (painting_ == Painting::Whole && msg == WM_ERASEBKGND) return 1;
    if (msg == WM_SETCURSOR && busy_) {
      SetCursor(LoadCursorW(nullptr, IDC_WAIT));
      return TRUE;
    }
    return HandleMessage(msg, wp, lp);
  });
}

LRESULT CALLBACK WindowBase::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
    self->dpi_ = dpi::OfWindow(hwnd);
  }
  auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    const WNDPROC controlProc = self->controlProc_;
    if (controlProc) SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProc));
    const LRESULT result = self->Dispatch(msg, wp, lp);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->controlProc_ = nullptr;
    self->OnFinalMessage();  // may delete the object: nothing touches it after this
    return result;
  }
  return self->Dispatch(msg, wp, lp);
}

}  // namespace kovan
