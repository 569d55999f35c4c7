// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// An X server of a test's own (Xvfb) and children run on it: a window
// manager, the program. Each is stopped when the test is done with it.

#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tavik_x {

using namespace std::chrono_literals;

inline constexpr int kScreenWidth = 1280;
inline constexpr int kScreenHeight = 1024;

inline bool Installed(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        if (access((dirs.substr(start, end - start) + "/" + program).c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

// Polls until the condition holds; the limit only ends a test that hangs.
inline bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit = 30s) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// A child process, ended when this goes; in a process group of its own, the
// whole group (a window manager's session bus and what that started).
class Child {
public:
    Child(std::vector<std::string> args, const std::vector<std::string>& environment,
          int keepFd = -1, bool group = false)
        : group_(group) {
        pid_ = fork();
        if (pid_ > 0 && group) setpgid(pid_, pid_);
        if (pid_ != 0) return;
        if (group) setpgid(0, 0);
        for (const std::string& setting : environment) {
            const auto eq = setting.find('=');
            if (eq == std::string::npos) {
                unsetenv(setting.c_str());
            } else {
                setenv(setting.substr(0, eq).c_str(), setting.substr(eq + 1).c_str(), 1);
            }
        }
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, 1);
        dup2(quiet, 2);
        for (int fd = 3; fd < 256; ++fd)
            if (fd != keepFd) close(fd);
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    ~Child() {
        if (pid_ <= 0) return;
        const pid_t target = group_ ? -pid_ : pid_;
        kill(target, SIGTERM);
        // A window manager may hold the signal back (fluxbox, at times), and
        // the rest of its group (a settings daemon) may still be writing.
        bool reaped = false;
        const auto ended = [&] {
            reaped = reaped || waitpid(pid_, nullptr, WNOHANG) == pid_;
            return reaped && (!group_ || kill(target, 0) != 0);
        };
        if (!WaitFor(ended, 5s)) {
            kill(target, SIGKILL);
            if (!reaped) waitpid(pid_, nullptr, 0);
        }
    }
    // Waits for the child to end by itself; its exit status.
    int Wait() {
        int status = 0;
        if (pid_ <= 0 || waitpid(pid_, &status, 0) != pid_) return -1;
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

private:
    pid_t pid_ = -1;
    bool group_;
};

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <class T> using Reply = std::unique_ptr<T, FreeReply>;

// An Xvfb on a display number of its choosing, and a connection to it.
class XServer {
public:
    XServer() {
        int fds[2];
        if (pipe(fds) != 0) return;
        const std::string geometry =
            std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + "x24";
        server_ = std::make_unique<Child>(
            std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                     geometry, "-nolisten", "tcp"},
            std::vector<std::string>{}, fds[1]);
        close(fds[1]);
        // Xvfb writes the number and the newline apart; the pipe stays open
        // for both, or the second write fails and Xvfb ends.
        std::string number;
        char c = 0;
        while (read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (number.empty()) return;
        display_ = ":" + number;
        connection_ = xcb_connect(display_.c_str(), nullptr);
        if (xcb_connection_has_error(connection_)) return;
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        ok_ = true;
    }
    ~XServer() {
        if (connection_) xcb_disconnect(connection_);
    }

    bool Ok() const { return ok_; }
    const std::string& Display() const { return display_; }
    xcb_connection_t* Connection() const { return connection_; }
    xcb_window_t Root() const { return root_; }

    xcb_atom_t Atom(const char* name) const {
        Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
            connection_,
            xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr));
        return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }

    // A property's raw bytes; empty when it is not set.
    std::string Property(xcb_window_t window, const char* name) const {
        Reply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(connection_,
                                   xcb_get_property(connection_, 0, window, Atom(name),
                                                    XCB_GET_PROPERTY_TYPE_ANY, 0, 4096),
                                   nullptr));
        if (!reply) return {};
        return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                           static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
    }

    std::vector<std::uint32_t> Cardinals(xcb_window_t window, const char* name) const {
        const std::string bytes = Property(window, name);
        std::vector<std::uint32_t> values(bytes.size() / 4);
        if (!values.empty()) std::memcpy(values.data(), bytes.data(), values.size() * 4);
        return values;
    }

    bool HasState(xcb_window_t window, const char* state) const {
        for (const std::uint32_t atom : Cardinals(window, "_NET_WM_STATE"))
            if (atom == Atom(state)) return true;
        return false;
    }

    std::vector<xcb_window_t> Children(xcb_window_t window) const {
        Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window), nullptr));
        if (!tree) return {};
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        return {children, children + xcb_query_tree_children_length(tree.get())};
    }

    xcb_window_t Parent(xcb_window_t window) const {
        Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window), nullptr));
        return tree ? tree->parent : xcb_window_t{XCB_WINDOW_NONE};
    }

    bool Viewable(xcb_window_t window) const {
        Reply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
            connection_, xcb_get_window_attributes(connection_, window), nullptr));
        return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    }

    // The viewable window named `name`, anywhere under `under` (a window
    // manager's frames lie between it and the root).
    xcb_window_t FindShown(const std::string& name, xcb_window_t under = 0) const {
        for (const xcb_window_t window : Children(under ? under : root_)) {
            if (Property(window, "WM_NAME") == name && Viewable(window)) return window;
            if (const xcb_window_t found = FindShown(name, window)) return found;
        }
        return XCB_WINDOW_NONE;
    }

    // The child of the root that holds `window`: a window manager's frame.
    xcb_window_t TopLevel(xcb_window_t window) const {
        xcb_window_t top = window;
        for (xcb_window_t parent = Parent(top); parent != root_ && parent != XCB_WINDOW_NONE;
             parent = Parent(top))
            top = parent;
        return top;
    }

    // Whether `upper` is stacked above `lower`, as the screen shows them.
    bool StackedAbove(xcb_window_t upper, xcb_window_t lower) const {
        const std::vector<xcb_window_t> order = Children(root_); // bottom to top
        const auto at = [&](xcb_window_t w) {
            return std::find(order.begin(), order.end(), TopLevel(w)) - order.begin();
        };
        return at(upper) > at(lower);
    }

    // Where the client area's top-left corner lies on the screen.
    std::optional<std::array<int, 2>> ClientOrigin(xcb_window_t window) const {
        Reply<xcb_translate_coordinates_reply_t> where(xcb_translate_coordinates_reply(
            connection_, xcb_translate_coordinates(connection_, window, root_, 0, 0), nullptr));
        if (!where) return std::nullopt;
        return std::array<int, 2>{where->dst_x, where->dst_y};
    }

    xcb_window_t Active() const {
        const std::vector<std::uint32_t> active = Cardinals(root_, "_NET_ACTIVE_WINDOW");
        return active.empty() ? 0u : active[0];
    }

    // A plain window of another program, shown.
    xcb_window_t ShowOtherWindow(const std::string& name) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        const xcb_window_t window = xcb_generate_id(connection_);
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, root_, 440, 362, 400, 300, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME,
                            XCB_ATOM_STRING, 8, static_cast<std::uint32_t>(name.size()),
                            name.data());
        xcb_map_window(connection_, window);
        xcb_flush(connection_);
        return window;
    }

    // The outer rectangle of the top-level window that holds `window`: the
    // frame where a window manager has framed it, border included.
    std::optional<std::array<int, 4>> Outer(xcb_window_t window) const {
        const xcb_window_t top = TopLevel(window);
        Reply<xcb_get_geometry_reply_t> g(
            xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, top), nullptr));
        if (!g) return std::nullopt;
        return std::array<int, 4>{g->x, g->y, g->width + 2 * g->border_width,
                                  g->height + 2 * g->border_width};
    }

    void SendToRoot(xcb_window_t window, const char* type, std::array<std::uint32_t, 5> data) {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = Atom(type);
        std::memcpy(message.data.data32, data.data(), sizeof message.data.data32);
        xcb_send_event(connection_, 0, root_,
                       XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(connection_);
    }

    bool WindowManagerRuns() const {
        const std::vector<std::uint32_t> check = Cardinals(root_, "_NET_SUPPORTING_WM_CHECK");
        return !check.empty() && Cardinals(check[0], "_NET_SUPPORTING_WM_CHECK") == check;
    }

private:
    std::unique_ptr<Child> server_;
    std::string display_;
    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = XCB_WINDOW_NONE;
    bool ok_ = false;
};

} // namespace tavik_x
