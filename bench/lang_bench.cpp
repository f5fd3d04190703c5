#include <benchmark/benchmark.h>

#include <string>

#include "lang/lang_file.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

// A language file of about `bytes` bytes: parameters, constants in
// descending order (the slow case of a sorted insert) and window sections.
std::string MakeLanguageFile(size_t bytes) {
  std::string text = "LANGID=1033\r\n";
  const size_t part = bytes / 3;
  for (size_t i = 0; text.size() < part; ++i) text += "P" + std::to_string(i) + "=value " + std::to_string(i) + "\r\n";
  text += "[$CONSTANTS]\r\n";
  for (size_t i = 0; text.size() < 2 * part; ++i) {
    text += "c" + std::to_string(99999999 - i) + "=A message\\nwith a line break\r\n";
  }
  for (size_t s = 0; text.size() < bytes; ++s) {
    text += "[Window" + std::to_string(s) + "]\r\n";
    for (int id = 1; id <= 200; ++id) text += std::to_string(id) + "=Caption " + std::to_string(id) + "\r\n";
  }
  return text;
}

void BM_ReadLanguageFile(benchmark::State& state) {
  test::TempDir dir;
  const std::string file = dir / "big.lng";
  test::WriteBytes(file, MakeLanguageFile(static_cast<size_t>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(ReadLanguageFile(file, false));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_ReadLanguageFile)->Arg(4 << 10)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kovan
