// SPDX-License-Identifier: GPL-3.0-or-later
#include "TavikVersion.h"
#include "app/Application.h"
#include "core/CalcError.h"
#include "core/Container.h"
#include "core/IntField.h"
#include "i18n/Language.h"
#include "media/ProbeReport.h"
#include "qtwin/ErrorMessages.h"
#include "qtwin/QtErrorBox.h"
#include "qtwin/QtHelpViewer.h"
#include "qtwin/TavikWindow.h"
#include "support/MemoryWindow.h"

#include "WindowTest.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavik {
namespace {

TEST(QtErrorBox, ShowsStopIconOneOkAndCaption) {
    ModalWatchdog watchdog;
    watchdog.Expect(true);
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    Qt::WindowModality modality = Qt::NonModal;
    bool onTop = false;
    QTimer::singleShot(50, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
        buttons = box->standardButtons();
        modality = box->windowModality();
        onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        box->accept();
    });
    QtErrorBox().Show("ゼロによる除算.", "Tavik");
    EXPECT_EQ(text, QString::fromUtf8("ゼロによる除算."));
    EXPECT_EQ(title, "Tavik");
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(buttons, QMessageBox::Ok);
    EXPECT_EQ(modality, Qt::ApplicationModal);
    EXPECT_TRUE(onTop); // not hidden under the main window, which stays on top
}

// Takes what the desktop would open, so no mail or web program starts.
class UrlCatcher : public QObject {
    Q_OBJECT

public:
    UrlCatcher() {
        for (const char* scheme : {"mailto", "https"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "Open");
    }
    ~UrlCatcher() override {
        for (const char* scheme : {"mailto", "https"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    std::vector<std::string> opened;

public Q_SLOTS:
    void Open(const QUrl& url) { opened.push_back(url.toString().toStdString()); }
};

TEST(QtShell, DoubleClickOpensTheAddressOnTheDesktop) {
    UrlCatcher desktop;
    MemoryErrorBox errors;
    MemoryHelpDispatch help;
    QtShell shell;
    TavikWindow window(errors, help, shell);
    window.ShowAtStartUp();
    window.findChild<QTabWidget*>("Pages")->setCurrentIndex(2);
    QTest::mouseDClick(window.findChild<QLineEdit*>("MailEdit"), Qt::LeftButton);
    QTest::mouseDClick(window.findChild<QLineEdit*>("URLEdit"), Qt::LeftButton);
    EXPECT_EQ(desktop.opened,
              (std::vector<std::string>{"mailto:i@example.org", "https://tavik.example.org/"}));
}
// The user's choices are written as they change and read back, into the
// sums, by the next run; a settings file that is corrupt or names no known
// container or frame rate reads as the first item of each list.
TEST(RememberedContainer, ChoiceIsReadBackAndAFaultyFileReadsAsNone) {
    struct Folder {
        QString path = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
        ~Folder() { QDir(path).removeRecursively(); }
    } folder;
    // The keys chosen at start and the size computed with them; then the
    // given keys are chosen.
    const auto run = [](const char* container = "", const char* fps = "") {
        MemoryErrorBox errors;
        MemoryHelpDispatch help;
        MemoryShell shell;
        TavikWindow window(errors, help, shell);
        auto* containers = window.findChild<QComboBox*>(QStringLiteral("ContainerBox"));
        auto* rates = window.findChild<QComboBox*>(QStringLiteral("FpsBox"));
        window.findChild<QPushButton*>(QStringLiteral("GetSizeBtn"))->click();
        const QStringList remembered{containers->currentData().toString(),
                                     rates->currentData().toString(),
                                     window.findChild<QComboBox*>("SizeBox")->currentText()};
        for (auto [box, key] : {std::pair(containers, container), std::pair(rates, fps)})
            if (*key) box->setCurrentIndex(box->findData(key));
        return remembered;
    };
    const QStringList none{"none", "upto60", "295"};
    EXPECT_EQ(run(), none);
    EXPECT_FALSE(QFileInfo::exists(folder.path)); // read, never written
    EXPECT_EQ(run("m2ts", "25"), none);
    EXPECT_EQ(run(), (QStringList{"m2ts", "25",
                                  QString::fromStdString(IntToStr(
                                      FittedSizeMB(Container::M2ts, 192, 1150, 1800, 25000)))}));
    for (const char* text : {"container=avi\nfps=17\n", "\xff\xfe garbage\ncontainer=ts\n"}) {
        QFile file(folder.path + QStringLiteral("/tavik.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
        file.close();
        EXPECT_EQ(run(), none) << text;
    }
}

// With a container the rate captions name kbit/s of 1000 bit, the exact fit
// is disabled with its tick kept and a hint saying why, and the frame rate
// applies; with none again the window is as designed.
TEST(RememberedContainer, AContainerNamesItsUnitAndDisablesTheExactFit) {
    MemoryErrorBox errors;
    MemoryHelpDispatch help;
    MemoryShell shell;
    TavikWindow window(errors, help, shell);
    auto* box = window.findChild<QComboBox*>(QStringLiteral("ContainerBox"));
    auto* exact = window.findChild<QCheckBox*>(QStringLiteral("NearRateChk"));
    const auto state = [&] {
        return QStringList{window.findChild<QLabel*>("Label1")->text().right(4),
                           window.findChild<QLabel*>("Label2")->text().right(4), exact->toolTip()}
               << (exact->isEnabled() ? "exact" : "-") << (exact->isChecked() ? "ticked" : "-")
               << (window.findChild<QWidget*>("FpsBox")->isEnabled() ? "fps" : "-");
    };
    const QStringList designed{"Kbps", "Kbps", "ﾋﾞｯﾄﾚｰﾄを厳密に計算します", "exact", "ticked", "-"};
    EXPECT_EQ(state(), designed);
    box->setCurrentIndex(box->findData("ps"));
    EXPECT_EQ(state(), (QStringList{"kbps", "kbps",
                                    "ｺﾝﾃﾅを選んでいる間は、ﾌｧｲﾙに収まる最大のﾋﾞｯﾄﾚｰﾄを常に求めます",
                                    "-", "ticked", "fps"}));
    box->setCurrentIndex(0);
    EXPECT_EQ(state(), designed);
}

// A scheme may pair a light button colour with light window text: whatever is
// drawn on the button colour takes the button-text colour.
TEST(TavikWindowColours, TextOnTheButtonColourTakesTheButtonTextColour) {
    const QPalette saved = QApplication::palette();
    QPalette scheme = saved;
    scheme.setColor(QPalette::Button, QColor(0xe8, 0xe8, 0xe8));
    scheme.setColor(QPalette::ButtonText, QColor(0x20, 0x20, 0x20));
    scheme.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
    scheme.setColor(QPalette::WindowText, QColor(0xf0, 0xf0, 0xf0));
    scheme.setColor(QPalette::Base, QColor(0x30, 0x30, 0x30));
    scheme.setColor(QPalette::Text, QColor(0xf0, 0xf0, 0xf0));
    QApplication::setPalette(scheme);
    {
        MemoryErrorBox errors;
        MemoryHelpDispatch help;
        MemoryShell shell;
        TavikWindow window(errors, help, shell);
        EXPECT_EQ(window.palette().color(QPalette::Window), scheme.color(QPalette::Button));
        for (const char* name : {"Label1", "Label5", "NearRateChk", "VerLbl", "Pages"}) {
            const auto* w = window.findChild<QWidget*>(QString::fromLatin1(name));
            ASSERT_NE(w, nullptr) << name;
            EXPECT_EQ(w->palette().color(w->foregroundRole()), scheme.color(QPalette::ButtonText))
                << name;
        }
        for (const char* name : {"SepSecEdit", "MailEdit", "URLEdit"}) {
            const auto* edit = window.findChild<QLineEdit*>(QString::fromLatin1(name));
            ASSERT_NE(edit, nullptr) << name;
            EXPECT_EQ(edit->palette().color(QPalette::Base), scheme.color(QPalette::Button));
            EXPECT_EQ(edit->palette().color(QPalette::Text), scheme.color(QPalette::ButtonText))
                << name;
        }
        // The fields the user types into keep the ordinary text colours.
        const auto* month = window.findChild<QLineEdit*>(QStringLiteral("MonthEdit"));
        EXPECT_EQ(month->palette().color(QPalette::Text), scheme.color(QPalette::Text));
    }
    QApplication::setPalette(saved);
}

// On a dark window the icon's navy and black get a halo in the text colour.
TEST(TavikWindowColours, AuthorIconHasAHaloOnADarkWindow) {
    struct Scheme {
        QPalette saved = QApplication::palette();
        ~Scheme() { QApplication::setPalette(saved); }
    } scheme;
    QPalette dark = scheme.saved;
    dark.setColor(QPalette::Button, QColor(0x30, 0x30, 0x30));
    dark.setColor(QPalette::ButtonText, Qt::white);
    QApplication::setPalette(dark);
    MemoryErrorBox errors;
    MemoryHelpDispatch help;
    MemoryShell shell;
    TavikWindow window(errors, help, shell);
    window.findChild<QTabWidget*>(QStringLiteral("Pages"))->setCurrentIndex(2);
    const auto argb = [](const QPixmap& p) {
        return p.toImage().convertToFormat(QImage::Format_ARGB32);
    };
    const QImage shown = argb(window.findChild<QLabel*>(QStringLiteral("IconImage"))->pixmap());
    const QImage designed = argb(QApplication::windowIcon().pixmap(32, 32));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_TRUE(qAlpha(designed.pixel(x, y)) == 0 ||
                        shown.pixel(x, y) == designed.pixel(x, y));
    EXPECT_EQ(shown.pixel(1, 0), QColor(Qt::white).rgba()); // beside the arrow's end
    // Off the shape by more than the halo: inside the arrow, above the reels,
    // below, left and right of the camera.
    for (const QPoint clear :
         {QPoint(16, 1), QPoint(7, 9), QPoint(10, 31), QPoint(0, 24), QPoint(24, 18)})
        EXPECT_EQ(shown.pixel(clear), 0u) << clear.x() << ", " << clear.y();
    // On all four sides: a clear pixel beside the shape is in the halo.
    const QPoint sides[] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    for (const QPoint side : sides) {
        int bare = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QPoint beside = QPoint(x, y) + side;
                if (qAlpha(designed.pixel(x, y)) > 0 && designed.valid(beside) &&
                    qAlpha(designed.pixel(beside)) == 0 &&
                    shown.pixel(beside) != QColor(Qt::white).rgba())
                    ++bare;
            }
        EXPECT_EQ(bare, 0) << "side " << side.x() << ", " << side.y();
    }
}

TEST(QtHelpDispatch, ContentsOpenTheHelpWindowAndQuitClosesIt) {
    QtHelpDispatch dispatch(QStringLiteral("/nonexistent/tavik/Tavik.hlp"));
    dispatch.RunHelpCommand(HelpDispatch::kContents, 0);
    ASSERT_NE(dispatch.Viewer(), nullptr);
    EXPECT_TRUE(dispatch.Viewer()->isVisible());
    EXPECT_EQ(dispatch.Viewer()->windowTitle(), QString::fromUtf8("Tavik ヘルプ"));
    EXPECT_TRUE(dispatch.Viewer()->toPlainText().contains(QStringLiteral("7.8828125")));
    // Above the main window, which stays on top; its links open in the browser.
    EXPECT_TRUE(dispatch.Viewer()->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(dispatch.Viewer()->openExternalLinks());
    EXPECT_FALSE(dispatch.Viewer()->testAttribute(Qt::WA_QuitOnClose));
    EXPECT_EQ(dispatch.Viewer()->size(), QSize(520, 560));
    QTextBrowser* const first = dispatch.Viewer();
    dispatch.RunHelpCommand(HelpDispatch::kContents, 0);
    EXPECT_EQ(dispatch.Viewer(), first); // one help window, shown again
    dispatch.RunHelpCommand(HelpDispatch::kQuit, 0);
    QApplication::processEvents();
    EXPECT_EQ(dispatch.Viewer(), nullptr);
}

// The installed help file is preferred to the built-in one; the active
// window's bare help file name is looked up beside it.
TEST(QtHelpDispatch, ShowsTheInstalledHelpFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto write = [&](const char* name, const char* title) {
        QFile file(QDir(dir.path()).filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("<html><head><title>") + title + "</title></head><body>" + name +
                   "</body></html>");
    };
    write("Tavik.hlp", "Installed");
    write("Window.hlp", "Window");
    const auto shown = [](QtHelpDispatch& dispatch, unsigned command) {
        dispatch.RunHelpCommand(command, 0);
        return dispatch.Viewer() ? dispatch.Viewer()->windowTitle() : QString();
    };

    QtHelpDispatch dispatch(QDir(dir.path()).filePath("Tavik.hlp"));
    EXPECT_EQ(shown(dispatch, 1), QString()); // no other command opens help
    EXPECT_EQ(shown(dispatch, HelpDispatch::kContents), "Installed");

    QWidget active;
    active.setProperty(QtHelpDispatch::kHelpFileProperty, "Window.hlp");
    active.show();
    QApplication::setActiveWindow(&active);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&active));
    EXPECT_EQ(shown(dispatch, HelpDispatch::kContents), "Window");
    active.setProperty(QtHelpDispatch::kHelpFileProperty, "Missing.hlp");
    dispatch.RunHelpCommand(HelpDispatch::kContents, 0);
    EXPECT_EQ(dispatch.Viewer()->toPlainText(),
              QString::fromUtf8("ヘルプファイル Missing.hlp が見つかりません。"));

    QtHelpDispatch none{QString()};
    active.setProperty(QtHelpDispatch::kHelpFileProperty, QString());
    EXPECT_EQ(shown(none, HelpDispatch::kContents), QString()); // no help file at all
}

// Start-up to exit as the program runs: the help window opened from the main
// window ends with it, and the program returns 0.
TEST(RunTavik, HelpWindowEndsWithTheMainWindow) {
    const auto helpWindows = [] {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += qobject_cast<QTextBrowser*>(w) && w->isVisible();
        return n;
    };
    int shownWhileRunning = 0;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!dynamic_cast<TavikWindow*>(w) || !w->isVisible()) continue;
            QTest::mouseClick(w->findChild<QPushButton*>("HelpBtn"), Qt::LeftButton);
            shownWhileRunning = helpWindows();
            w->close();
        }
    });
    QTimer stuck;
    stuck.setSingleShot(true);
    QObject::connect(&stuck, &QTimer::timeout, &stuck, [] { QApplication::exit(1); });
    stuck.start(10000);
    EXPECT_EQ(RunTavik(*qApp), 0);
    EXPECT_TRUE(stuck.isActive()); // ended by closing the window
    EXPECT_EQ(shownWhileRunning, 1);
    EXPECT_EQ(helpWindows(), 0);
}

} // namespace
} // namespace tavik

#include "DesktopTest.moc"
