// Time from starting Kovan.exe to its visible, painted main window, with a
// pool of 10,000 existing files. Run under Wine or on Windows; prints figures.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

struct Found {
  DWORD pid;
  HWND hwnd;
};

BOOL CALLBACK FindMain(HWND hwnd, LPARAM lp) {
  auto* f = reinterpret_cast<Found*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  wchar_t cls[32] = {};
  GetClassNameW(hwnd, cls, 32);
  if (pid == f->pid && IsWindowVisible(hwnd) && wcscmp(cls, L"MainWindowLogic") == 0) {
    f->hwnd = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

int wmain() {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const auto bin = std::filesystem::path(self).parent_path();
  const auto folder = std::filesystem::temp_directory_path() / L"kovan-startup-bench";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder / L"files");
  std::filesystem::copy_file(bin / L"Kovan.exe", folder / L"Kovan.exe");
  {
    std::ofstream list(folder / L"Liste.kvl", std::ios::binary);
    for (int i = 0; i < 10000; ++i) {
      const auto file = folder / L"files" / (L"f" + std::to_wstring(i) + L".ico");
      std::ofstream(file, std::ios::binary) << "icon";
      list << "?,ico," << file.string() << "\r\n";
    }
  }
  std::vector<double> times;
  for (int run = 0; run < 5; ++run) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring cmd = L"\"" + (folder / L"Kovan.exe").wstring() + L"\"";
    const auto start = std::chrono::steady_clock::now();
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi)) return 1;
    Found found{pi.dwProcessId, nullptr};
    while (!found.hwnd && std::chrono::steady_clock::now() - start < std::chrono::seconds(30)) {
      EnumWindows(FindMain, reinterpret_cast<LPARAM>(&found));
      if (!found.hwnd) Sleep(1);
    }
    // A paint has happened once the window answers a message after showing.
    if (found.hwnd) SendMessageTimeoutW(found.hwnd, WM_NULL, 0, 0, SMTO_BLOCK, 10000, nullptr);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    times.push_back(ms);
    if (found.hwnd) PostMessageW(found.hwnd, WM_CLOSE, 0, 0);
    WaitForSingleObject(pi.hProcess, 20000);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
  }
  std::sort(times.begin(), times.end());
  std::printf("start to first paint, 10,000-entry pool: median %.0f ms (min %.0f, max %.0f) over %zu runs\n",
              times[times.size() / 2], times.front(), times.back(), times.size());
  std::filesystem::remove_all(folder);
  return 0;
}
