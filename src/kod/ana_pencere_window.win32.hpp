#pragma once

#include <windows.h>
#include <shellapi.h>

#include <map>
#include <memory>
#include <string>
#include <thread>

#include "kod/ana_pencere.hpp"
#include "kod/main_menu.hpp"
#include "online/browser_launch.win32.hpp"
#include "platform/win32_prompter.win32.hpp"
#include "platform/win32_registry.win32.hpp"
#include "platform/win32_shell.win32.hpp"
#include "ui/image_menu.win32.hpp"
#include "ui/office_hint.win32.hpp"
#include "ui/png_image.win32.hpp"

namespace kovan {

inline constexpr wchar_t kMainWindowClass[] = L"TAnaPencere";

// The main window: a borderless, colour-keyed window holding the rounded pool
// panel with its count and the small close button, the drop target, the
// right-click menu and the hover summary.
class AnaPencereWindow : public AnaPencereView {
 public:
  AnaPencereWindow(HWND appWindow, std::string exeFolder, std::string dataFolder);
  ~AnaPencereWindow() override;

  // Builds the window and runs its creation steps; false when the window
  // itself could not be made.
  bool Create(HINSTANCE instance);
  void Show();
  HWND hwnd() const { return hwnd_; }

  // AnaPencereView
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

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  void Paint(HDC dc);
  int Scale(int designPixels) const;
  RECT CloseButtonRect() const;
  void ShowMenu(POINT screen);
  void RunCommand(MenuCommand command);
  void OnDropFiles(HDROP drop);
  void OnMouseMove();
  void LoadPictures();

  HWND appWindow_;
  HWND hwnd_ = nullptr;
  UINT dpi_ = 96;
  std::string exeFolder_;
  Win32Prompter prompter_;
  Win32Shell shell_;
  Win32Registry registry_;
  Win32StartupShortcut shortcut_;
  Win32ClassesRoot classes_;
  Win32BrowserStarter starter_;
  RegisteredBrowser browser_;
  TAnaPencere logic_;
  std::thread versionThread_;  // joined at destruction; the check is bounded in time
  MainMenuModel menu_;
  std::wstring caption_ = L"0";
  bool mouseInside_ = false;
  bool busy_ = false;
  bool quitSeen_ = false;
  bool closeHot_ = false;
  HoverSummary hover_;
  ui::GdiplusSession gdiplus_;
  ui::OfficeHint hint_;
  ui::OfficeHint menuHint_;
  ui::MenuHints menuHints_;
  std::map<std::string, UniqueGdiObject> pictures_;  // by picture name, at the current DPI
  LOGFONTW font_{};
};

}  // namespace kovan
