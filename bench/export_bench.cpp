#include <benchmark/benchmark.h>

#include "export/pool_export.hpp"
#include "export/xlsx_workbook.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

// Paths with a non-ASCII folder and an ampersand, so the writers' slower paths run.
ResourcePool MakePool(size_t n) {
  ResourcePool pool;
  for (size_t i = 0; i < n; ++i) {
    pool.Append("KEY" + std::to_string(i), "ico",
                "C:\\Users\\someone\\Resimlerim & \xC4\xB0konlar\\icon" + std::to_string(i) + ".ico");
  }
  return pool;
}

std::string FakeSizeText(const std::string& path) { return std::to_string(path.size()) + " Kb"; }

void BM_BuildExportTable(benchmark::State& state) {
  const ResourcePool pool = MakePool(static_cast<size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(BuildExportTable(pool, FakeSizeText));
}
BENCHMARK(BM_BuildExportTable)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_WriteXmlExport(benchmark::State& state) {
  const ExportTable table = BuildExportTable(MakePool(static_cast<size_t>(state.range(0))), FakeSizeText);
  const XmlNames names = XmlNamesInActiveLanguage();
  test::TempDir dir;
  for (auto _ : state) WriteXmlExport(table, names, dir / "liste.xml");
}
BENCHMARK(BM_WriteXmlExport)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_WriteHtmlExport(benchmark::State& state) {
  const ExportTable table = BuildExportTable(MakePool(static_cast<size_t>(state.range(0))), FakeSizeText);
  test::TempDir dir;
  for (auto _ : state) WriteHtmlExport(table, HtmlStyle{}, dir / "liste.html");
}
BENCHMARK(BM_WriteHtmlExport)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_WriteWorkbook(benchmark::State& state) {
  const ExportTable table = BuildExportTable(MakePool(static_cast<size_t>(state.range(0))), FakeSizeText);
  test::TempDir dir;
  for (auto _ : state) WriteWorkbook(table, dir / "liste.xlsx");
}
BENCHMARK(BM_WriteWorkbook)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kovan
