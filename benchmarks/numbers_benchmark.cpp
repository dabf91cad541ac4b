// Figures for the two number paths every box edit and selection event takes.
#include <benchmark/benchmark.h>

#include "procs/shown_value.h"
#include "procs/typed_number.h"
#include "procs/units.h"

namespace frambolist::procs {
namespace {

const NumberFormat kFormat{",", "."};

void BM_ShownValueOfALength(benchmark::State& state) {
  CurrentUnit = Unit::mm;
  float points = 72.0f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ShownValue(PointsToUnit(points), kFormat));
    points += 0.37f;
  }
}
BENCHMARK(BM_ShownValueOfALength);

void BM_TypedTextToPoints(benchmark::State& state) {
  CurrentUnit = Unit::cm;
  const char* texts[] = {"12,5", " -3 ", "1.234,5678", "2,5E-2", "abc"};
  size_t i = 0;
  for (auto _ : state) {
    auto v = TextToSingle(texts[i++ % 5], kFormat);
    if (v.ok()) benchmark::DoNotOptimize(UnitToPoints(v.value()));
  }
}
BENCHMARK(BM_TypedTextToPoints);

}  // namespace
}  // namespace frambolist::procs

BENCHMARK_MAIN();  // one main for all the benchmark files
