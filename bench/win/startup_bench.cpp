// The start of the real Kovan.exe, from process creation to its painted panel,
// against a bare program that shows one window of the panel's size (the
// floor), in interleaved rounds: with an empty pool and with 10,000 entries.
// Prints the medians and Kovan's start-up timeline (the marks it writes when
// KOVAN_STARTUP_TIMELINE names a file). Run under Wine or on Windows, from the
// folder of the release build: kovan_startup_bench [rounds [other Kovan.exe]];
// another Kovan.exe (an earlier build) then starts in the same rounds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Program {
  const char* label;
  fs::path exe;
  fs::path folder;  // the working folder, where Kovan finds its pool list
  const wchar_t* windowClass;
  bool idleWork;
};

struct Run {
  double painted = -1;                                // ms from process creation; negative when it never showed
  std::vector<std::pair<std::string, double>> marks;  // in the order written
};

struct FindWindow {
  DWORD pid;
  const wchar_t* windowClass;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lp) {
  auto* find = reinterpret_cast<FindWindow*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  if (pid == find->pid && IsWindowVisible(hwnd) && wcscmp(name, find->windowClass) == 0) {
    find->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

long long Now() {
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

double Ms(long long ticks) {
  static const long long frequency = [] {
    LARGE_INTEGER f{};
    QueryPerformanceFrequency(&f);
    return f.QuadPart;
  }();
  return static_cast<double>(ticks) * 1000.0 / static_cast<double>(frequency);
}

Run Start(const Program& program) {
  const fs::path timeline = program.folder / L"timeline.txt";
  fs::remove(timeline);
  SetEnvironmentVariableW(L"KOVAN_STARTUP_TIMELINE", timeline.c_str());
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring command = L"\"" + program.exe.wstring() + L"\"";
  Run run;
  const long long start = Now();
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, program.folder.c_str(), &si, &pi)) {
    std::fprintf(stderr, "cannot start %ls (error %lu)\n", program.exe.c_str(), GetLastError());
    std::exit(1);
  }
  FindWindow find{pi.dwProcessId, program.windowClass, nullptr};
  while (!find.found && Ms(Now() - start) < 30000) {
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&find));
    if (!find.found) Sleep(1);
  }
  if (find.found) {
    // Shown and painted once the window answers a message after showing:
    // both programs paint before they look at their queue.
    SendMessageTimeoutW(find.found, WM_NULL, 0, 0, SMTO_BLOCK, 10000, nullptr);
    run.painted = Ms(Now() - start);
  }
  if (program.idleWork) Sleep(500);  // the work Kovan leaves for after its first paint
  TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, 20000);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);

  std::ifstream marks(timeline);
  std::string line;
  while (std::getline(marks, line)) {
    std::istringstream fields(line);
    long long ticks = 0;
    std::string what;
    if (fields >> ticks && std::getline(fields >> std::ws, what)) run.marks.emplace_back(what, Ms(ticks - start));
  }
  return run;
}

double Median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// A folder with its own copy of `kovan` and the language files, and a pool
// list of `entries` files kept in `files`.
void MakeFolder(const fs::path& folder, const fs::path& kovan, const fs::path& bin, int entries,
                const fs::path& files) {
  fs::create_directories(folder);
  fs::copy_file(kovan, folder / L"Kovan.exe");
  if (fs::exists(bin / L"dil")) fs::copy(bin / L"dil", folder / L"dil", fs::copy_options::recursive);
  // An empty list file is an empty pool; a missing one would be reported.
  std::ofstream list(folder / L"Liste.kvl", std::ios::binary);
  for (int i = 0; i < entries; ++i) {
    const fs::path file = files / (L"f" + std::to_wstring(i) + L".ico");
    if (!fs::exists(file)) std::ofstream(file, std::ios::binary) << "icon";
    list << "?,ico," << file.string() << "\r\n";
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 7;
  // Another Kovan.exe (an earlier build, say) runs in the same rounds.
  const fs::path other = argc > 2 ? fs::absolute(argv[2]) : fs::path();
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const fs::path bin = fs::path(self).parent_path();
  const fs::path root = fs::temp_directory_path() / L"kovan-startup-bench";
  fs::remove_all(root);
  fs::create_directories(root / L"files");
  MakeFolder(root / L"empty", bin / L"Kovan.exe", bin, 0, root / L"files");
  MakeFolder(root / L"large", bin / L"Kovan.exe", bin, 10000, root / L"files");
  std::vector<Program> programs = {
      {"bare one-window program", bin / L"kovan_bare_window.exe", root, L"KovanBareWindow", false},
      {"Kovan, empty pool", root / L"empty" / L"Kovan.exe", root / L"empty", L"TAnaPencere", true},
      {"Kovan, 10,000 entries", root / L"large" / L"Kovan.exe", root / L"large", L"TAnaPencere", true},
  };
  if (!other.empty()) {
    MakeFolder(root / L"other-empty", other, bin, 0, root / L"files");
    MakeFolder(root / L"other-large", other, bin, 10000, root / L"files");
    programs.push_back(
        {"other build, empty pool", root / L"other-empty" / L"Kovan.exe", root / L"other-empty", L"TAnaPencere", true});
    programs.push_back(
        {"other build, 10,000", root / L"other-large" / L"Kovan.exe", root / L"other-large", L"TAnaPencere", true});
  }
  // The version check at start meets a closed port, as it would with no network.
  SetEnvironmentVariableW(L"KOVAN_UPDATE_SERVER", L"127.0.0.1:1");

  const size_t count = programs.size();
  for (const Program& program : programs) (void)Start(program);  // the first start of each loads it from disk
  std::vector<std::vector<Run>> runs(count);
  for (int round = 0; round < rounds; ++round) {
    // Each round starts with another program, so none always follows the same one.
    for (size_t k = 0; k < count; ++k) {
      const size_t which = (k + static_cast<size_t>(round)) % count;
      runs[which].push_back(Start(programs[which]));
    }
  }

  // Under a shared machine's load the fastest start shows the work a start
  // does; the median shows what a start takes.
  std::vector<double> medians(count);
  std::vector<double> fastest(count);
  std::printf("start to painted window over %d interleaved rounds, release build:\n  %-26s %7s %8s %8s\n", rounds, "",
              "median", "fastest", "slowest");
  for (size_t k = 0; k < count; ++k) {
    std::vector<double> times;
    for (const Run& run : runs[k]) times.push_back(run.painted);
    medians[k] = Median(times);
    fastest[k] = *std::min_element(times.begin(), times.end());
    std::printf("  %-26s %4.0f ms %5.0f ms %5.0f ms\n", programs[k].label, medians[k], fastest[k],
                *std::max_element(times.begin(), times.end()));
  }
  for (size_t k = 1; k + 1 < count; k += 2) {
    std::printf("%s against the bare program: %.2fx (medians), %.2fx (fastest)\n", programs[k].label,
                medians[k] / medians[0], fastest[k] / fastest[0]);
    std::printf("%s against the empty pool: %.2fx (medians), %.2fx (fastest)\n", programs[k + 1].label,
                medians[k + 1] / medians[k], fastest[k + 1] / fastest[k]);
  }

  // The marks in the order the first run wrote them; medians over the rounds.
  std::printf("\nstart-up timeline, median ms after process creation:\n  %-46s %7s %7s %7s\n", "mark", "bare", "empty",
              "10,000");
  std::vector<std::string> order;
  for (size_t k = 0; k < count; ++k) {
    for (const auto& mark : runs[k].front().marks) {
      if (std::find(order.begin(), order.end(), mark.first) == order.end()) order.push_back(mark.first);
    }
  }
  for (const std::string& name : order) {
    std::printf("  %-46s", name.c_str());
    for (size_t k = 0; k < count; ++k) {
      std::vector<double> times;
      for (const Run& run : runs[k]) {
        const auto mark =
            std::find_if(run.marks.begin(), run.marks.end(), [&name](const auto& m) { return m.first == name; });
        if (mark != run.marks.end()) times.push_back(mark->second);
      }
      if (times.empty()) {
        std::printf(" %7s", "-");
      } else {
        std::printf(" %7.0f", Median(times));
      }
    }
    std::printf("\n");
  }
  std::error_code ignored;
  fs::remove_all(root, ignored);
  return 0;
}
