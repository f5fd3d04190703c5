// Opening the pool window on large pools, against a bare native tree view
// filled with the texts of all nodes (five per entry) in the same run: the
// first opening of a fresh window, the closing (the window lets go of its
// working copy once hidden), the next opening, the next one after everything
// was expanded, and expanding and collapsing everything. Run under Wine or on
// Windows; prints the median of several rounds of each figure.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/com.win32.hpp"
#include "base/text.hpp"
#include "platform/win32_shell.win32.hpp"
#include "support/recording_prompter.hpp"
#include "export/file_size_text.hpp"
#include "windows/pool/pool_window.win32.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point since) { return std::chrono::duration<double, std::milli>(Clock::now() - since).count(); }

double Median(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  const size_t n = samples.size();
  return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

double Time(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return Ms(start);
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// `count` entries of real files (their sizes are read), made once and kept
// in the temporary folder for later runs.
kovan::ResourcePool MakePool(size_t count) {
  const auto folder = std::filesystem::temp_directory_path() / L"kovan-pool-window-bench";
  std::filesystem::create_directories(folder);
  kovan::ResourcePool pool;
  const char* extensions[] = {".ico", ".bmp", ".wav", ".txt", ".png"};
  for (size_t i = 0; i < count; ++i) {
    const auto file = folder / ("file" + std::to_string(i) + extensions[i % 5]);
    if (!std::filesystem::exists(file)) std::ofstream(file) << "x";
    pool.Append("KEY" + std::to_string(i), "TYPE", file.string());
  }
  return pool;
}

// The texts of all nodes in a plain tree view: each entry's root and its four
// children, with drawing off as the pool window fills.
double BareFill(const std::vector<std::wstring>& texts, const std::vector<int>& levels) {
  HWND host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 486, 405, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  HWND tree = CreateWindowExW(0, WC_TREEVIEWW, L"",
                              WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 16,
                              39, 441, 306, host, nullptr, GetModuleHandleW(nullptr), nullptr);
  const double ms = Time([&] {
    SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
    HTREEITEM root = nullptr;
    for (size_t i = 0; i < texts.size(); ++i) {
      TVINSERTSTRUCTW insert{};
      insert.hParent = levels[i] == 0 ? TVI_ROOT : root;
      insert.hInsertAfter = TVI_LAST;
      insert.item.mask = TVIF_TEXT | TVIF_PARAM;
      insert.item.pszText = const_cast<wchar_t*>(texts[i].c_str());
      insert.item.lParam = static_cast<LPARAM>(i);
      auto item =
          reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
      if (levels[i] == 0) root = item;
    }
    SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(tree, nullptr, TRUE);
    UpdateWindow(host);
    Pump();
  });
  DestroyWindow(host);
  return ms;
}

// The logic alone, with no window: the working copy and the tree model.
struct NoView : kovan::PoolWindowView {
  void SetTitle(const std::string&) override {}
  void SetStayOnTop(bool) override {}
  void SetBusyCursor(bool) override {}
  bool DispatchPendingMessages() override { return false; }
  void Close() override {}
  void WriteWorkbook(const kovan::ExportTable&, const std::string&) override {}
};

struct Bench {
  explicit Bench(kovan::ResourcePool entries) : pool(std::move(entries)) {}
  kovan::ResourcePool pool;
  kovan::RecordingPrompter prompter;
  kovan::Win32Shell shell;

  std::unique_ptr<kovan::PoolWindow> MakeWindow() {
    auto window =
        std::make_unique<kovan::PoolWindow>(
            kovan::PoolWindowServices{prompter, shell, kovan::MainPoolLink{pool, [](const std::string&) {}}});
    if (!window->Create(nullptr)) return nullptr;
    ShowWindow(window->hwnd(), SW_SHOW);
    Pump();
    return window;
  }

  // An opening as the window makes it, up to its first paint.
  static double Open(kovan::PoolWindow& window) {
    return Time([&] {
      {
        const kovan::ui::ParamTreeView::Bulk bulk(window.Tree());
        window.Logic().Open(false);
      }
      UpdateWindow(window.hwnd());
      Pump();
    });
  }

  // A closing as the window makes it: out of sight, then the working copy
  // goes. The window shows again for the next opening.
  static double Close(kovan::PoolWindow& window) {
    ShowWindow(window.hwnd(), SW_HIDE);
    Pump();
    const double ms = Time([&] {
      window.DropWorkingCopy();
      Pump();
    });
    ShowWindow(window.hwnd(), SW_SHOW);
    Pump();
    return ms;
  }

  static double Toggle(kovan::PoolWindow& window) {
    return Time([&] {
      window.Logic().ToggleExpandAll();
      UpdateWindow(window.hwnd());
      Pump();
    });
  }
};

void Row(const char* what, const std::vector<double>& samples) {
  std::printf("  %-58s %7.0f ms  (median of %zu)\n", what, Median(samples), samples.size());
}

}  // namespace

int wmain() {
  // Each figure is out as soon as it is known, even if a later one fails.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  const kovan::ComApartment com;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);

  for (const size_t entries : {size_t{10000}, size_t{100000}}) {
    Bench bench(MakePool(entries));
    const bool full = entries <= 10000;
    const int rounds = full ? 5 : 3;
    std::vector<double> first, second, closing, afterExpand, expand, collapse, bare, logic, sizes;
    std::vector<std::wstring> texts;
    std::vector<int> levels;
    for (int round = 0; round < rounds; ++round) {
      const std::unique_ptr<kovan::PoolWindow> window = bench.MakeWindow();
      if (!window) return 1;
      first.push_back(Bench::Open(*window));
      closing.push_back(Bench::Close(*window));
      second.push_back(Bench::Open(*window));
      // Everything expanded is measured on the smaller pool, against the
      // bare tree view, which takes long to fill with all nodes of the larger.
      if (!full) {
        DestroyWindow(window->hwnd());
        Pump();
        continue;
      }
      expand.push_back(Bench::Toggle(*window));
      if (texts.empty()) {
        kovan::ParamTreeModel& model = window->Logic().Tree();
        for (size_t i = 0; i < model.NodeCount(); ++i) {
          texts.push_back(kovan::ToWide(model.NodeText(i)));
          levels.push_back(model.NodeLevel(i));
        }
      }
      collapse.push_back(Bench::Toggle(*window));
      Bench::Toggle(*window);
      Bench::Close(*window);
      afterExpand.push_back(Bench::Open(*window));
      DestroyWindow(window->hwnd());
      Pump();
    }
    for (int round = 0; round < rounds && full; ++round) bare.push_back(BareFill(texts, levels));
    {
      NoView view;
      kovan::PoolWindowLogic alone(view, {bench.prompter, bench.shell, {bench.pool, [](const std::string&) {}}});
      for (int round = 0; round < rounds; ++round) {
        logic.push_back(Time([&] { alone.Open(false); }));
        sizes.push_back(Time([&] {
          for (const kovan::PoolEntry& entry : bench.pool.Entries()) (void)kovan::FileSizeText(entry.Field(kovan::kFilePath));
        }));
      }
    }
    std::printf("%zu entries (%zu nodes):\n", entries, entries * 5);
    Row("pool window, first opening (fill and first paint)", first);
    Row("pool window, second opening (after a closing)", second);
    Row("closing: the working copy goes (window hidden)", closing);
    Row("of an opening: the logic alone (working copy, model)", logic);
    Row("the size texts of all files, for comparison", sizes);
    if (!full) continue;
    Row("pool window, opening after everything was expanded", afterExpand);
    Row("bare tree view filled with the texts of all nodes", bare);
    std::printf("  %-58s %7.2f\n", "first opening / bare fill", Median(first) / Median(bare));
    Row("expand all", expand);
    Row("collapse all", collapse);
  }
  return 0;
}
