// A drop into a pool of 10,000 real files: the first new file makes the import
// read the identity of every file the pool holds (open, query, close each).
// Set beside it: the existence test of the same files, which the start-up's
// pool load makes anyway. Run under Wine or on Windows; prints its figures.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "base/file_system.hpp"
#include "pool/drop_import.hpp"
#include "support/test_util.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point since) { return std::chrono::duration<double, std::milli>(Clock::now() - since).count(); }

}  // namespace

int wmain() {
  using namespace kovan;
  constexpr int kFiles = 10000;
  test::TempDir dir;
  ResourcePool pool;
  for (int i = 0; i < kFiles; ++i) {
    const std::string path = dir / ("icon" + std::to_string(i) + ".ico");
    test::WriteBytes(path, "x");
    pool.Append("KEY" + std::to_string(i), "ico", path);
  }
  const std::string dropped = dir / "new.ico";
  test::WriteBytes(dropped, "x");

  double drop[5];
  for (double& ms : drop) {
    const auto start = Clock::now();
    if (ImportDroppedPaths(pool, {dropped}, {}) != 1) return 1;
    ms = Ms(start);
    pool.Delete(pool.Count() - 1);
  }
  double exists = 1e9;
  for (int round = 0; round < 3; ++round) {
    const auto start = Clock::now();
    for (const PoolEntry& entry : pool.Entries()) {
      if (!FileExists(entry.Field(kFilePath))) return 1;
    }
    exists = std::min(exists, Ms(start));
  }
  std::printf("files in the pool: %d\n", kFiles);
  std::printf("drop of one new file, each round: %.0f %.0f %.0f %.0f %.0f ms\n", drop[0], drop[1], drop[2], drop[3],
              drop[4]);
  std::printf("existence test of the same files, best of 3: %.0f ms\n", exists);
  return 0;
}
