// The pool window's work on a large pool: opening it (10,000 and 100,000
// entries), confirming it, one advance of the editor, and deleting a group
// from the middle.
#include <benchmark/benchmark.h>

#include "support/recording_views.hpp"
#include "windows/pool/pool_window_logic.hpp"

namespace kovan {
namespace {

constexpr size_t kEntries = 10000;
constexpr size_t kLargeEntries = 100000;

// A pool of real files (their sizes are read when an entry first opens),
// made once for all benchmarks of its size.
class PoolFarm {
 public:
  static PoolFarm& Get(size_t entries = kEntries) {
    if (entries == kLargeEntries) {
      static PoolFarm large(kLargeEntries);
      return large;
    }
    static PoolFarm farm(kEntries);
    return farm;
  }
  const test::TempDir dir;
  ResourcePool pool;

 private:
  explicit PoolFarm(size_t entries) {
    for (size_t i = 0; i < entries; ++i) {
      const std::string path = dir / ("f" + std::to_string(i) + ".png");
      test::WriteBytes(path, "1234");
      pool.Append("KEY" + std::to_string(i), "png", path);
    }
  }
};

// A pool window opened on a copy of the farm's pool.
struct OpenWindow {
  explicit OpenWindow(size_t entries = kEntries) : window(view, {prompter, shell, {pool, [](const std::string&) {}}}) {
    pool.ReplaceAll(PoolFarm::Get(entries).pool.Entries());
    window.Open(false);
  }
  test::RecordingPoolWindowView view;
  RecordingPrompter prompter;
  RecordingShell shell;
  ResourcePool pool;
  PoolWindowLogic window;
};

void BM_OpenEntries(benchmark::State& state) {
  OpenWindow open(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    open.window.Open(false);
    benchmark::DoNotOptimize(open.window.Tree().NodeCount());
  }
}
BENCHMARK(BM_OpenEntries)->Arg(kEntries)->Arg(kLargeEntries)->Unit(benchmark::kMillisecond);

// The tree alone: five nodes per entry with their parameters.
void BM_BuildGroupsOfFive(benchmark::State& state) {
  const auto entries = static_cast<size_t>(state.range(0));
  for (auto _ : state) {
    ParamTreeModel tree;
    tree.Reserve(entries * 5);
    for (size_t i = 0; i < entries; ++i) {
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
BENCHMARK(BM_BuildGroupsOfFive)->Arg(kEntries)->Arg(kLargeEntries)->Unit(benchmark::kMillisecond);

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
