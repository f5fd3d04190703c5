#include <benchmark/benchmark.h>

#include "pool/key_check.hpp"
#include "pool/resource_script.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

// A pool of well-named entries, or, with `sharedEvery` > 0, one in which each
// key is carried by `sharedEvery` entries, so every entry lands in the sorted
// duplicate list.
ResourcePool MakePool(size_t n, size_t sharedEvery) {
  ResourcePool pool;
  for (size_t i = 0; i < n; ++i) {
    const size_t key = sharedEvery ? i / sharedEvery : i;
    pool.Append("KEY" + std::to_string(key), "ico",
                "C:\\Users\\someone\\My Pictures\\icons\\icon" + std::to_string(i) + ".ico");
  }
  return pool;
}

void BM_KeyProblemListMissing(benchmark::State& state) {
  const ResourcePool pool = MakePool(static_cast<size_t>(state.range(0)), 0);
  for (auto _ : state) benchmark::DoNotOptimize(KeyProblemList(pool, 1));
}
BENCHMARK(BM_KeyProblemListMissing)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_KeyProblemListSharedNone(benchmark::State& state) {
  const ResourcePool pool = MakePool(static_cast<size_t>(state.range(0)), 0);
  for (auto _ : state) benchmark::DoNotOptimize(KeyProblemList(pool, 2));
}
BENCHMARK(BM_KeyProblemListSharedNone)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_KeyProblemListSharedAll(benchmark::State& state) {
  const ResourcePool pool = MakePool(static_cast<size_t>(state.range(0)), 2);
  for (auto _ : state) benchmark::DoNotOptimize(KeyProblemList(pool, 2));
}
BENCHMARK(BM_KeyProblemListSharedAll)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_WriteResourceScript(benchmark::State& state) {
  const ResourcePool pool = MakePool(static_cast<size_t>(state.range(0)), 0);
  test::TempDir dir;
  for (auto _ : state) WriteResourceScript(pool, dir / "liste.rc");
}
BENCHMARK(BM_WriteResourceScript)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kovan
