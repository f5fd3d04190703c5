// Opening the pool window on 10,000 entries (50,000 tree nodes), against a
// bare native tree filled with the same 50,000 texts in the same run. Run
// under Wine or on Windows; prints its figures.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/com.win32.hpp"
#include "base/text.hpp"
#include "platform/win32_shell.win32.hpp"
#include "support/recording_prompter.hpp"
#include "windows/pool/pool_window.win32.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point since) { return std::chrono::duration<double, std::milli>(Clock::now() - since).count(); }

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// The same nodes in a plain tree view: each entry's root and its four children.
double BareFill(const kovan::ParamTreeModel& model) {
  HWND host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 486, 405, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  HWND tree = CreateWindowExW(0, WC_TREEVIEWW, L"",
                              WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 16,
                              39, 441, 306, host, nullptr, GetModuleHandleW(nullptr), nullptr);
  const auto start = Clock::now();
  SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
  HTREEITEM root = nullptr;
  for (size_t i = 0; i < model.NodeCount(); ++i) {
    const std::wstring text = kovan::ToWide(model.NodeText(i));
    TVINSERTSTRUCTW insert{};
    insert.hParent = model.NodeLevel(i) == 0 ? TVI_ROOT : root;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.lParam = static_cast<LPARAM>(i);
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    if (model.NodeLevel(i) == 0) root = item;
  }
  SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(tree, nullptr, TRUE);
  UpdateWindow(host);
  Pump();
  const double ms = Ms(start);
  DestroyWindow(host);
  return ms;
}

// The logic alone, with no window: the working copy, the file sizes and the
// tree model.
struct NoView : kovan::PoolWindowView {
  void SetTitle(const std::string&) override {}
  void SetStayOnTop(bool) override {}
  void SetBusyCursor(bool) override {}
  bool DispatchPendingMessages() override { return false; }
  void Close() override {}
  void WriteWorkbook(const kovan::ExportTable&, const std::string&) override {}
};

}  // namespace

int wmain() {
  const kovan::ComApartment com;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  constexpr size_t kEntries = 10000;
  const auto folder = std::filesystem::temp_directory_path() / L"kovan-pool-window-bench";
  std::filesystem::create_directories(folder);
  kovan::ResourcePool pool;
  const char* extensions[] = {".ico", ".bmp", ".wav", ".txt", ".png"};
  for (size_t i = 0; i < kEntries; ++i) {
    const auto file = folder / ("file" + std::to_string(i) + extensions[i % 5]);
    if (!std::filesystem::exists(file)) std::ofstream(file) << "x";
    pool.Append("KEY" + std::to_string(i), "TYPE", file.string());
  }

  kovan::RecordingPrompter prompter;
  kovan::Win32Shell shell;
  kovan::PoolWindow window({prompter, shell, kovan::MainPoolLink{pool, [](const std::string&) {}}});
  if (!window.Create(nullptr)) return 1;
  ShowWindow(window.hwnd(), SW_SHOW);

  std::vector<double> logicOnly;
  {
    NoView view;
    kovan::PoolWindowLogic logic(view, {prompter, shell, kovan::MainPoolLink{pool, [](const std::string&) {}}});
    for (int round = 0; round < 3; ++round) {
      const auto start = Clock::now();
      logic.Open(false);
      logicOnly.push_back(Ms(start));
    }
  }
  std::vector<double> open;
  std::vector<double> bare;
  for (int round = 0; round < 3; ++round) {
    const auto start = Clock::now();
    {
      const kovan::ui::ParamTreeView::Bulk bulk(window.Tree());
      window.Logic().Open(false);
    }
    UpdateWindow(window.hwnd());
    Pump();
    open.push_back(Ms(start));
    bare.push_back(BareFill(window.Logic().Tree()));
  }
  std::vector<double> toggle;
  for (int round = 0; round < 2; ++round) {
    const auto start = Clock::now();
    window.Logic().ToggleExpandAll();
    UpdateWindow(window.hwnd());
    Pump();
    toggle.push_back(Ms(start));
  }

  std::printf("nodes: %zu\n", window.Logic().Tree().NodeCount());
  std::printf("pool window open, each round: %.0f %.0f %.0f ms (the first starts from an empty tree)\n", open[0],
              open[1], open[2]);
  std::printf("pool window open (fill + first paint), best of 3: %.0f ms\n",
              *std::min_element(open.begin(), open.end()));
  std::printf("bare tree view fill of the same texts, best of 3:  %.0f ms\n",
              *std::min_element(bare.begin(), bare.end()));
  std::printf("of which the logic alone (working copy, file sizes, model), best of 3: %.0f ms\n",
              *std::min_element(logicOnly.begin(), logicOnly.end()));
  std::printf("expand all groups: %.0f ms, collapse all: %.0f ms\n", toggle[0], toggle[1]);
  DestroyWindow(window.hwnd());
  return 0;
}
