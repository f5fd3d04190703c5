// Reading back what a build made: the resource list of an object file of
// 10,000 resources, and a resource script of 10,000 file statements (each
// file looked up on disk, as an import does).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "base/text.hpp"
#include "formats/coff_resource_object.hpp"
#include "formats/resource_directory.hpp"
#include "pool/script_import.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

constexpr size_t kResources = 10000;

void BM_ListObjectOf10000Resources(benchmark::State& state) {
  std::vector<ObjectResource> resources;
  for (size_t i = 0; i < kResources; ++i) {
    resources.push_back({ResourceId::Number(10), ResourceId::Name(Utf8ToUtf16("R" + std::to_string(i))), 0x409, 16});
  }
  StringSink sink;
  WriteResourceObject(sink, CoffMachine::X64, 0, resources, [](size_t, ByteSink& out) { out.WriteZeros(16); });
  for (auto _ : state) {
    MemorySource source(sink.bytes());
    const ResourceFileContents contents = ReadResourceFile(source);
    benchmark::DoNotOptimize(contents.resources.size());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kResources));
}
BENCHMARK(BM_ListObjectOf10000Resources)->Unit(benchmark::kMillisecond);

void BM_ImportScriptOf10000Lines(benchmark::State& state) {
  test::TempDir dir;
  std::string script;
  for (size_t i = 0; i < kResources; ++i) {
    const std::string name = "f" + std::to_string(i) + ".bin";
    test::WriteBytes(dir / name, "x");
    script += "KEY" + std::to_string(i) + " RCDATA \"" + name + "\"\r\n";
  }
  for (auto _ : state) {
    const ScriptReadResult read = ParseResourceScript(script, dir.str(), 1252);
    benchmark::DoNotOptimize(read.statements.size());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kResources));
}
BENCHMARK(BM_ImportScriptOf10000Lines)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kovan
