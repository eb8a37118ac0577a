// Formatting reals is on every hot path of the writer: compare it with
// snprintf("%.2f") on the same values.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "quillora/core/tokens.h"

namespace {

std::vector<long double> Values() {
  std::mt19937 random(42);
  std::uniform_real_distribution<double> coordinate(-1000, 1000);
  std::vector<long double> values(4096);
  for (auto& v : values) v = coordinate(random);
  return values;
}

void BM_FormatReal(benchmark::State& state) {
  auto values = Values();
  std::string out;
  size_t i = 0;
  for (auto _ : state) {
    out.clear();
    quillora::AppendReal(out, values[i++ & 4095]);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatReal);

void BM_FormatRealPrecise(benchmark::State& state) {
  auto values = Values();
  std::string out;
  size_t i = 0;
  for (auto _ : state) {
    out.clear();
    quillora::AppendReal(out, values[i++ & 4095], true);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatRealPrecise);

void BM_Snprintf2f(benchmark::State& state) {
  auto values = Values();
  char buf[64];
  size_t i = 0;
  for (auto _ : state) {
    int n = std::snprintf(buf, sizeof buf, "%.2f", static_cast<double>(values[i++ & 4095]));
    benchmark::DoNotOptimize(n);
    benchmark::DoNotOptimize(buf);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Snprintf2f);

}  // namespace

BENCHMARK_MAIN();
