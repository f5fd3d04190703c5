// The floor for the start benchmark: a program that does nothing but show one
// 68 by 71 window, painted, and wait to be closed. Like Kovan, it appends the
// moment its own code starts to the file KOVAN_STARTUP_TIMELINE names, so the
// benchmark can tell the process start from the rest.
#include <windows.h>

#include <cstdio>

namespace {

void MarkEntered() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(L"KOVAN_STARTUP_TIMELINE", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  char line[64];
  const int size = std::snprintf(line, sizeof line, "%lld program entered\n", static_cast<long long>(now.QuadPart));
  DWORD written = 0;
  if (size > 0) WriteFile(file, line, static_cast<DWORD>(size), &written, nullptr);
  CloseHandle(file);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT client{};
      GetClientRect(hwnd, &client);
      HBRUSH brush = CreateSolidBrush(RGB(250, 200, 60));
      FillRect(dc, &client, brush);
      DeleteObject(brush);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  MarkEntered();
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = L"KovanBareWindow";
  if (!RegisterClassExW(&windowClass)) return 1;
  HWND window = CreateWindowExW(WS_EX_TOPMOST, L"KovanBareWindow", L"Bare", WS_POPUP, 100, 100, 68, 71, nullptr,
                                nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
