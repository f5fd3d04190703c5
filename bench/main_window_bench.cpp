// The main window's work on a large pool: a drop of many files and a hover.
#include <benchmark/benchmark.h>

#include "support/recording_views.hpp"
#include "windows/main/main_window_logic.hpp"

namespace kovan {
namespace {

// A folder of real files, made once for all benchmarks.
class FileFarm {
 public:
  static FileFarm& Get() {
    static FileFarm farm;
    return farm;
  }
  std::vector<std::string> Paths(const std::string& sub) const {
    std::vector<std::string> out;
    for (size_t i = 0; i < kFiles; ++i) out.push_back(dir / (sub + "/f" + std::to_string(i) + ".png"));
    return out;
  }
  const test::TempDir dir;
  static constexpr size_t kFiles = 10000;

 private:
  FileFarm() {
    for (const char* sub : {"pool", "drop"}) {
      std::filesystem::create_directories(test::FsPath(dir / sub));
      for (size_t i = 0; i < kFiles; ++i)
        test::WriteBytes(dir / (std::string(sub) + "/f" + std::to_string(i) + ".png"), "1234");
    }
  }
};

void BM_DropTenThousandFilesIntoTenThousand(benchmark::State& state) {
  FileFarm& farm = FileFarm::Get();
  const auto pool = farm.Paths("pool");
  const auto drop = farm.Paths("drop");
  for (auto _ : state) {
    state.PauseTiming();
    test::RecordingMainWindowView view;
    test::MainWindowRig rig(farm.dir.str());
    MainWindowLogic window(view, rig.Services());
    for (const auto& p : pool) window.Pool().Append("?", "png", p);
    state.ResumeTiming();
    window.ImportDrop(drop);
    benchmark::DoNotOptimize(window.Pool().Count());
  }
}
BENCHMARK(BM_DropTenThousandFilesIntoTenThousand)->Unit(benchmark::kMillisecond);

void BM_HoverOverTenThousand(benchmark::State& state) {
  FileFarm& farm = FileFarm::Get();
  test::RecordingMainWindowView view;
  test::MainWindowRig rig(farm.dir.str());
  MainWindowLogic window(view, rig.Services());
  for (const auto& p : farm.Paths("pool")) window.Pool().Append("?", "png", p);
  for (auto _ : state) {
    window.OnPointerEnter();
    benchmark::DoNotOptimize(view.hovers.back().title);
    view.hovers.clear();
  }
}
BENCHMARK(BM_HoverOverTenThousand)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kovan
