// Kovan.exe: program start.
#include <windows.h>

#include "base/file_system.hpp"
#include "kod/ana_pencere_window.win32.hpp"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  kovan::AnaPencereWindow window(kovan::ExeFolder());
  if (!window.Create(instance)) return 1;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
