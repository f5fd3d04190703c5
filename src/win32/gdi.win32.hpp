// Typed owners of GDI objects and device contexts. Window code never deletes
// or releases a GDI handle itself: it holds one of these.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "base/handles.win32.hpp"

namespace kovan::gdi {

template <typename Handle>
struct ObjectTraits {
  using Type = Handle;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { DeleteObject(h); }
};

using Font = UniqueResource<ObjectTraits<HFONT>>;
using Brush = UniqueResource<ObjectTraits<HBRUSH>>;
using Pen = UniqueResource<ObjectTraits<HPEN>>;
using Bitmap = UniqueResource<ObjectTraits<HBITMAP>>;
using Region = UniqueResource<ObjectTraits<HRGN>>;

struct MenuTraits {
  using Type = HMENU;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { DestroyMenu(h); }
};
using Menu = UniqueResource<MenuTraits>;

inline Font MakeFont(const LOGFONTW& font) { return Font(CreateFontIndirectW(&font)); }
inline Brush MakeBrush(COLORREF colour) { return Brush(CreateSolidBrush(colour)); }
inline Pen MakePen(int width, COLORREF colour, int style = PS_SOLID) { return Pen(CreatePen(style, width, colour)); }

// Selects an object into a DC for the owner's lifetime.
class Select {
 public:
  Select(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  template <typename Traits>
  Select(HDC dc, const UniqueResource<Traits>& object) : Select(dc, static_cast<HGDIOBJ>(object.get())) {}
  ~Select() { SelectObject(dc_, old_); }
  Select(const Select&) = delete;
  Select& operator=(const Select&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// BeginPaint / EndPaint.
class PaintDc {
 public:
  explicit PaintDc(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &ps_)) {}
  ~PaintDc() { EndPaint(hwnd_, &ps_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC get() const { return dc_; }
  const RECT& Dirty() const { return ps_.rcPaint; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// GetDC / ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// A memory DC compatible with `reference`; with a size, it holds a bitmap of
// that size to draw off screen and copy in one blit.
class MemoryDc {
 public:
  explicit MemoryDc(HDC reference) : dc_(CreateCompatibleDC(reference)) {}
  MemoryDc(HDC reference, int width, int height)
      : dc_(CreateCompatibleDC(reference)),
        bitmap_(CreateCompatibleBitmap(reference, std::max(width, 1), std::max(height, 1))),
        old_(SelectObject(dc_, bitmap_.get())) {}
  ~MemoryDc() {
    if (old_) SelectObject(dc_, old_);
    if (dc_) DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
  Bitmap bitmap_;
  HGDIOBJ old_ = nullptr;
};

}  // namespace kovan::gdi
