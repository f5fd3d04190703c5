// The parameter tree as screen readers and other accessibility tools see it:
// an outline whose items are the rows on show, each named by the text it
// shows (its markup without the tags), with its level as its value and its
// selection, focus and open or closed state.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace kovan::ui {

// What the accessible object asks of the tree, by row (0-based, the rows on
// show in order). Tools number the same rows from 1.
class AccessibleOutline {
 public:
  struct RowState {
    bool selected = false;
    bool opens = false;  // it has children
    bool open = false;
    bool inSight = false;
  };
  virtual ~AccessibleOutline() = default;
  virtual HWND OutlineWindow() const = 0;
  virtual size_t OutlineRowCount() = 0;
  virtual std::wstring OutlineRowText(size_t row) = 0;
  virtual int OutlineRowLevel(size_t row) = 0;
  virtual RowState OutlineRowState(size_t row) = 0;
  // The row's place on the screen.
  virtual RECT OutlineRowScreenRect(size_t row) = 0;
  virtual std::optional<size_t> OutlineSelectedRow() = 0;
  virtual std::optional<size_t> OutlineRowAt(POINT screen) = 0;
  virtual void OutlineSelectRow(size_t row) = 0;
  // Opens a closed row or closes an open one.
  virtual void OutlineToggleRow(size_t row) = 0;
};

class OutlineObject;

// Owned by the tree: hands its object to tools that ask for it, tells them
// when the selection moves, and cuts the object off from the tree when the
// tree goes, since a tool may hold on to it longer.
class OutlineAccessibility {
 public:
  explicit OutlineAccessibility(AccessibleOutline& outline) : outline_(outline) {}
  ~OutlineAccessibility();
  OutlineAccessibility(const OutlineAccessibility&) = delete;
  OutlineAccessibility& operator=(const OutlineAccessibility&) = delete;

  // WM_GETOBJECT: the answer for the client area; nothing for the others,
  // which the system answers.
  std::optional<LRESULT> OnGetObject(WPARAM wp, LPARAM lp);
  // The selection (and with the keyboard in the tree, the focus) is now on
  // `row`.
  void SelectionMoved(std::optional<size_t> row, bool focused);

 private:
  AccessibleOutline& outline_;
  OutlineObject* object_ = nullptr;  // made at the first request; one reference held
};

}  // namespace kovan::ui
