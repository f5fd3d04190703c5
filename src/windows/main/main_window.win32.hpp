// The main window: a borderless, colour-keyed window holding the rounded pool
// panel with its count and the small close button, the drop target, the
// right-click menu and the hover summary.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <map>
#include <string>
#include <thread>

#include "win32/gdi.win32.hpp"
#include "win32/image_menu.win32.hpp"
#include "win32/office_hint.win32.hpp"
#include "win32/window_base.win32.hpp"
#include "windows/main/main_menu.hpp"
#include "windows/main/main_window_logic.hpp"

namespace kovan {

class MainWindow : public WindowBase, public MainWindowView {
 public:
  explicit MainWindow(MainWindowServices services);
  ~MainWindow() override;

  // Builds the window and runs its creation steps; false when the window
  // itself could not be made. `made` is told the window's handle before the
  // creation steps run (the shared dialogs take it as their owner).
  [[nodiscard]] bool Create(HWND appWindow, const std::function<void(HWND)>& made);
  void Show();
  // Decodes the menu's and the hint's pictures for the present DPI, unless
  // that is done: on an idle moment after the start, or when first needed.
  void PreparePictures();
  MainWindowLogic& Logic() { return logic_; }

  // MainWindowView
  void SetPoolCountCaption(const std::string& caption) override;
  void SetHoverSummary(const HoverSummary& summary) override;
  void SetOpacity(uint8_t alpha) override;
  void SetBusyCursor(bool busy) override;
  bool DispatchPendingMessages() override;
  std::string ThousandsSeparator() const override;
  void SetStayOnTop(bool onTop) override;
  ScreenSize PrimaryScreenSize() const override;
  ScreenSize WindowSize() const override;
  WindowPlace Place() const override;
  void MoveTo(WindowPlace place) override;
  void BeginVersionCheck(const ServerAddress& server) override;
  // Runs once a close has saved everything, before the window is taken down.
  void SetSavedForClose(std::function<void()> saved) { savedForClose_ = std::move(saved); }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnDpiChanged(UINT dpi, const RECT& suggested) override;

 private:
  void Paint(HDC dc) override;
  RECT CloseButtonRect() const;
  void ShowMenu(POINT screen);
  void RunCommand(MenuCommand command);
  void OnDropFiles(HDROP drop);
  void OnMouseMove();
  void OnMouseHover();
  void OnMenuSelect(WPARAM wp, LPARAM lp);
  void OnButtonDown(UINT msg, LPARAM lp);
  // Fonts for the window's present DPI.
  void LoadDpiResources();

  MainWindowLogic logic_;
  std::function<void()> savedForClose_;
  std::thread versionThread_;  // joined at destruction; the check is bounded in time
  std::wstring caption_ = L"0";
  bool mouseInside_ = false;
  bool menuOpen_ = false;  // the summary hint stays off an open menu
  bool quitSeen_ = false;
  bool closeHot_ = false;
  bool painted_ = false;  // the first paint ends the start
  HoverSummary hover_;
  ui::OfficeHint hint_;
  ui::OfficeHint menuHint_;
  std::map<std::string, gdi::Bitmap> pictures_;  // by picture name, at picturesDpi_
  UINT picturesDpi_ = 0;                         // 0 until the pictures are first needed
  LOGFONTW font_{};                              // the caption font at the current DPI
  gdi::Font countFont_;
};

}  // namespace kovan
