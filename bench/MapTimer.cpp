// SPDX-License-Identifier: GPL-3.0-or-later
// Starts a program and reports the milliseconds until the X server maps its
// first top-level window, then the program's resident memory in KiB.
// Watching MapNotify on the root window costs nothing while the program
// starts, unlike polling with a helper process.
#include <xcb/xcb.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

long ResidentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    long value = -1;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            break;
        }
        status.ignore(4096, '\n');
    }
    return value;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "cannot open the display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        execvp(argv[1], argv + 1);
        _exit(127);
    }

    pollfd fd{xcb_get_file_descriptor(connection), POLLIN, 0};
    double elapsedMs = -1;
    while (elapsedMs < 0 && poll(&fd, 1, 10000) > 0) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY &&
                !reinterpret_cast<xcb_map_notify_event_t*>(event)->override_redirect) {
                elapsedMs = std::chrono::duration<double, std::milli>(
                                std::chrono::steady_clock::now() - start)
                                .count();
            }
            free(event);
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const long rss = ResidentKiB(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    xcb_disconnect(connection);
    if (elapsedMs < 0) {
        std::fprintf(stderr, "no window was mapped\n");
        return 1;
    }
    std::printf("%.1f %ld\n", elapsedMs, rss);
    return 0;
}
