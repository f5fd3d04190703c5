// The base of every window: the window procedure that finds the object, one
// barrier that turns an escaping error into the general error report, and the
// window's DPI. A control the system makes (a tree view, an edit) joins the
// same dispatch by being subclassed.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

namespace kovan {

struct WindowClassInfo {
  const wchar_t* name;
  UINT style = 0;
  HICON icon = nullptr;
  HCURSOR cursor = nullptr;  // the arrow when null
  HBRUSH background = nullptr;
};

class WindowBase {
 public:
  WindowBase() = default;
  virtual ~WindowBase();
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;

  HWND hwnd() const { return hwnd_; }
  UINT Dpi() const { return dpi_; }
  // Design pixels (at 96 DPI) to pixels at the window's DPI.
  int Scale(int designPixels) const { return MulDiv(designPixels, static_cast<int>(dpi_), 96); }

 protected:
  // Registers the class (once per process) and creates the window; false when
  // the system refused.
  bool CreateFor(const WindowClassInfo& windowClass, DWORD exStyle, DWORD style, const RECT& bounds, HWND owner,
                 const wchar_t* title = L"", HMENU menuOrId = nullptr);
  // Takes over a control of a system class: its messages come to
  // HandleMessage through the same barrier, and Default hands them on to the
  // control's own procedure. The control gets that procedure back when it is
  // destroyed, or when the object goes first (and then destroys it). False
  // when the control is already taken or the system refused.
  bool Subclass(HWND control);

  // One message; the default hands it to the system.
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
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
  UINT dpi_ = 96;
  WNDPROC controlProc_ = nullptr;  // a subclassed control's own procedure
};

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
