// The up-to-date check of a compile on a pool of 10,000 files: the list file
// read, every file's size and time taken and the record compared (the goal is
// 50 ms), and the same as a whole kovanc run that finds nothing to do.
#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>

#include "pool/build_record.hpp"
#include "pool/pool_file.hpp"
#include "support/run_kovanc.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

constexpr size_t kEntries = 10000;

// A compiled pool and its record, made once for every benchmark of the run.
struct RecordedPool {
  RecordedPool() {
    ResourcePool pool;
    for (size_t i = 0; i < kEntries; ++i) {
      const std::string path = dir / ("f" + std::to_string(i) + ".bin");
      test::WriteBytes(path, "resource " + std::to_string(i));
      pool.Append("K" + std::to_string(i), "rcdata", path);
    }
    WritePoolFile(pool, list);
    const test::CommandResult made = test::RunCommand(std::string(KOVANC_PATH) + " compile --obj --compiler builtin " +
                                                      test::Q(output) + " " + test::Q(list) + " 2>&1");
    if (made.exitCode != 0) throw std::runtime_error("kovanc could not compile the pool: " + made.out);
  }

  test::TempDir dir;
  std::string list = dir / "Liste.kvl";
  std::string output = dir / "out.obj";
};

RecordedPool& Pool() {
  static RecordedPool pool;
  return pool;
}

void BM_UpToDateCheck(benchmark::State& state) {
  RecordedPool& recorded = Pool();
  BuildInputs inputs;
  inputs.kind = "obj";
  inputs.listFile = recorded.list;
  // An output of its own, so that kovanc's record stays for the run below.
  const std::string output = recorded.dir / "check.obj";
  test::WriteBytes(output, "object");
  {
    ResourcePool pool;
    (void)ReadPoolFile(pool, recorded.list);
    WriteBuildRecord(output, "", DescribeBuildInputs(inputs, pool));
  }
  for (auto _ : state) {
    ResourcePool pool;
    (void)ReadPoolFile(pool, recorded.list);
    if (!BuildIsUpToDate(output, "", DescribeBuildInputs(inputs, pool))) state.SkipWithError("not up to date");
  }
}
BENCHMARK(BM_UpToDateCheck)->Unit(benchmark::kMillisecond);

void BM_KovancFindsUpToDate(benchmark::State& state) {
  RecordedPool& recorded = Pool();
  const std::string command = std::string(KOVANC_PATH) + " compile --obj --compiler builtin " +
                              test::Q(recorded.output) + " " + test::Q(recorded.list) + " 2>&1";
  for (auto _ : state) {
    const test::CommandResult r = test::RunCommand(command);
    if (r.out.find("is up to date") == std::string::npos) state.SkipWithError("kovanc compiled the pool again");
  }
}
BENCHMARK(BM_KovancFindsUpToDate)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kovan
