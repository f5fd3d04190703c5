#include <benchmark/benchmark.h>

#include "pool/drop_import.hpp"
#include "pool/pool_file.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

ResourcePool MakePool(size_t n) {
  ResourcePool pool;
  for (size_t i = 0; i < n; ++i) {
    pool.Append("KEY" + std::to_string(i), "ico",
                "C:\\Users\\someone\\My Pictures\\icons\\icon" + std::to_string(i) + ".ico");
  }
  return pool;
}

void BM_WritePoolFile(benchmark::State& state) {
  const ResourcePool pool = MakePool(static_cast<size_t>(state.range(0)));
  test::TempDir dir;
  for (auto _ : state) WritePoolFile(pool, dir / "Liste.kvl");
}
BENCHMARK(BM_WritePoolFile)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ReadPoolFile(benchmark::State& state) {
  test::TempDir dir;
  WritePoolFile(MakePool(static_cast<size_t>(state.range(0))), dir / "Liste.kvl");
  for (auto _ : state) {
    ResourcePool pool;
    benchmark::DoNotOptimize(ReadPoolFile(pool, dir / "Liste.kvl"));
  }
}
BENCHMARK(BM_ReadPoolFile)->Arg(100000)->Unit(benchmark::kMillisecond);

// The guard every drop runs before appending.
void BM_AppendGuardedByContainsPath(benchmark::State& state) {
  const size_t n = static_cast<size_t>(state.range(0));
  std::vector<std::string> paths;
  for (size_t i = 0; i < n; ++i) paths.push_back("C:\\Data\\file" + std::to_string(i) + ".png");
  for (auto _ : state) {
    ResourcePool pool;
    for (const std::string& p : paths) {
      if (!pool.ContainsPath(p)) pool.Append(kEmptyParam, ExtensionOf(p), p);
    }
    benchmark::DoNotOptimize(pool.Count());
  }
}
BENCHMARK(BM_AppendGuardedByContainsPath)->Arg(100000)->Unit(benchmark::kMillisecond);

// A drop into a pool of real files: the first new file makes the import read
// the identity of every file the pool holds.
void BM_DropOneFileIntoPoolOfFiles(benchmark::State& state) {
  test::TempDir dir;
  ResourcePool pool;
  for (int64_t i = 0; i < state.range(0); ++i) {
    const std::string path = dir / ("icon" + std::to_string(i) + ".ico");
    test::WriteBytes(path, "x");
    pool.Append("KEY" + std::to_string(i), "ico", path);
  }
  const std::string dropped = dir / "new.ico";
  test::WriteBytes(dropped, "x");
  for (auto _ : state) {
    benchmark::DoNotOptimize(ImportDroppedPaths(pool, {dropped}, {}));
    pool.Delete(pool.Count() - 1);
  }
}
BENCHMARK(BM_DropOneFileIntoPoolOfFiles)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kovan
