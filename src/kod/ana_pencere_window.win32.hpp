#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "kod/ana_pencere.hpp"
#include "platform/win32_prompter.win32.hpp"

namespace kovan {

inline constexpr wchar_t kMainWindowClass[] = L"TAnaPencere";

// The main window: a borderless, colour-keyed window holding the rounded pool
// panel with its count and the small close button.
class AnaPencereWindow : public AnaPencereView {
 public:
  explicit AnaPencereWindow(std::string dataFolder);
  ~AnaPencereWindow() override;

  bool Create(HINSTANCE instance);
  HWND hwnd() const { return hwnd_; }

  void SetPoolCountCaption(const std::string& caption) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  void Paint(HDC dc);
  int Scale(int designPixels) const;
  RECT CloseButtonRect() const;

  HWND hwnd_ = nullptr;
  UINT dpi_ = 96;
  Win32Prompter prompter_;
  TAnaPencere logic_;
  std::wstring caption_ = L"0";
};

}  // namespace kovan
