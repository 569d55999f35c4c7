// tavik-calc from start to exit, as a script's $( ) pays for it: spawn, run,
// wait. posix_spawn, so the figure holds the command's cost, not a wrapper's.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

extern char** environ;

namespace {

void BM_CalcCommand(benchmark::State& state, std::vector<std::string> args) {
    args.insert(args.begin(), TAVIK_CALC_PATH);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        pid_t pid = 0;
        int status = 0;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0 ||
            waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("tavik-calc did not run or failed");
            break;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
}
BENCHMARK_CAPTURE(BM_CalcCommand, size,
                  std::vector<std::string>{"size", "--audio", "192", "--video", "1150", "--time",
                                           "30:00"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_CalcCommand, rate,
                  std::vector<std::string>{"rate", "--size", "4482", "--time", "1:30:00",
                                           "--audio", "192"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
