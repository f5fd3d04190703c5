// The built-in compiler on a pool of 10,000 files totalling more than 1 GiB
// (mixed sizes, every 50th an icon), three ways: Kovan's own .RES and .OBJ
// writers, llvm-rc followed by llvm-cvtres, and a plain copy of the same
// files into one file, which no compiler can beat.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/posix_shell.hpp"
#include "pool/builtin_compiler.hpp"
#include "pool/resource_script.hpp"
#include "support/resource_files.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

constexpr size_t kEntries = 10000;
constexpr size_t kIconEvery = 50;

// The pool and its files, made once for every benchmark of the run.
struct BigPool {
  BigPool() {
    const std::string icon = test::IconFileBytes(1, {{16, 16, 0, 1, 32, test::DibImage(16, 16, 32)},
                                                     {32, 32, 0, 1, 32, test::DibImage(32, 32, 32)},
                                                     {0, 0, 0, 1, 32, test::PngImage(256)}});
    // Sizes from a few bytes to 512 KiB; their mean is above 107 KiB.
    const size_t sizes[] = {5, 1000, 4096, 30000, 100000, 250000, 524288, 3, 77777, 131072};
    std::string bytes(524288, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 31 + 7);
    for (size_t i = 0; i < kEntries; ++i) {
      const bool isIcon = i % kIconEvery == 0;
      const std::string path = dir / ("f" + std::to_string(i) + (isIcon ? ".ico" : ".bin"));
      const std::string_view data = isIcon ? std::string_view(icon) : std::string_view(bytes).substr(0, sizes[i % 10]);
      test::WriteBytes(path, std::string(data));
      totalBytes += data.size();
      pool.Append("K" + std::to_string(i), isIcon ? "icon" : "rcdata", path);
    }
  }

  test::TempDir dir;
  ResourcePool pool;
  size_t totalBytes = 0;
};

BigPool& Pool() {
  static BigPool pool;
  return pool;
}

void Report(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Pool().totalBytes));
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["input_MiB"] = static_cast<double>(Pool().totalBytes) / (1 << 20);
  state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024;
}

void BM_BuiltinRes(benchmark::State& state) {
  BigPool& big = Pool();
  for (auto _ : state) CompilePoolBuiltin(big.pool, CompileKind::Res, big.dir / "out.res", {});
  Report(state);
}
BENCHMARK(BM_BuiltinRes)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_BuiltinObj(benchmark::State& state) {
  BigPool& big = Pool();
  for (auto _ : state) CompilePoolBuiltin(big.pool, CompileKind::Obj, big.dir / "out.obj", {});
  Report(state);
}
BENCHMARK(BM_BuiltinObj)->Unit(benchmark::kMillisecond)->Iterations(2);

// What LLVM takes for the same .RES and .OBJ files.
void BM_LlvmRcAndCvtres(benchmark::State& state) {
  BigPool& big = Pool();
  if (FindOnPath("llvm-rc").empty() || FindOnPath("llvm-cvtres").empty()) {
    state.SkipWithError("llvm-rc and llvm-cvtres are not installed");
    return;
  }
  WriteResourceScript(big.pool, big.dir / "liste.rc", true);
  const std::string rc = "llvm-rc /no-preprocess /FO '" + big.dir / "llvm.res" + "' -- '" + big.dir / "liste.rc" + "'";
  const std::string cvtres = "llvm-cvtres /machine:x64 /timestamp:0 /out:'" + big.dir / "llvm.obj" + "' '" +
                             big.dir / "llvm.res" + "'";
  struct rusage before {};
  getrusage(RUSAGE_CHILDREN, &before);
  for (auto _ : state) {
    if (std::system(rc.c_str()) != 0 || std::system(cvtres.c_str()) != 0) state.SkipWithError("LLVM failed");
  }
  // The work is done by the child processes, whose processor time the
  // benchmark's own CPU column leaves out.
  struct rusage after {};
  getrusage(RUSAGE_CHILDREN, &after);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  const double childCpu = seconds(after.ru_utime) + seconds(after.ru_stime) - seconds(before.ru_utime) -
                          seconds(before.ru_stime);
  state.counters["child_cpu_s"] = childCpu / static_cast<double>(state.iterations());
  Report(state);
}
BENCHMARK(BM_LlvmRcAndCvtres)->Unit(benchmark::kMillisecond)->Iterations(2);

// The floor: every file's bytes read and written once into one file, made
// durable as the compiler's output is.
void BM_PlainCopy(benchmark::State& state) {
  BigPool& big = Pool();
  std::string buffer(size_t{1} << 20, '\0');
  for (auto _ : state) {
    const int out = open((big.dir / "copy.bin").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (const PoolEntry& entry : big.pool.Entries()) {
      const int in = open(entry.Field(kFilePath).c_str(), O_RDONLY);
      for (ssize_t n; (n = read(in, buffer.data(), buffer.size())) > 0;) {
        if (write(out, buffer.data(), static_cast<size_t>(n)) != n) state.SkipWithError("write failed");
      }
      close(in);
    }
    fsync(out);
    close(out);
  }
  Report(state);
}
BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace kovan
