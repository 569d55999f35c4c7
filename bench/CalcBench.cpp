// SPDX-License-Identifier: GPL-3.0-or-later
// tavik-calc from start to exit, as a script's $( ) pays for it: spawn, run,
// wait. posix_spawn, so the figure holds the command's cost, not a wrapper's.
// child_cpu is the command's own user and system time: on a busy machine the
// real time also holds the wait for a core.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <string>
#include <vector>

extern char** environ;

namespace {

// args[0] is the program.
void BM_Spawn(benchmark::State& state, std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    double cpuSeconds = 0;
    for (auto _ : state) {
        pid_t pid = 0;
        int status = 0;
        rusage usage{};
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0 ||
            wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            state.SkipWithError("the program did not run or failed");
            break;
        }
        cpuSeconds += usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                      (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    posix_spawn_file_actions_destroy(&actions);
    state.counters["child_cpu_ms"] =
        benchmark::Counter(cpuSeconds * 1e3, benchmark::Counter::kAvgIterations);
}
BENCHMARK_CAPTURE(BM_Spawn, calc_size,
                  std::vector<std::string>{TAVIK_CALC_PATH, "size", "--audio", "192", "--video",
                                           "1150", "--time", "30:00"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Spawn, calc_rate,
                  std::vector<std::string>{TAVIK_CALC_PATH, "rate", "--size", "4482", "--time",
                                           "1:30:00", "--audio", "192"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
// What no command can go below: Qt Core loaded, and a bare spawn.
BENCHMARK_CAPTURE(BM_Spawn, qtcore_reference,
                  std::vector<std::string>{TAVIK_QTCORE_REFERENCE_PATH, "295"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Spawn, bin_true, std::vector<std::string>{"/bin/true"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
