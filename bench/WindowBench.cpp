// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/MemoryWindow.h"

#include <benchmark/benchmark.h>

namespace {

// One click on "＜" beside the video rate with the exact fit on, from the
// start-up state: every read, the search and the write of the result.
void BM_GetVideoBtnClick(benchmark::State& state) {
    tavik::MemoryWindow w;
    w.Show();
    for (auto _ : state) {
        w.VideoRateBox.SetText("1150");
        w.GetVideoBtn.Click();
        benchmark::DoNotOptimize(w.VideoRateBox.Text());
        if (w.writes.size() > 4096) w.writes.clear();
    }
}
BENCHMARK(BM_GetVideoBtnClick);

// Typing a non-canonical time: the write-back, the nested change, the split
// reset and the per-episode update.
void BM_MonthEditChangeCascade(benchmark::State& state) {
    tavik::MemoryWindow w;
    w.Show();
    bool flip = false;
    for (auto _ : state) {
        w.MonthEdit.Type(flip ? "045" : "030");
        flip = !flip;
        benchmark::DoNotOptimize(w.SepSecEdit.Text());
        if (w.writes.size() > 4096) w.writes.clear();
    }
}
BENCHMARK(BM_MonthEditChangeCascade);

} // namespace
