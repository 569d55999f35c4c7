// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up and error reporting around the real window: the command line, the
// platform the program starts on, the desktop's name for it, and the main
// window's top-most state while the error box is open.
#include "TavikVersion.h"
#include "app/Platform.h"
#include "qtwin/QtErrorBox.h"
#include "qtwin/TavikWindow.h"
#include "support/MemoryWindow.h"

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavik {
namespace {

struct PlatformRow {
    const char* name;
    std::vector<std::string> args;
    PlatformEnvironment environment; // QT_QPA_PLATFORM, DISPLAY, WAYLAND_DISPLAY
    PlatformChoice::Kind kind;
    const char* platform;
};

TEST(ChoosePlatform, XWhereverThereIsAnXDisplayAndTheUsersChoiceWins) {
    using Kind = PlatformChoice::Kind;
    const PlatformRow rows[] = {
        {"x_session", {}, {"", ":0", ""}, Kind::X11, "xcb"},
        {"wayland_session_with_xwayland", {}, {"", ":1", "wayland-0"}, Kind::X11, "xcb"},
        {"wayland_only", {}, {"", "", "wayland-0"}, Kind::Native, ""},
        {"nothing", {}, {"", "", ""}, Kind::NoDisplay, ""},
        {"display_option", {"-display", ":2"}, {"", "", ""}, Kind::X11, "xcb"},
        {"platform_option",
         {"-platform", "wayland"},
         {"", ":0", "wayland-0"},
         Kind::UserChoice,
         ""},
        {"double_dash_option", {"--platform", "offscreen"}, {"", "", ""}, Kind::UserChoice, ""},
        {"platform_variable", {}, {"wayland", ":0", "wayland-0"}, Kind::UserChoice, ""},
        {"variable_without_display", {}, {"xcb", "", ""}, Kind::UserChoice, ""},
        {"option_without_name", {"-platform"}, {"", ":0", ""}, Kind::X11, "xcb"},
        {"option_as_a_name", {"-x", "-platform"}, {"", "", ""}, Kind::NoDisplay, ""},
        {"other_arguments", {"-style", "fusion"}, {"", "", "wayland-0"}, Kind::Native, ""},
    };
    for (const PlatformRow& row : rows) {
        SCOPED_TRACE(row.name);
        const PlatformChoice choice = ChoosePlatform(row.args, row.environment);
        EXPECT_EQ(choice.kind, row.kind);
        EXPECT_EQ(choice.platform, row.platform);
    }
}

TEST(ChoosePlatform, OnlyANativeStartSaysThatStayingOnTopIsTheCompositors) {
    using Kind = PlatformChoice::Kind;
    const struct {
        const char* name;
        Kind kind;
        const char* started;
        bool note;
    } rows[] = {
        {"native_wayland", Kind::Native, "wayland", true},
        {"native_fell_back_to_x", Kind::Native, "xcb", false},
        {"x_display", Kind::X11, "xcb", false},
        {"users_choice", Kind::UserChoice, "offscreen", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const char* note = StartUpNote({row.kind, ""}, row.started);
        EXPECT_EQ(note != nullptr, row.note);
        if (note) {
            EXPECT_STREQ(note, kNativeNote);
        }
    }
}

// The program itself, with no display at all: help, version and refusals
// answer without one; Qt's options, with their values, pass over to Qt.
TEST(CommandLine, AnswersHelpVersionAndBadOptionsWithoutADisplay) {
    const std::string version = std::string("tavik (Tavik) ") + TAVIK_VERSION + "\n";
    const struct {
        const char* name;
        QStringList args;
        int status;
        std::string out; // the start of stdout, empty for none
        std::string err;
    } rows[] = {
        {"help", {"--help"}, 0, "Usage: tavik [QT-OPTION]...\n", ""},
        {"short_help", {"-h"}, 0, "Usage: tavik [QT-OPTION]...\n", ""},
        {"version", {"--version"}, 0, version, ""},
        {"short_version", {"-v"}, 0, version, ""},
        {"after_qt_options",
         {"-platform", "offscreen", "--display", ":4711", "-style=fusion", "-reverse", "--version"},
         0,
         version,
         ""},
        {"unknown_option", {"--bogus-option"}, 2, "", "tavik: Unknown option 'bogus-option'.\n"},
        {"unknown_before_help", {"--help", "-x"}, 2, "", "tavik: Unknown option 'x'.\n"},
        {"argument", {"rec.ts"}, 2, "", "tavik: unexpected argument 'rec.ts'\n"},
        {"qt_option_without_value",
         {"-platform"},
         2,
         "",
         "tavik: Missing value after '-platform'.\n"},
        {"control_characters",
         {"--\x1b[2J\x7f"},
         2,
         "",
         "tavik: Unknown option '\\x1b[2J\\x7f'.\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QProcess tavik;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QLatin1String(name));
        tavik.setProcessEnvironment(environment);
        tavik.start(QStringLiteral(TAVIK_BINARY), row.args);
        ASSERT_TRUE(tavik.waitForFinished(20000));
        EXPECT_EQ(tavik.exitCode(), row.status);
        const std::string out = tavik.readAllStandardOutput().toStdString();
        EXPECT_EQ(out.substr(0, row.out.size()), row.out);
        EXPECT_EQ(out.empty(), row.out.empty());
        EXPECT_EQ(tavik.readAllStandardError().toStdString(), row.err);
    }
}

// Qt's messages while the platform starts are held back, then passed on:
// the real program, with no runtime folder, says what Qt says of it.
TEST(StartUp, PassesOnWhatQtSaysWhileStarting) {
    QProcess tavik;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    tavik.setProcessEnvironment(environment);
    tavik.start(QStringLiteral(TAVIK_BINARY),
                {QStringLiteral("-platform"), QStringLiteral("offscreen")});
    QByteArray said;
    (void)QTest::qWaitFor( // the ceiling only ends a start that hangs
        [&] {
            said += tavik.readAllStandardError();
            return said.contains("XDG_RUNTIME_DIR not set") ||
                   tavik.state() == QProcess::NotRunning;
        },
        60000);
    EXPECT_TRUE(said.contains("XDG_RUNTIME_DIR not set")) << said.toStdString();
    EXPECT_EQ(tavik.state(), QProcess::Running);
    tavik.kill();
    tavik.waitForFinished();
}

// Desktops find the entry by this name and show its icon for the window.
TEST(ApplicationSetUp, NamesItsDesktopEntry) {
    EXPECT_EQ(QGuiApplication::desktopFileName(), "org.example.Tavik");
    EXPECT_TRUE(QFileInfo::exists(QStringLiteral(TAVIK_SOURCE_DIR "/data/") +
                                  QGuiApplication::desktopFileName() + QStringLiteral(".desktop")));
}

bool TopMost(const QWidget& window) {
    return window.windowFlags().testFlag(Qt::WindowStaysOnTopHint) &&
           window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
}

TEST(QtErrorBox, MainWindowStepsDownWhileTheBoxIsOpenAndIsTopMostAndActiveAfter) {
    QtErrorBox errors;
    MemoryHelpDispatch help;
    MemoryShell shell;
    TavikWindow window(errors, help, shell);
    window.ShowAtStartUp();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const QPoint placed = window.pos();
    ASSERT_TRUE(TopMost(window));

    bool opened = false, topMostWhileOpen = true, boxTopMost = false, stillShown = false;
    QTimer::singleShot(50, &window, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        opened = true;
        topMostWhileOpen = window.windowFlags().testFlag(Qt::WindowStaysOnTopHint) ||
                           window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
        boxTopMost = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        stillShown = window.isVisible();
        box->accept();
    });
    auto* total = window.findChild<QLineEdit*>(QStringLiteral("TotalEdit"));
    total->setText(QStringLiteral("0"));
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("GetSizeBtn")), Qt::LeftButton);

    ASSERT_TRUE(opened);
    EXPECT_FALSE(topMostWhileOpen);
    EXPECT_TRUE(boxTopMost);
    EXPECT_TRUE(stillShown);
    EXPECT_TRUE(TopMost(window));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.pos(), placed);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(QApplication::activeWindow(), &window);
}

} // namespace
} // namespace tavik
