// SPDX-License-Identifier: GPL-3.0-or-later
// The real program on an X server of its own (Xvfb), with and without a
// window manager: where the outer window lands, its class against the desktop
// entry, staying on top, and keeping its place over minimise and restore.
// Skips where Xvfb or the window manager is not installed.
#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
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

namespace {

using namespace std::chrono_literals;

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;

bool Installed(const std::string& program) {
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

// Polls until the condition holds or the time is up.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit = 10s) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// A child process, ended when this goes.
class Child {
public:
    Child(std::vector<std::string> args, const std::vector<std::string>& environment,
          int keepFd = -1) {
        pid_ = fork();
        if (pid_ != 0) return;
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
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
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

    // The viewable window named `name`, at most two levels under the root
    // (a window manager's frame lies between).
    xcb_window_t FindShown(const std::string& name) const {
        for (const xcb_window_t top : Children(root_)) {
            std::vector<xcb_window_t> candidates = Children(top);
            candidates.push_back(top);
            for (const xcb_window_t window : candidates)
                if (Property(window, "WM_NAME") == name && Viewable(window)) return window;
        }
        return XCB_WINDOW_NONE;
    }

    // The outer rectangle of the top-level window that holds `window`: the
    // frame where a window manager has framed it, border included.
    std::optional<std::array<int, 4>> Outer(xcb_window_t window) const {
        xcb_window_t top = window;
        for (xcb_window_t parent = Parent(top); parent != root_ && parent != XCB_WINDOW_NONE;
             parent = Parent(top))
            top = parent;
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

std::string DesktopEntryValue(const std::string& key) {
    std::ifstream entry(TAVIK_DESKTOP_ENTRY);
    for (std::string line; std::getline(entry, line);)
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    return {};
}

struct Case {
    const char* name;
    const char* windowManager; // empty: none
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class OnX : public testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        if (!Installed("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
        const char* wm = GetParam().windowManager;
        if (*wm && !Installed(wm)) GTEST_SKIP() << wm << " is not installed";
        server_ = std::make_unique<XServer>();
        ASSERT_TRUE(server_->Ok()) << "Xvfb did not start";
        const std::string display = "DISPLAY=" + server_->Display();
        if (*wm) {
            wm_ = std::make_unique<Child>(std::vector<std::string>{wm},
                                          std::vector<std::string>{display});
            ASSERT_TRUE(WaitFor([&] { return server_->WindowManagerRuns(); }))
                << wm << " did not start";
        }
        // A Wayland session as well: the program must still take the X display.
        tavik_ = std::make_unique<Child>(
            std::vector<std::string>{TAVIK_BINARY},
            std::vector<std::string>{display, "WAYLAND_DISPLAY=tavik-test-nowhere",
                                     "XDG_SESSION_TYPE=wayland", "QT_QPA_PLATFORM"});
        ASSERT_TRUE(WaitFor([&] { return (window_ = X().FindShown("Tavik")) != 0; }))
            << "the window was not shown";
        // The window manager may still be settling the frame.
        std::this_thread::sleep_for(300ms);
    }

    XServer& X() { return *server_; }
    bool Framed() const { return *GetParam().windowManager != 0; }

    std::unique_ptr<XServer> server_;
    std::unique_ptr<Child> wm_;
    std::unique_ptr<Child> tavik_;
    xcb_window_t window_ = XCB_WINDOW_NONE;
};

TEST_P(OnX, OuterWindowIsCentredAndTopMostWithTheEntrysClass) {
    const auto outer = X().Outer(window_);
    ASSERT_TRUE(outer);
    const auto [x, y, width, height] = *outer;
    EXPECT_EQ(x, std::max(0, (kScreenWidth - width) / 2));
    EXPECT_EQ(y, std::max(0, (kScreenHeight - height) / 2));
    if (Framed()) {
        // A frame around the client: the outer window is larger.
        const std::vector<std::uint32_t> frame = X().Cardinals(window_, "_NET_FRAME_EXTENTS");
        ASSERT_EQ(frame.size(), 4u);
        EXPECT_GT(frame[2] + frame[3], 0u);
        EXPECT_EQ(width, static_cast<int>(201 + frame[0] + frame[1]));
        EXPECT_EQ(height, static_cast<int>(217 + frame[2] + frame[3]));
        EXPECT_TRUE(X().HasState(window_, "_NET_WM_STATE_ABOVE"));
        // Asking left the window manager's own properties as they were.
        EXPECT_FALSE(X().Property(X().Root(), "_NET_SUPPORTED").empty());
    } else {
        EXPECT_EQ(width, 201);
        EXPECT_EQ(height, 217);
    }
    // WM_CLASS holds the instance and the class, each ended by a zero byte.
    const std::string wmClass = X().Property(window_, "WM_CLASS");
    const auto zero = wmClass.find('\0');
    ASSERT_NE(zero, std::string::npos);
    EXPECT_EQ(wmClass.substr(zero + 1), DesktopEntryValue("StartupWMClass") + '\0');
}

TEST_P(OnX, KeepsTheUsersPlaceOverMinimiseAndRestore) {
    if (!Framed()) GTEST_SKIP() << "minimising needs a window manager";
    // Moved as a user would, through the window manager (source 2: a user's
    // tool); gravity 1 places the frame's top-left.
    X().SendToRoot(window_, "_NET_MOVERESIZE_WINDOW",
                   {1u | (1u << 8) | (1u << 9) | (2u << 12), 100, 120, 0, 0});
    ASSERT_TRUE(WaitFor([&] {
        const auto outer = X().Outer(window_);
        return outer && (*outer)[0] == 100 && (*outer)[1] == 120;
    })) << "the window manager did not move the window";
    X().SendToRoot(window_, "WM_CHANGE_STATE", {3, 0, 0, 0, 0}); // iconic
    ASSERT_TRUE(WaitFor([&] { return !X().Viewable(window_); })) << "not minimised";
    X().SendToRoot(window_, "_NET_ACTIVE_WINDOW", {2, XCB_CURRENT_TIME, 0, 0, 0});
    ASSERT_TRUE(WaitFor([&] { return X().Viewable(window_); })) << "not restored";
    std::this_thread::sleep_for(300ms);
    const auto outer = X().Outer(window_);
    ASSERT_TRUE(outer);
    EXPECT_EQ((*outer)[0], 100);
    EXPECT_EQ((*outer)[1], 120);
    EXPECT_TRUE(X().HasState(window_, "_NET_WM_STATE_ABOVE"));
}

// As a user: the error box takes the main window out of the top-most layer
// while it is open, and after it the main window is top-most and active
// again; the help window's title is its document's, once.
TEST_P(OnX, ErrorBoxAndHelpWindowAsAUserSeesThem) {
    if (!Framed()) GTEST_SKIP() << "stacking and activation need a window manager";
    if (!Installed("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    const std::string display = "DISPLAY=" + X().Display();
    const std::string id = std::to_string(window_);
    const auto user = [&](std::vector<std::string> args) {
        args.insert(args.begin(), "xdotool");
        return Child(args, {display}).Wait();
    };
    const auto active = [&] {
        const std::vector<std::uint32_t> a = X().Cardinals(X().Root(), "_NET_ACTIVE_WINDOW");
        return a.size() == 1 ? a[0] : 0u;
    };
    // TotalEdit to 0, then the size button: a division by zero. The page's
    // controls lie about 26 pixels lower in the window, under the tab row.
    ASSERT_EQ(user({"mousemove", "--window", id, "126", "180", "click", "1"}), 0);
    ASSERT_EQ(user({"key", "ctrl+a", "type", "0"}), 0);
    ASSERT_EQ(user({"mousemove", "--window", id, "178", "108", "click", "1"}), 0);
    ASSERT_TRUE(WaitFor([&] { return active() != 0 && active() != window_; })) << "no error box";
    EXPECT_TRUE(WaitFor([&] { return !X().HasState(window_, "_NET_WM_STATE_ABOVE"); }));
    const xcb_window_t box = active();
    EXPECT_EQ(X().Property(box, "_NET_WM_NAME"), "Tavik");
    EXPECT_TRUE(X().HasState(box, "_NET_WM_STATE_MODAL"));
    ASSERT_EQ(user({"key", "Return"}), 0);
    EXPECT_TRUE(WaitFor([&] { return X().HasState(window_, "_NET_WM_STATE_ABOVE"); }));
    EXPECT_TRUE(WaitFor([&] { return active() == window_; }));

    ASSERT_EQ(user({"mousemove", "--window", id, "180", "9", "click", "1"}), 0);
    ASSERT_TRUE(WaitFor([&] { return active() != 0 && active() != window_; })) << "no help window";
    EXPECT_EQ(X().Property(active(), "_NET_WM_NAME"), "Tavik ヘルプ");
}

INSTANTIATE_TEST_SUITE_P(WindowManagers, OnX,
                         testing::Values(Case{"no_window_manager", ""}, Case{"openbox", "openbox"}),
                         [](const testing::TestParamInfo<Case>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
