// Throughput of the 1252 <-> UTF-8 conversion that every file name and every
// text crossing to the toolkit goes through.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/os_codepage.h"

namespace {

std::string sample(std::size_t n) {
    std::string s(n, ' ');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 37 + 11) & 0xFF);
    return s;
}

void BM_Cp1252ToUtf8(benchmark::State& state) {
    const std::string text = sample(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(os_cp1252_to_utf8(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void BM_Utf8ToCp1252(benchmark::State& state) {
    const std::string text = os_cp1252_to_utf8(sample(static_cast<std::size_t>(state.range(0))));
    for (auto _ : state) benchmark::DoNotOptimize(os_utf8_to_cp1252(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

}  // namespace

BENCHMARK(BM_Cp1252ToUtf8)->Arg(260)->Arg(1 << 16);
BENCHMARK(BM_Utf8ToCp1252)->Arg(260)->Arg(1 << 16);
BENCHMARK_MAIN();
