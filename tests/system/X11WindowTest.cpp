// SPDX-License-Identifier: GPL-3.0-or-later
// The real program on an X server of its own (Xvfb), with and without a
// window manager, one row per manager: where the outer window lands, its
// class against the desktop entry, staying on top, keeping its place over
// minimise and restore, and the error box's stepping down and coming back.
// Skips where Xvfb or the window manager is not installed (under TAVIK_CI
// only the optional managers do).
#include "XServer.h"
#include "support/ToolSkip.h"

#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

using namespace tavik_x;

std::string DesktopEntryValue(const std::string& key) {
    std::ifstream entry(TAVIK_DESKTOP_ENTRY);
    for (std::string line; std::getline(entry, line);)
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    return {};
}

struct Case {
    const char* name;
    std::vector<std::string> command; // empty: no window manager
    std::vector<std::string> environment = {};
    // A file written into the manager's home first: {path, text}.
    std::pair<const char*, const char*> homeFile = {};
    bool optional = false; // not installed by the test set-up: may skip under TAVIK_CI
    bool english = false;  // the program in an English session; else the C locale
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

// What a desktop session may have set that a test's window manager must not
// follow: unset.
const char* const kSessionVariables[] = {
    "XDG_CONFIG_HOME", "XDG_CACHE_HOME",  "XDG_DATA_HOME",   "XDG_STATE_HOME",
    "SESSION_MANAGER", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS"};

// A home of the window manager's own, so it neither reads nor writes the
// user's settings (nor a desktop session's bus); removed afterwards.
struct ScratchHome {
    ScratchHome() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tavik-wm-XXXXXX").string();
        if (mkdtemp(pattern.data())) path = pattern;
    }
    ~ScratchHome() {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
    std::filesystem::path path;
};

class OnX : public testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        if (!Installed("Xvfb")) TAVIK_SKIP_WITHOUT("Xvfb", "not installed");
        const Case& row = GetParam();
        for (const std::string& program : row.command)
            if (program.find('-') != 0 && !Installed(program)) {
                if (row.optional) GTEST_SKIP() << program << " is not installed";
                TAVIK_SKIP_WITHOUT(program, "not installed");
            }
        server_ = std::make_unique<XServer>();
        ASSERT_TRUE(server_->Ok()) << "Xvfb did not start";
        const std::string display = "DISPLAY=" + server_->Display();
        if (Framed()) {
            // mkdtemp's folder is private, as a runtime folder must be.
            std::vector<std::string> environment(std::begin(kSessionVariables),
                                                 std::end(kSessionVariables));
            environment.insert(environment.end(), {display, "HOME=" + home_.path.string(),
                                                   "XDG_RUNTIME_DIR=" + home_.path.string()});
            environment.insert(environment.end(), row.environment.begin(), row.environment.end());
            if (const auto& [name, text] = row.homeFile; name) {
                std::filesystem::create_directories((home_.path / name).parent_path());
                std::ofstream(home_.path / name) << text;
            }
            wm_ = std::make_unique<Child>(row.command, environment, -1, true);
            ASSERT_TRUE(WaitFor([&] { return server_->WindowManagerRuns(); }))
                << row.name << " did not start";
        }
        // A Wayland session as well: the program must still take the X display.
        // Settings from the scratch home, never the user's.
        tavik_ = std::make_unique<Child>(
            std::vector<std::string>{TAVIK_BINARY},
            std::vector<std::string>{display, "WAYLAND_DISPLAY=tavik-test-nowhere",
                                     "XDG_SESSION_TYPE=wayland", "QT_QPA_PLATFORM",
                                     "XDG_CONFIG_HOME=" + home_.path.string(), "LANGUAGE", "LC_ALL",
                                     "LC_MESSAGES", row.english ? "LANG=en_US.UTF-8" : "LANG=C"});
        ASSERT_TRUE(WaitFor([&] { return (window_ = X().FindShown("Tavik")) != 0; }))
            << "the window was not shown";
        // Placed once the manager has told its frame: the rows start from there.
        WaitFor([&] { return Centred(); });
    }

    // Whether the outer window is centred within a pixel, the frame being the
    // one the manager says it draws (none without a manager).
    bool Centred() {
        if (Framed()) frame_ = X().Cardinals(window_, "_NET_FRAME_EXTENTS");
        const auto client = X().ClientOrigin(window_);
        if (frame_.size() != 4 || !client) return false;
        const int width = 201 + static_cast<int>(frame_[0] + frame_[1]);
        const int height = 217 + static_cast<int>(frame_[2] + frame_[3]);
        offCentre_ = {(*client)[0] - static_cast<int>(frame_[0]) - (kScreenWidth - width) / 2,
                      (*client)[1] - static_cast<int>(frame_[2]) - (kScreenHeight - height) / 2};
        return std::abs(offCentre_[0]) <= 1 && std::abs(offCentre_[1]) <= 1;
    }

    XServer& X() { return *server_; }
    bool Framed() const { return !GetParam().command.empty(); }

    std::unique_ptr<XServer> server_;
    ScratchHome home_;
    std::unique_ptr<Child> wm_;
    std::unique_ptr<Child> tavik_;
    xcb_window_t window_ = XCB_WINDOW_NONE;
    std::vector<std::uint32_t> frame_{0, 0, 0, 0};
    std::array<int, 2> offCentre_{};
};

TEST_P(OnX, OuterWindowIsCentredAndTopMostWithTheEntrysClass) {
    // The outer frame is the client area grown by the frame the manager says
    // it draws; the centring rule holds for it within a pixel.
    EXPECT_TRUE(Centred()) << "outer frame off centre by " << offCentre_[0] << ", "
                           << offCentre_[1];
    const std::vector<std::uint32_t>& frame = frame_;
    if (Framed() && frame == std::vector<std::uint32_t>{0, 0, 0, 0}) {
        if (GetParam().optional)
            GTEST_SKIP() << GetParam().name << " draws no frame here (no decoration installed)";
        TAVIK_SKIP_WITHOUT(GetParam().name, "draws no frame here (no decoration installed)");
    }
    const auto outer = X().Outer(window_);
    ASSERT_TRUE(outer);
    EXPECT_EQ((*outer)[2], static_cast<int>(201 + frame[0] + frame[1]));
    EXPECT_EQ((*outer)[3], static_cast<int>(217 + frame[2] + frame[3]));
    if (Framed()) {
        EXPECT_TRUE(X().HasState(window_, "_NET_WM_STATE_ABOVE"));
        // Asking left the window manager's own properties as they were.
        EXPECT_FALSE(X().Property(X().Root(), "_NET_SUPPORTED").empty());
    }
    // WM_CLASS holds the instance and the class, each ended by a zero byte.
    const std::string wmClass = X().Property(window_, "WM_CLASS");
    const auto zero = wmClass.find('\0');
    ASSERT_NE(zero, std::string::npos);
    EXPECT_EQ(wmClass.substr(zero + 1), DesktopEntryValue("StartupWMClass") + '\0');
}

// Minimising, stacking and activation need a window manager: these rows run
// under each one.
class OnManagedX : public OnX {};

TEST_P(OnManagedX, KeepsTheUsersPlaceOverMinimiseAndRestore) {
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
    // Active and top-most again, and where the user put it once the manager's
    // animation of the restore (openbox's) has ended.
    std::array<int, 2> at{};
    EXPECT_TRUE(WaitFor([&] {
        const auto outer = X().Outer(window_);
        if (outer) at = {(*outer)[0], (*outer)[1]};
        return at == std::array<int, 2>{100, 120} && X().Active() == window_ &&
               X().HasState(window_, "_NET_WM_STATE_ABOVE");
    })) << "restored at "
        << at[0] << ", " << at[1];
}

// As a user: the error box takes the main window out of the top-most layer
// while it is open, so another program's window raised meanwhile comes above
// it, though not above the box; after the box the main window is top-most
// and active again. The help window's title is its document's, once.
TEST_P(OnManagedX, ErrorBoxAndHelpWindowAsAUserSeesThem) {
    if (!Installed("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    const std::string display = "DISPLAY=" + X().Display();
    const std::string id = std::to_string(window_);
    const auto user = [&](std::vector<std::string> args) {
        args.insert(args.begin(), "xdotool");
        return Child(args, {display}).Wait();
    };
    const auto above = [&](xcb_window_t window) {
        return X().HasState(window, "_NET_WM_STATE_ABOVE");
    };
    // TotalEdit to 0, then the size button: a division by zero. The page's
    // controls lie about 26 pixels lower in the window, under the tab row.
    ASSERT_EQ(user({"mousemove", "--window", id, "126", "180", "click", "1"}), 0);
    ASSERT_EQ(user({"key", "ctrl+a", "type", "0"}), 0);
    ASSERT_EQ(user({"mousemove", "--window", id, "178", "108", "click", "1"}), 0);
    ASSERT_TRUE(WaitFor([&] { return X().Active() != 0 && X().Active() != window_; }))
        << "no error box";
    EXPECT_TRUE(WaitFor([&] { return !above(window_); }));
    const xcb_window_t box = X().Active();
    EXPECT_EQ(X().Property(box, "_NET_WM_NAME"), "Tavik");
    EXPECT_TRUE(X().HasState(box, "_NET_WM_STATE_MODAL"));
    EXPECT_TRUE(WaitFor([&] { return above(box); }));

    // Another program's window, raised as a task bar would (source 2).
    const xcb_window_t other = X().ShowOtherWindow("other");
    ASSERT_TRUE(WaitFor([&] { return X().Viewable(other); })) << "the other window was not shown";
    X().SendToRoot(other, "_NET_ACTIVE_WINDOW", {2, XCB_CURRENT_TIME, 0, 0, 0});
    ASSERT_TRUE(WaitFor([&] { return X().Active() == other; })) << "the other window not active";
    EXPECT_TRUE(WaitFor([&] { return X().StackedAbove(other, window_); }));
    EXPECT_TRUE(X().StackedAbove(box, other));

    // Back to the box, as a click, and closed by its key.
    ASSERT_EQ(user({"mousemove", "--window", std::to_string(box), "10", "10", "click", "1"}), 0);
    ASSERT_TRUE(WaitFor([&] { return X().Active() == box; })) << "the box was not activated";
    ASSERT_EQ(user({"key", "Return"}), 0);
    EXPECT_TRUE(WaitFor([&] { return above(window_); }));
    EXPECT_TRUE(WaitFor([&] { return X().Active() == window_; }));
    EXPECT_TRUE(WaitFor([&] { return X().StackedAbove(window_, other); }));

    ASSERT_EQ(user({"mousemove", "--window", id, "180", "9", "click", "1"}), 0);
    ASSERT_TRUE(WaitFor([&] { return X().Active() != 0 && X().Active() != window_; }))
        << "no help window";
    // The page of the session's language: the program installed its translations.
    EXPECT_EQ(X().Property(X().Active(), "_NET_WM_NAME"),
              GetParam().english ? "Tavik Help" : "Tavik ヘルプ");
}

// icewm and fluxbox are small enough for every test machine; KWin and xfwm4
// run where they are installed. Each manager gets the settings a plain
// session would give it, without what a test server lacks (compositing, a
// wallpaper, a session).
const Case kManagers[] = {
    {"openbox_english", {"openbox"}, {}, {}, false, true},
    {"icewm", {"icewm"}},
    {"fluxbox", {"fluxbox"}, {}, {".fluxbox/overlay", "background: none\n"}},
    {"xfwm4",
     {"dbus-run-session", "--", "xfwm4", "--compositor=off"},
     {"NO_AT_BRIDGE=1"},
     {},
     true},
    {"kwin_x11", {"kwin_x11"}, {"KWIN_COMPOSE=N"}, {}, true},
};

std::string RowName(const testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(NoWindowManager, OnX, testing::Values(Case{"no_window_manager", {}}),
                         RowName);
INSTANTIATE_TEST_SUITE_P(WindowManagers, OnX, testing::ValuesIn(kManagers), RowName);
INSTANTIATE_TEST_SUITE_P(WindowManagers, OnManagedX, testing::ValuesIn(kManagers), RowName);

} // namespace
