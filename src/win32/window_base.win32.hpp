// The base of every window: the window procedure that finds the object, one
// barrier that turns an escaping error into the general error report, the
// window's DPI, and the chores every window shares. A control the system makes
// (an edit box) joins the same dispatch by being subclassed.
#pragma once

#include <windows.h>
#include <windowsx.h>

#include <exception>
#include <string>

#include "win32/dpi.win32.hpp"

namespace kovan {

struct WindowClassInfo {
  const wchar_t* name;
  UINT style = 0;
  HICON icon = nullptr;
  HCURSOR cursor = nullptr;  // the arrow when null
  HBRUSH background = nullptr;
};

// Who paints the client area: the system (with the class background and the
// controls on it), or the window itself, all of it on every WM_PAINT.
enum class Painting { BySystem, Whole };

class WindowBase {
 public:
  explicit WindowBase(Painting painting = Painting::BySystem) : painting_(painting) {}
  virtual ~WindowBase();
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;

  HWND hwnd() const { return hwnd_; }
  UINT Dpi() const { return dpi_; }
  // Design pixels (at 96 DPI) to pixels at the window's DPI.
  int Scale(int designPixels) const { return dpi::Scale(designPixels, dpi_); }
  RECT Scale(const RECT& design) const { return dpi::Scale(design, dpi_); }

  // Places the window, at its present size, in the middle of the work area
  // (the desktop without its task bars) of the primary monitor.
  void CentreInWorkArea();
  // Moves the window with the mouse from here on, as if its caption were
  // dragged: how the borderless windows are moved by their panel.
  void DragMove();
  // The hourglass over the window while busy, the class cursor again after.
  void ShowBusyCursor(bool busy);
  // Where the mouse pointer is, in client coordinates.
  POINT CursorPosition() const;

 protected:
  // Registers the class (once per process) and creates the window; false when
  // the system refused.
  [[nodiscard]] bool CreateFor(const WindowClassInfo& windowClass, DWORD exStyle, DWORD style, const RECT& bounds, HWND owner,
                 const wchar_t* title = L"", HMENU menuOrId = nullptr);
  // Takes over a control of a system class: its messages come to
  // HandleMessage through the same barrier, and Default hands them on to the
  // control's own procedure. The control gets that procedure back when it is
  // destroyed, or when the object goes first (and then destroys it). False
  // when the control is already taken or the system refused.
  [[nodiscard]] bool Subclass(HWND control);

  // One message; the default hands it to the system.
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  // A window that paints the whole of itself draws here; the background is
  // never erased first, as the drawing covers it (erasing would flicker).
  virtual void Paint(HDC) {}
  // The window moved to a monitor of another DPI; the default takes the
  // system's suggested rectangle.
  virtual void OnDpiChanged(UINT dpi, const RECT& suggested);
  LRESULT Default(UINT msg, WPARAM wp, LPARAM lp) {
    return controlProc_ ? CallWindowProcW(controlProc_, hwnd_, msg, wp, lp) : DefWindowProcW(hwnd_, msg, wp, lp);
  }
  // The window is gone and will never call back into the object: the last
  // point where an object that owns itself may release itself.
  virtual void OnFinalMessage() {}

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);

  // Gives a subclassed control its own procedure back.
  void ReleaseControl();

  HWND hwnd_ = nullptr;
  UINT dpi_ = dpi::kDesignDpi;
  Painting painting_;
  bool busy_ = false;
  WNDPROC controlProc_ = nullptr;  // a subclassed control's own procedure
};

// The mouse position a mouse message carries in its lParam (signed: a point
// left of or above a monitor is negative).
inline POINT MousePoint(LPARAM lp) { return POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}; }

// Registers the common controls' window classes (the settings window's
// up-down arrows) before a window makes its first one. The library loads with
// the first call, so a start that shows none of them does not wait for it.
void RegisterCommonControls();

// Shows the general error report for an error no handler caught: the error's
// text, the application title, the error icon; owned by the active window, or
// by the application window when none is active.
void ShowErrorReport(const std::string& errorText) noexcept;
// The hidden application window that owns the boxes when no window is active.
void SetApplicationWindow(HWND appWindow);
HWND ApplicationWindow();

// Runs the handler of one message inside the error barrier: an error it
// throws ends the handler, is shown as the general error report, and the
// message counts as handled (0), so message processing goes on. Every window
// procedure of Kovan's, the subclassed controls' too, runs its handlers here.
template <typename Handler>
LRESULT WithErrorBarrier(Handler&& handler) noexcept {
  try {
    return handler();
  } catch (const std::exception& e) {
    ShowErrorReport(e.what());
  } catch (...) {
    ShowErrorReport("Unexpected error");
  }
  return 0;
}

}  // namespace kovan
