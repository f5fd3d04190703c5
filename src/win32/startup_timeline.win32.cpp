#include "win32/startup_timeline.win32.hpp"

#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace kovan::timeline {

namespace {

HANDLE OpenTimelineFile() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(L"KOVAN_STARTUP_TIMELINE", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return INVALID_HANDLE_VALUE;
  return CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

void Mark(const char* what) {
  // Opened on the first mark and kept to the end of the process; marks come
  // from the user-interface thread only.
  static const HANDLE file = OpenTimelineFile();
  if (file == INVALID_HANDLE_VALUE) return;
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  char line[160];
  const int length = std::snprintf(line, sizeof line, "%lld %s\n", static_cast<long long>(now.QuadPart), what);
  if (length <= 0) return;
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(std::min<int>(length, sizeof line - 1)), &written, nullptr);
}

}  // namespace kovan::timeline
