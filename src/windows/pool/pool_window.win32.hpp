// The pool window: a borderless, colour-keyed window whose rounded panel holds
// the parameter tree of the pool's entries, a close button and a confirm
// button. Shown modally from the main window; made once and hidden between
// showings.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "platform/prompter.hpp"
#include "platform/shell.hpp"
#include "win32/gdi.win32.hpp"
#include "controls/param_tree/param_tree_view.win32.hpp"
#include "win32/window_base.win32.hpp"
#include "windows/pool/pool_window_logic.hpp"

namespace kovan {

class PoolWindow : public WindowBase, public PoolWindowView {
 public:
  explicit PoolWindow(PoolWindowServices services);
  ~PoolWindow() override;

  // Makes the (hidden) window, owned by the main window, with its texts in the
  // language of the start; the panel's caption at this point is the title the
  // heading builds on.
  [[nodiscard]] bool Create(HWND mainWindow);
  // Opens the window on a fresh copy of the main pool and returns when it is
  // closed; the main window is disabled meanwhile.
  void ShowModal();
  // Lets go of the working copy once the window is out of sight: a large
  // pool's memory is not held between showings, and freeing it is not in
  // the next opening's way.
  void DropWorkingCopy();
  // Decodes the window's and its menu's pictures for the present DPI, unless
  // that is done: on an idle moment after the start, or at the first showing.
  void PreparePictures();
  // Makes the tree control, unless it is made: on an idle moment after the
  // start, at the first showing, or when a caller first asks for it. Throws
  // SystemError when the system refuses it.
  void PrepareTree();

  PoolWindowLogic& Logic() { return logic_; }
  ui::ParamTreeView& Tree() {
    PrepareTree();
    return tree_;
  }
  bool Showing() const { return showing_; }

  // PoolWindowView
  void SetTitle(const std::string& title) override;
  void SetStayOnTop(bool onTop) override;
  void SetBusyCursor(bool busy) override;
  bool DispatchPendingMessages() override;
  void Close() override;
  void WriteWorkbook(const ExportTable& table, const std::string& path) override;
  HtmlStyle HtmlLook() const override;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnDpiChanged(UINT dpi, const RECT& suggested) override;

 private:
  // The buttons on the panel act on a click: pressed and released over them.
  enum class Button { None, Close, Confirm };
  Button ButtonAt(POINT pt) const;
  void LoadDpiResources();
  void Paint(HDC dc) override;
  RECT PanelRect() const;
  RECT CloseRect() const;
  RECT ConfirmRect() const;
  RECT TreeRect() const;
  void ShowMenu(POINT screen);
  void OnButtonDown(UINT msg, POINT pt);
  void OnLeftButtonUp(POINT pt);
  // While the window shows modally, every other window of the program is
  // disabled, as a modal dialog does; false undoes it.
  void DisableOtherWindows(bool disable);
  // Escape, wherever the focus is, asks a running folder addition to stop.
  void PreviewMessage(const MSG& msg);

  PoolWindowLogic logic_;
  ui::ParamTreeView tree_;
  std::wstring title_;
  HWND owner_ = nullptr;
  LOGFONTW font_{};  // the main window's font, at this window's DPI
  gdi::Font captionFont_;
  std::map<std::string, gdi::Bitmap> pictures_;
  UINT picturesDpi_ = 0;  // the DPI the pictures are for; 0 until first needed
  gdi::Bitmap closePicture_;
  gdi::Bitmap okPicture_;
  std::vector<HWND> disabledWindows_;  // by the modal showing
  Button pressed_ = Button::None;
  bool showing_ = false;
  bool quitSeen_ = false;
  bool closeHot_ = false;
  bool confirmHot_ = false;
};

}  // namespace kovan
