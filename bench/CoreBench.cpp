// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Container.h"
#include "core/Formulas.h"
#include "core/IntField.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// Each figure is the fastest of several runs, shown beside their mean: the
// machine is shared, and what else runs only ever slows a run down.
double Fastest(const std::vector<double>& runs) {
    return *std::min_element(runs.begin(), runs.end());
}

void Steady(benchmark::internal::Benchmark* b) {
    b->Repetitions(9)->ReportAggregatesOnly(true)->ComputeStatistics("min", Fastest);
}

using tavik::StrToIntRange;

void BM_StrToIntRange(benchmark::State& state, std::string text) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(text);
        benchmark::DoNotOptimize(StrToIntRange(text, 0, 0));
    }
}
BENCHMARK_CAPTURE(BM_StrToIntRange, typical, std::string("1150"))->Apply(Steady);
BENCHMARK_CAPTURE(BM_StrToIntRange, hex, std::string("$7FFFFFFF"))->Apply(Steady);
BENCHMARK_CAPTURE(BM_StrToIntRange, empty, std::string())->Apply(Steady);
BENCHMARK_CAPTURE(BM_StrToIntRange, fullwidth, std::string("３０"))->Apply(Steady);
BENCHMARK_CAPTURE(BM_StrToIntRange, long_digits, std::string(10000, '9'))->Apply(Steady);
BENCHMARK_CAPTURE(BM_StrToIntRange, long_zeros, std::string(10000, '0'))->Apply(Steady);
BENCHMARK_CAPTURE(BM_StrToIntRange, long_blanks, std::string(10000, ' ') + "1")->Apply(Steady);

void BM_IntToStr(benchmark::State& state) {
    std::int64_t value = -2147483648;
    for (auto _ : state) {
        benchmark::DoNotOptimize(value);
        benchmark::DoNotOptimize(tavik::IntToStr(value));
    }
}
BENCHMARK(BM_IntToStr)->Apply(Steady);

void BM_PlaySec(benchmark::State& state) {
    std::int32_t m = 45, s = 0, n = 3, d = 4;
    for (auto _ : state) {
        benchmark::DoNotOptimize(m);
        benchmark::DoNotOptimize(tavik::PlaySec(m, s, n, d));
    }
}
BENCHMARK(BM_PlaySec)->Apply(Steady);

void BM_SizeMB(benchmark::State& state) {
    std::int32_t a = 192, v = 1150, t = 1800;
    for (auto _ : state) {
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(tavik::SizeMB(a, v, t));
    }
}
BENCHMARK(BM_SizeMB)->Apply(Steady);

void BM_VideoRate(benchmark::State& state, std::int64_t k, std::int32_t t, std::int32_t a,
                  bool exact) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(k);
        benchmark::DoNotOptimize(tavik::VideoRate(k, t, a, exact));
    }
}
BENCHMARK_CAPTURE(BM_VideoRate, estimate_startup, 650 * 1024, 1800, 192, false)->Apply(Steady);
BENCHMARK_CAPTURE(BM_VideoRate, exact_startup, 650 * 1024, 1800, 192, true)->Apply(Steady);
// Stepping one rate at a time would take some 2^31 steps here.
BENCHMARK_CAPTURE(BM_VideoRate, exact_worst_case, std::int64_t{2147483647} * 1024, 1, 0, true)
    ->Apply(Steady);
BENCHMARK_CAPTURE(BM_VideoRate, exact_two_terabytes, std::int64_t{2097152} * 1024, 3600, 192, true)
    ->Apply(Steady);

void BM_RecordableTime(benchmark::State& state) {
    std::int32_t a = 192, v = 1150;
    std::int64_t k = 650 * 1024;
    for (auto _ : state) {
        benchmark::DoNotOptimize(k);
        benchmark::DoNotOptimize(tavik::RecordableTime(a, v, k));
    }
}
BENCHMARK(BM_RecordableTime)->Apply(Steady);

void BM_SecPerEpisode(benchmark::State& state) {
    std::int32_t total = 2700, d = 4;
    for (auto _ : state) {
        benchmark::DoNotOptimize(total);
        benchmark::DoNotOptimize(tavik::SecPerEpisode(total, d));
    }
}
BENCHMARK(BM_SecPerEpisode)->Apply(Steady);

// The sums with a container: the size, the rate search and the time search,
// for the container with the most terms (TS) and the largest search range.
using tavik::Container;

void BM_FittedSizeMB(benchmark::State& state, Container c) {
    std::int32_t a = 192, v = 1150, t = 1800;
    for (auto _ : state) {
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(tavik::FittedSizeMB(c, a, v, t));
    }
}
BENCHMARK_CAPTURE(BM_FittedSizeMB, ts, Container::Ts)->Apply(Steady);
BENCHMARK_CAPTURE(BM_FittedSizeMB, mkv, Container::Mkv)->Apply(Steady);

void BM_FittedVideoRate(benchmark::State& state, Container c, std::int32_t mb, std::int32_t t) {
    std::int32_t a = 192;
    for (auto _ : state) {
        benchmark::DoNotOptimize(mb);
        benchmark::DoNotOptimize(tavik::FittedVideoRate(c, mb, t, a));
    }
}
BENCHMARK_CAPTURE(BM_FittedVideoRate, ts_startup, Container::Ts, 650, 1800)->Apply(Steady);
BENCHMARK_CAPTURE(BM_FittedVideoRate, m2ts_bd, Container::M2ts, 23866, 7200)->Apply(Steady);
BENCHMARK_CAPTURE(BM_FittedVideoRate, ps_dvd, Container::Ps, 4482, 7200)->Apply(Steady);
BENCHMARK_CAPTURE(BM_FittedVideoRate, mp4_startup, Container::Mp4, 650, 1800)->Apply(Steady);
BENCHMARK_CAPTURE(BM_FittedVideoRate, ts_worst_case, Container::Ts, 2147483647, 1)->Apply(Steady);

void BM_FittedTime(benchmark::State& state, Container c) {
    std::int32_t a = 192, v = 1150, mb = 650;
    for (auto _ : state) {
        benchmark::DoNotOptimize(mb);
        benchmark::DoNotOptimize(tavik::FittedTime(c, a, v, mb));
    }
}
BENCHMARK_CAPTURE(BM_FittedTime, ts, Container::Ts)->Apply(Steady);
BENCHMARK_CAPTURE(BM_FittedTime, mkv, Container::Mkv)->Apply(Steady);

} // namespace
