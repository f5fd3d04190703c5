// The pool window's work on a large pool: opening it, confirming it, one
// advance of the editor, and deleting a group from the middle.
#include <benchmark/benchmark.h>

#include "support/recording_views.hpp"
#include "windows/pool/pool_window_logic.hpp"

namespace kovan {
namespace {

constexpr size_t kEntries = 10000;

// A pool of real files (their sizes are read when the groups are built),
// made once for all benchmarks.
class PoolFarm {
 public:
  static PoolFarm& Get() {
    static PoolFarm farm;
    return farm;
  }
  const test::TempDir dir;
  ResourcePool pool;

 private:
  PoolFarm() {
    for (size_t i = 0; i < kEntries; ++i) {
      const std::string path = dir / ("f" + std::to_string(i) + ".png");
      test::WriteBytes(path, "1234");
      pool.Append("KEY" + std::to_string(i), "png", path);
    }
  }
};

// A pool window opened on a copy of the farm's pool.
struct OpenWindow {
  OpenWindow() : window(view, {prompter, shell, {pool, [](const std::string&) {}}}) {
    pool.ReplaceAll(PoolFarm::Get().pool.Entries());
    window.Open(false);
  }
  test::RecordingPoolWindowView view;
  RecordingPrompter prompter;
  RecordingShell shell;
  ResourcePool pool;
  PoolWindowLogic window;
};

void BM_OpenTenThousandEntries(benchmark::State& state) {
  OpenWindow open;
  for (auto _ : state) {
    open.window.Open(false);
    benchmark::DoNotOptimize(open.window.Tree().NodeCount());
  }
}
BENCHMARK(BM_OpenTenThousandEntries)->Unit(benchmark::kMillisecond);

// The tree alone: 50,000 nodes with their parameters, no file sizes read.
void BM_BuildFiftyThousandNodes(benchmark::State& state) {
  for (auto _ : state) {
    ParamTreeModel tree;
    tree.Reserve(kEntries * 5);
    for (size_t i = 0; i < kEntries; ++i) {
      const std::string n = std::to_string(i);
      const size_t root = tree.AddRoot("<B>f" + n + ".png</B>");
      tree.AddChild(root, "<I>Dosya </I>: <B><FONT color=\"#004080\">C:\\pool\\</FONT></B>f" + n + ".png");
      tree.AddChild(root, "<img src=\"ssys:.png\"> <I>Type </I>: <a href=\"dosya" + n + "\" class=\"EDIT\">PNG</a>");
      tree.AddChild(root, "<I>Size </I>: 4 Byte");
      tree.AddChild(root, "<I>Key </I>: <a href=\"ad" + n + "\" class=\"EDIT\">KEY" + n + "</a>");
    }
    benchmark::DoNotOptimize(tree.ParamCount());
  }
}
BENCHMARK(BM_BuildFiftyThousandNodes)->Unit(benchmark::kMillisecond);

void BM_ConfirmTenThousandEntries(benchmark::State& state) {
  OpenWindow open;
  for (auto _ : state) {
    open.window.Confirm();
    benchmark::DoNotOptimize(open.pool.Count());
  }
}
BENCHMARK(BM_ConfirmTenThousandEntries)->Unit(benchmark::kMillisecond);

// Enter in the key editor of the last entry: on to the first entry's type.
void BM_AdvanceFromTheLastParameter(benchmark::State& state) {
  OpenWindow open;
  ParamTreeModel& tree = open.window.Tree();
  const size_t last = tree.NodeCount() - 1;
  for (auto _ : state) {
    tree.SelectNode(last);
    benchmark::DoNotOptimize(tree.Advance());
  }
}
BENCHMARK(BM_AdvanceFromTheLastParameter)->Unit(benchmark::kMicrosecond);

// Deleting the middle entry renames the half behind it; an entry added at the
// end (untimed) keeps the pool at its size.
void BM_DeleteTheMiddleEntry(benchmark::State& state) {
  OpenWindow open;
  size_t added = 0;
  for (auto _ : state) {
    open.window.Tree().SelectNode(kEntries / 2 * 5);
    open.prompter.answers = {MessageAnswer::Yes};
    open.window.DeleteKeyPressed();
    state.PauseTiming();
    open.prompter.dialogAnswers = {PoolFarm::Get().dir / ("added" + std::to_string(added++))};
    open.window.AddFile();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_DeleteTheMiddleEntry)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kovan
