// Speed of the number formatter: the workbook model formats every shown cell,
// so one call should stay well under a microsecond for common codes.
#include <benchmark/benchmark.h>

#include <string>

#include "workbook/number_format.h"
#include "workbook/value_entry.h"

namespace {

using vemo::wb::NumberFormat;

void BM_ParsedFormat(benchmark::State& state, const char* code, double value) {
  const NumberFormat format = NumberFormat::Parse(code);
  for (auto _ : state) benchmark::DoNotOptimize(format.Format(value));
}
BENCHMARK_CAPTURE(BM_ParsedFormat, General, "General", 1234567.891);
BENCHMARK_CAPTURE(BM_ParsedFormat, Thousands, "#,##0.00", 1234567.891);
BENCHMARK_CAPTURE(BM_ParsedFormat, Percent, "0.00%", 0.1234);
BENCHMARK_CAPTURE(BM_ParsedFormat, Scientific, "0.00E+00", 1234567.891);
BENCHMARK_CAPTURE(BM_ParsedFormat, Fraction, "# ?\?/?\?", 3.14159);
BENCHMARK_CAPTURE(BM_ParsedFormat, ChineseDate, "yyyy\"年\"m\"月\"d\"日\"", 46357.0);
BENCHMARK_CAPTURE(BM_ParsedFormat, DateTime, "yyyy-mm-dd hh:mm:ss", 46357.573);

// The one-shot helper, which looks the code up in its per-thread cache.
void BM_FormatNumberCached(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(vemo::wb::FormatNumber(1234.5, "#,##0.00"));
}
BENCHMARK(BM_FormatNumberCached);

void BM_ParseCode(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(NumberFormat::Parse("_ \"¥\"* #,##0.00_ ;_ \"¥\"* \\-#,##0.00_ ;_ \"¥\"* \"-\"??_ ;_ @_ "));
  }
}
BENCHMARK(BM_ParseCode);

void BM_InterpretEntry(benchmark::State& state, const char* text) {
  for (auto _ : state) benchmark::DoNotOptimize(vemo::wb::InterpretEntry(text, false, true));
}
BENCHMARK_CAPTURE(BM_InterpretEntry, Number, "1,234,567.89");
BENCHMARK_CAPTURE(BM_InterpretEntry, Date, "2026-12-01 13:45");
BENCHMARK_CAPTURE(BM_InterpretEntry, Text, "XS-0001");

}  // namespace

BENCHMARK_MAIN();
