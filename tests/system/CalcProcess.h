// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// tavik-calc, or any program, run as a child: not through a shell, in a
// locale the row chooses, its outputs read to their end.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace tavik {

struct Outcome {
    int status = -1; // the exit status, or -1
    int signal = 0;  // the signal it died of, or 0
    std::string out;
    std::string err;
};

inline std::string ReadAll(int fd) {
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, n);
    close(fd);
    return text;
}

struct Started {
    pid_t pid = -1;
    int out = -1;
    int err = -1;
};

// The child's locale: C unless a row names another, so a developer's own
// locale cannot change the language of the texts these tests pin.
using Locale = std::vector<std::string>;
inline const Locale kC{"LANG=C"};

// The message of a size that cannot hold even the audio, as tavik-calc prints it.
inline const std::string kNoRoomForVideo = "このファイルサイズには音声だけでも収まりません。";

inline std::vector<std::string> Environment(const Locale& locale) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        if (name != "LANG" && name != "LANGUAGE" && name.rfind("LC_", 0) != 0) env.push_back(entry);
    }
    env.insert(env.end(), locale.begin(), locale.end());
    return env;
}

inline std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Starts argv[0] with the arguments, outputs to pipes (or stdout sent to the
// file stdoutPath); not through a shell.
inline Started Start(std::vector<std::string> args, const char* stdoutPath = nullptr,
                     const Locale& locale = kC) {
    std::vector<char*> argv = Pointers(args);
    std::vector<std::string> env = Environment(locale);
    std::vector<char*> envp = Pointers(env);
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdoutPath)
        posix_spawn_file_actions_addopen(&actions, 1, stdoutPath, O_WRONLY, 0);
    else
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    for (int fd : {out[0], out[1], err[0], err[1]})
        posix_spawn_file_actions_addclose(&actions, fd);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    return {spawned == 0 ? pid : -1, out[0], err[0]};
}

// Its outputs to their end, then its exit.
inline Outcome Finish(const Started& started) {
    Outcome outcome;
    outcome.out = ReadAll(started.out); // the outputs are a line or two: no pipe fills
    outcome.err = ReadAll(started.err);
    int status = 0;
    if (started.pid > 0 && waitpid(started.pid, &status, 0) == started.pid) {
        if (WIFEXITED(status)) outcome.status = WEXITSTATUS(status);
        if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
    }
    return outcome;
}

inline Outcome Spawn(std::vector<std::string> args, const char* stdoutPath = nullptr,
                     const Locale& locale = kC) {
    return Finish(Start(std::move(args), stdoutPath, locale));
}

inline Outcome RunCalc(std::vector<std::string> args, const char* stdoutPath = nullptr,
                       const Locale& locale = kC) {
    args.insert(args.begin(), TAVIK_CALC_PATH);
    return Spawn(std::move(args), stdoutPath, locale);
}

} // namespace tavik
