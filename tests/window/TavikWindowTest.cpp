// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtwin/TavikWindow.h"
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
#include "support/MemoryWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QFrame>
#include <QHelpEvent>
#include <QImage>
#include <QInputMethodQueryEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace tavik {
namespace {

// Fails the running test, instead of hanging, when a modal dialog opens
// that the test did not ask for.
class ModalWatchdog {
public:
    ModalWatchdog() {
        timer_.setInterval(100);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
            if (QWidget* modal = QApplication::activeModalWidget(); modal && !expected_) {
                ADD_FAILURE() << "unexpected modal dialog: " << modal->windowTitle().toStdString();
                modal->close();
            }
        });
        timer_.start();
    }
    void Expect(bool expected) { expected_ = expected; }

private:
    QTimer timer_;
    bool expected_ = false;
};

class TavikWindowTest : public testing::Test {
protected:
    TavikWindowTest() : window(errors, help, shell) {}

    void ShowWindow() {
        window.ShowAtStartUp();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    template <class T> T* Find(const char* name) const {
        T* w = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    std::string TextOf(const char* name) const {
        if (auto* combo = window.findChild<QComboBox*>(QString::fromLatin1(name)))
            return combo->currentText().toStdString();
        return Find<QLineEdit>(name)->text().toStdString();
    }
    void Click(const char* name) { QTest::mouseClick(Find<QPushButton>(name), Qt::LeftButton); }
    void Replace(const char* name, const char* text) {
        QLineEdit* edit = Find<QLineEdit>(name);
        edit->setFocus(Qt::TabFocusReason);
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromUtf8(text));
    }

    ModalWatchdog watchdog;
    MemoryErrorBox errors;
    MemoryHelpDispatch help;
    MemoryShell shell;
    TavikWindow window;
};

struct ControlRow {
    const char* name;
    const char* kind;
    int x, y, width, height; // width and height -1: sized to the text
    const char* caption;
    const char* hint;
};

const ControlRow kControls[] = {
    {"Pages", "QTabWidget", 0, 0, 201, 217, "", ""},
    {"HelpBtn", "QPushButton", 159, 1, 41, 17, "Help", "ﾍﾙﾌﾟを表示します"},
    {"Label1", "QLabel", 8, 29, 157, 12, "音声                           Kbps", ""},
    {"Label2", "QLabel", 8, 53, 157, 12, "映像                           Kbps", ""},
    {"Label3", "QLabel", 8, 77, 151, 12, "ﾌｧｲﾙｻｲｽﾞ                    MB", ""},
    {"Label4", "QLabel", 8, 101, 148, 12, "時間                 分        秒", ""},
    {"Label5", "QLabel", 144, 126, 12, 12, "秒", ""},
    {"Label6", "QLabel", 8, 150, 48, 12, "分割計算", ""},
    {"Label7", "QLabel", 102, 150, 6, 12, "/", ""},
    {"Label8", "QLabel", 8, 172, 149, 12, "１話当り                        秒", ""},
    {"AudioRateBox", "QComboBox", 72, 24, 65, 20, "", "音声のﾋﾞｯﾄﾚｰﾄを設定します"},
    {"VideoRateBox", "QComboBox", 72, 48, 65, 20, "", "映像のﾋﾞｯﾄﾚｰﾄを設定します"},
    {"SizeBox", "QComboBox", 72, 72, 65, 20, "", "ﾌｧｲﾙｻｲｽﾞを設定します"},
    {"MonthEdit", "QLineEdit", 72, 96, 25, 20, "", "時間(分)を設定します"},
    {"SecEdit", "QLineEdit", 112, 96, 25, 20, "", "時間(秒)を設定します"},
    {"TotalSecEdit", "QLineEdit", 72, 120, 65, 20, "", "時間の積算秒です"},
    {"PieceEdit", "QLineEdit", 72, 144, 25, 20, "", "分子(保存時の話数)を入れます"},
    {"TotalEdit", "QLineEdit", 112, 144, 25, 20, "", "分母(録画時の話数)を入れます"},
    {"GetVideoBtn", "QPushButton", 168, 48, 17, 20, "＜", "適正な映像ﾋﾞｯﾄﾚｰﾄを算出します"},
    {"GetSizeBtn", "QPushButton", 168, 72, 17, 20, "＜", "ﾌｧｲﾙｻｲｽﾞを算出します"},
    {"GetTimeBtn", "QPushButton", 168, 96, 17, 20, "＜", "録画可能時間を算出します"},
    {"TotalSecBtn", "QPushButton", 168, 120, 17, 20, "↑", "積算秒を分・秒に分割します"},
    {"SepSecEdit", "QLineEdit", 72, 168, 65, 20, "", ""},
    {"NearRateChk", "QCheckBox", 16, 8, 105, 17, "厳密に合わせる", "ﾋﾞｯﾄﾚｰﾄを厳密に計算します"},
    {"ContainerLbl", "QLabel", 16, 37, 24, 12, "ｺﾝﾃﾅ", ""},
    {"ContainerBox", "QComboBox", 56, 32, 120, 20, "",
     "ｺﾝﾃﾅの分も含めてﾌｧｲﾙｻｲｽﾞに収まるように計算します"},
    {"IconBevel", "QFrame", 16, 8, 33, 33, "", ""},
    {"IconImage", "QLabel", 16, 8, 32, 32, "", ""},
    {"VerLbl", "QLabel", 56, 8, -1, -1, "Tavik   ver 1.2", ""},
    {"CreatorLbl", "QLabel", 56, 32, -1, -1, "Tavik 開発班", ""},
    {"MailEdit", "QLineEdit", 56, 48, 129, 17, "mailto:i@example.org", ""},
    {"URLEdit", "QLineEdit", 4, 72, 193, 17, "https://tavik.example.org/", ""},
};

QString CaptionOf(const QWidget* w) {
    if (auto* label = qobject_cast<const QLabel*>(w)) return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) return button->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(w))
        return edit->isReadOnly() ? edit->text() : "";
    return {};
}

TEST_F(TavikWindowTest, EveryControlHasItsPlaceCaptionAndHint) {
    for (const ControlRow& row : kControls) {
        SCOPED_TRACE(row.name);
        const QWidget* w = Find<QWidget>(row.name);
        ASSERT_NE(w, nullptr);
        EXPECT_STREQ(w->metaObject()->className(), row.kind);
        EXPECT_EQ(w->pos(), QPoint(row.x, row.y));
        if (row.width >= 0) {
            EXPECT_EQ(w->size(), QSize(row.width, row.height));
        }
        EXPECT_EQ(CaptionOf(w), QString::fromUtf8(row.caption));
        EXPECT_EQ(w->toolTip(), QString::fromUtf8(row.hint));
    }
}

TEST_F(TavikWindowTest, PagesAndReadOnlyFields) {
    auto* pages = Find<QTabWidget>("Pages");
    ASSERT_EQ(pages->count(), 3);
    const char* const tabs[][2] = {
        {"MainTab", "電卓"}, {"ConfigTab", "設定"}, {"AboutTab", "作者"}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(pages->widget(i)->objectName(), QString::fromLatin1(tabs[i][0]));
        EXPECT_EQ(pages->tabText(i), QString::fromUtf8(tabs[i][1]));
    }
    EXPECT_EQ(pages->currentIndex(), 0);
    EXPECT_TRUE(Find<QCheckBox>("NearRateChk")->isChecked());
    EXPECT_EQ(Find<QPushButton>("HelpBtn")->focusPolicy(), Qt::NoFocus);
    // Read-only fields show the button face, so they do not look typeable.
    const QColor face = window.palette().color(QPalette::Button);
    for (const char* name : {"SepSecEdit", "MailEdit", "URLEdit"}) {
        EXPECT_TRUE(Find<QLineEdit>(name)->isReadOnly()) << name;
        EXPECT_EQ(Find<QLineEdit>(name)->palette().color(QPalette::Base), face) << name;
    }
    EXPECT_NE(Find<QLineEdit>("MonthEdit")->palette().color(QPalette::Base), face);
    EXPECT_FALSE(Find<QLineEdit>("MailEdit")->hasFrame());
    EXPECT_FALSE(Find<QLineEdit>("URLEdit")->hasFrame());
    EXPECT_EQ(Find<QComboBox>("SizeBox")->count(), 3);
    // An input method starts in direct ASCII entry in the number fields.
    for (const char* name : {"AudioRateBox", "VideoRateBox", "SizeBox", "MonthEdit", "SecEdit",
                             "TotalSecEdit", "PieceEdit", "TotalEdit"}) {
        // What an input method asks of the field that has the focus.
        const int hints = Find<QWidget>(name)->inputMethodQuery(Qt::ImHints).toInt();
        EXPECT_EQ(hints & (Qt::ImhPreferNumbers | Qt::ImhPreferLatin),
                  Qt::ImhPreferNumbers | Qt::ImhPreferLatin)
            << name;
    }
}

TEST_F(TavikWindowTest, WindowIsFixedTopMostWithoutMaximise) {
    EXPECT_EQ(window.windowTitle(), "Tavik");
    EXPECT_EQ(window.minimumSize(), QSize(201, 217));
    EXPECT_EQ(window.maximumSize(), QSize(201, 217));
    const Qt::WindowFlags flags = window.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(window.LayoutScale(), 1.0);
    // The layout's Japanese font, stood in for by the IPA proportional Gothic.
    EXPECT_EQ(QFontInfo(window.font()).family(), "IPAPGothic");
    EXPECT_EQ(QFontInfo(window.font()).pixelSize(), 12);
    EXPECT_TRUE(Find<QLabel>("VerLbl")->text().endsWith(QStringLiteral(" " TAVIK_VERSION)));
    // The desktop entry's and the taskbar's names, and the icon in both sizes.
    EXPECT_EQ(QApplication::applicationName(), "tavik");
    // No display name of its own: Qt would append it to every window title.
    EXPECT_EQ(QApplication::applicationDisplayName(), QApplication::applicationName());
    EXPECT_EQ(QApplication::applicationVersion(), TAVIK_VERSION);
    EXPECT_EQ(QApplication::windowIcon().availableSizes(), (QList<QSize>{{16, 16}, {32, 32}}));
}

// The Qt window and the in-memory window are created from separate data;
// both must hold the same start-up texts before and after the show.
TEST_F(TavikWindowTest, StartsLikeTheInMemoryWindow) {
    MemoryWindow memory;
    const auto fields = memory.Fields();
    const auto compare = [&] {
        for (const auto& [name, field] : fields)
            EXPECT_EQ(TextOf(name.c_str()), field->Text()) << name;
    };
    compare();
    const auto itemsOf = [this](const char* name) {
        auto* combo = Find<QComboBox>(name);
        std::vector<std::string> items;
        for (int i = 0; i < combo->count(); ++i)
            items.push_back(combo->itemText(i).toStdString());
        return items;
    };
    for (const auto& [name, field] : fields) {
        if (qobject_cast<QComboBox*>(Find<QWidget>(name.c_str()))) {
            EXPECT_EQ(itemsOf(name.c_str()), field->Items()) << name;
        }
    }
    EXPECT_EQ(itemsOf("ContainerBox"), memory.ContainerBox.Items());
    EXPECT_FALSE(Find<QComboBox>("ContainerBox")->isEditable());
    ShowWindow();
    memory.Show();
    compare();
    EXPECT_EQ(TextOf("TotalSecEdit"), "1800");
    EXPECT_TRUE(errors.shown.empty());
}

TEST_F(TavikWindowTest, ShowCentresAndFocusesTheTabRow) {
    ShowWindow();
    EXPECT_TRUE(window.isVisible());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QSize outer = window.frameGeometry().size();
    EXPECT_EQ(window.frameGeometry().topLeft(),
              QPoint(std::max(0, (screen.width() - outer.width()) / 2),
                     std::max(0, (screen.height() - outer.height()) / 2)));
    EXPECT_EQ(QApplication::focusWidget(), Find<QTabWidget>("Pages")->tabBar());
}

TEST_F(TavikWindowTest, TypingMinutesRunsTheCascade) {
    ShowWindow();
    Replace("TotalEdit", "4");
    EXPECT_EQ(TextOf("SepSecEdit"), "450");
    Replace("MonthEdit", "45");
    EXPECT_EQ(TextOf("MonthEdit"), "45");
    EXPECT_EQ(TextOf("TotalEdit"), "1");
    EXPECT_EQ(TextOf("TotalSecEdit"), "2700");
    EXPECT_EQ(TextOf("SepSecEdit"), "2700");
    Replace("SecEdit", "x");
    EXPECT_EQ(TextOf("SecEdit"), "0");
}

TEST_F(TavikWindowTest, ButtonsGiveTheResults) {
    ShowWindow();
    Click("GetVideoBtn");
    EXPECT_EQ(TextOf("VideoRateBox"), "2768");
    Find<QCheckBox>("NearRateChk")->setChecked(false);
    Click("GetVideoBtn");
    EXPECT_EQ(TextOf("VideoRateBox"), "2722");
    Find<QComboBox>("VideoRateBox")->setCurrentIndex(0); // the drop-down item "1150"
    Click("GetTimeBtn");
    EXPECT_EQ(TextOf("MonthEdit"), "65");
    EXPECT_EQ(TextOf("SecEdit"), "9");
    EXPECT_EQ(TextOf("TotalSecEdit"), "3909");
    Replace("TotalSecEdit", "1800");
    Click("TotalSecBtn");
    EXPECT_EQ(TextOf("MonthEdit"), "30");
    EXPECT_EQ(TextOf("SecEdit"), "0");
    Click("GetSizeBtn");
    EXPECT_EQ(TextOf("SizeBox"), "295");
    EXPECT_TRUE(errors.shown.empty());
}

// A number too long for its field shows its start; where the user types,
// the cursor stays after the digits until the focus leaves the field, not
// when another program's window only comes to the front for a while.
TEST_F(TavikWindowTest, ANumberTooLongForItsFieldShowsItsStart) {
    ShowWindow();
    Replace("TotalSecEdit", "2147483647");
    Click("TotalSecBtn"); // writes 35791394 minutes
    EXPECT_EQ(Find<QLineEdit>("MonthEdit")->cursorPosition(), 0);
    auto* total = Find<QLineEdit>("TotalEdit");
    Replace("TotalEdit", "1234567890");
    QApplication::setActiveWindow(nullptr);
    EXPECT_EQ(total->cursorPosition(), 10);
    QApplication::setActiveWindow(&window);
    QTest::keyClick(total, Qt::Key_Tab);
    EXPECT_EQ(total->cursorPosition(), 0);
}

// The drop-down items stay as they are, and typing is not completed from them.
TEST_F(TavikWindowTest, ComboBoxesTakeTypedTextAsItIs) {
    ShowWindow();
    auto* size = Find<QComboBox>("SizeBox");
    size->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(size, "6");
    EXPECT_EQ(TextOf("SizeBox"), "6");
    QTest::keyClick(size, Qt::Key_Return);
    EXPECT_EQ(size->count(), 3);
    size->setCurrentIndex(2);
    EXPECT_EQ(TextOf("SizeBox"), "2375");
}

TEST_F(TavikWindowTest, HintsShowForHintedControlsOnly) {
    ShowWindow();
    EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 500);
    auto* month = Find<QLineEdit>("MonthEdit");
    QHelpEvent hint(QEvent::ToolTip, QPoint(2, 2), month->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(month, &hint);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QString::fromUtf8("時間(分)を設定します"));
    // Hidden after 2.5 s; Qt on its own would keep it for 10 s.
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 5000));
    QToolTip::hideText();
}

TEST_F(TavikWindowTest, ZeroDenominatorShowsOneErrorAndKeepsTheSize) {
    ShowWindow();
    Replace("TotalEdit", "0");
    Click("GetSizeBtn");
    ASSERT_EQ(errors.shown.size(), 1u);
    EXPECT_EQ(errors.shown[0].text, "ゼロによる除算.");
    EXPECT_EQ(errors.shown[0].caption, "Tavik");
    EXPECT_EQ(TextOf("SizeBox"), "650");
    Replace("TotalEdit", "1");
    Click("GetSizeBtn");
    EXPECT_EQ(TextOf("SizeBox"), "295");
}

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

std::vector<QString> TabChain(int steps) {
    std::vector<QString> names;
    for (int i = 0; i < steps; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        // A combo box's edit part takes the focus for its combo box.
        if (focus && focus->parentWidget() && qobject_cast<QComboBox*>(focus->parentWidget()))
            focus = focus->parentWidget();
        names.push_back(focus ? focus->objectName() : QString());
    }
    return names;
}

TEST_F(TavikWindowTest, TabFollowsTheTabOrderAndSkipsHelp) {
    ShowWindow();
    const std::vector<QString> expected = {
        "AudioRateBox", "VideoRateBox", "SizeBox",    "MonthEdit",          "SecEdit",
        "TotalSecEdit", "PieceEdit",    "TotalEdit",  "GetVideoBtn",        "GetSizeBtn",
        "GetTimeBtn",   "TotalSecBtn",  "SepSecEdit", "qt_tabwidget_tabbar"};
    EXPECT_EQ(TabChain(static_cast<int>(expected.size())), expected);
}

TEST_F(TavikWindowTest, TabIntoAFieldSelectsItsTextAndAClickDoesNot) {
    ShowWindow();
    auto* month = Find<QLineEdit>("MonthEdit");
    Find<QComboBox>("SizeBox")->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), month);
    EXPECT_EQ(month->selectedText(), "30");
    auto* sec = Find<QLineEdit>("SecEdit");
    QTest::mouseClick(sec, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), sec);
    EXPECT_FALSE(sec->hasSelectedText());
}

TEST_F(TavikWindowTest, CtrlTabCyclesThePagesBothWays) {
    ShowWindow();
    auto* pages = Find<QTabWidget>("Pages");
    const auto press = [&](Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
        return pages->currentIndex();
    };
    EXPECT_EQ(press(Qt::ControlModifier), 1);
    EXPECT_EQ(press(Qt::ControlModifier), 2);
    EXPECT_EQ(press(Qt::ControlModifier), 0);
    EXPECT_EQ(press(Qt::ControlModifier | Qt::ShiftModifier), 2);
    EXPECT_EQ(press(Qt::ControlModifier | Qt::ShiftModifier), 1);
}

TEST_F(TavikWindowTest, HelpButtonAsksForContentsAndF1DoesNothing) {
    ShowWindow();
    QTest::keyClick(&window, Qt::Key_F1);
    EXPECT_TRUE(help.commands.empty());
    Click("HelpBtn");
    EXPECT_EQ(help.commands, (std::vector<std::pair<unsigned, unsigned long>>{{3, 0}}));
}

TEST_F(TavikWindowTest, DoubleClickPassesTheWholeAddress) {
    ShowWindow();
    Find<QTabWidget>("Pages")->setCurrentIndex(2);
    auto* url = Find<QLineEdit>("URLEdit");
    url->setSelection(0, 5);
    QTest::mouseDClick(url, Qt::LeftButton);
    QTest::mouseDClick(Find<QLineEdit>("MailEdit"), Qt::LeftButton);
    EXPECT_EQ(shell.opened,
              (std::vector<std::string>{"https://tavik.example.org/", "mailto:i@example.org"}));
    // The designed icon on a light window.
    EXPECT_EQ(Find<QLabel>("IconImage")->pixmap().toImage(),
              QApplication::windowIcon().pixmap(32, 32).toImage());
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

// A screen reader announces what each field, button and the check box is.
TEST_F(TavikWindowTest, EveryControlHasAnAccessibleName) {
    for (const ControlRow& row : kControls) {
        const QWidget* w = Find<QWidget>(row.name);
        const bool needsName = qobject_cast<const QLineEdit*>(w) ||
                               qobject_cast<const QComboBox*>(w) ||
                               qobject_cast<const QAbstractButton*>(w);
        if (needsName) {
            EXPECT_FALSE(w->accessibleName().isEmpty()) << row.name;
        }
        // Speech input says what it sees: a worded caption is part of the name.
        const QString caption = QString::fromUtf8(row.caption);
        if (qobject_cast<const QAbstractButton*>(w) && caption.size() > 1) {
            EXPECT_TRUE(w->accessibleName().contains(caption)) << row.name;
        }
    }
    EXPECT_EQ(Find<QComboBox>("AudioRateBox")->accessibleName(),
              QString::fromUtf8("音声のﾋﾞｯﾄﾚｰﾄ (Kbps)"));
}

TEST_F(TavikWindowTest, HelpWindowUsesTheWindowsFamily) {
    ShowWindow();
    QtHelpDispatch dispatch(QStringLiteral("/nonexistent/tavik/Tavik.hlp"));
    dispatch.RunHelpCommand(HelpDispatch::kContents, 0);
    ASSERT_NE(dispatch.Viewer(), nullptr);
    EXPECT_EQ(QFontInfo(dispatch.Viewer()->font()).family(), QFontInfo(window.font()).family());
}

// The user's choice is written as it changes and read back, into the sums,
// by the next run; a settings file that is corrupt or names no known
// container reads as none.
TEST(RememberedContainer, ChoiceIsReadBackAndAFaultyFileReadsAsNone) {
    struct Folder {
        QString path = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
        ~Folder() { QDir(path).removeRecursively(); }
    } folder;
    const auto run = [](int choice) {
        MemoryErrorBox errors;
        MemoryHelpDispatch help;
        MemoryShell shell;
        TavikWindow window(errors, help, shell);
        auto* box = window.findChild<QComboBox*>(QStringLiteral("ContainerBox"));
        window.findChild<QPushButton*>(QStringLiteral("GetSizeBtn"))->click();
        const std::pair remembered(box->currentIndex(),
                                   window.findChild<QComboBox*>("SizeBox")->currentText());
        if (choice >= 0) box->setCurrentIndex(choice);
        return remembered;
    };
    const std::pair none(0, QStringLiteral("295"));
    EXPECT_EQ(run(-1), none);
    EXPECT_FALSE(QFileInfo::exists(folder.path)); // read, never written
    EXPECT_EQ(run(2), none);
    EXPECT_EQ(run(-1), std::pair(2, QString::fromStdString(
                                        IntToStr(FittedSizeMB(Container::M2ts, 192, 1150, 1800)))));
    for (const char* text : {"container=avi\n", "\xff\xfe garbage\ncontainer=ts\n"}) {
        QFile file(folder.path + QStringLiteral("/tavik.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
        file.close();
        EXPECT_EQ(run(-1), none) << text;
    }
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
    EXPECT_EQ(qAlpha(shown.pixel(16, 1)), 0);               // two pixels off the shape
}

// One row per font set-up. CTest runs each in a process of its own, with
// FONTCONFIG_FILE naming a folder that holds only the row's fonts and
// TAVIK_FONT_ROW naming the row; without it, the machine's own fonts.
struct FontRow {
    const char* name;
    const char* family; // what the layout family resolves to
    double scale;
    const char* missing; // what the stderr line says no font draws
};

const FontRow kFontRows[] = {
    {"", "IPAPGothic", 1.0, ""},
    {"vlgothic", "VL Gothic", 11.0 / 12, ""},              // fixed-width, lines of 12.0 px
    {"droid", "DejaVu Sans", 15.0 / 12, ""},               // Japanese from a tall fallback, 15.7 px
    {"dejavu", "DejaVu Sans", 13.0 / 12, "Japanese text"}, // Latin only: boxes
    {"droidonly", "Droid Sans Fallback", 15.0 / 12, "digits and Latin letters, nor the arrow ↑"},
    {"noto", "Noto Sans CJK JP", 16.0 / 12, ""},
};

// A number of the widest width each number field is designed for.
const std::pair<const char*, const char*> kWidestNumbers[] = {
    {"AudioRateBox", "123456"}, {"VideoRateBox", "654321"}, {"SizeBox", "888888"},
    {"MonthEdit", "449"},       {"SecEdit", "59"},          {"TotalSecEdit", "1234567"},
    {"PieceEdit", "120"},       {"TotalEdit", "999"},       {"SepSecEdit", "1234567"},
};

// Whether the field shows all of the text, with the cursor after it as after
// typing: Qt's view starts where it starts a single digit, the text leaves
// the frame's outline as it is, and a combo box's edit part lies inside its
// frame, left of its button.
void ExpectShowsWhole(QWidget* field, const QString& text) {
    auto* box = qobject_cast<QComboBox*>(field);
    QLineEdit* edit = box ? box->lineEdit() : static_cast<QLineEdit*>(field);
    const auto show = [edit](const QString& shown) {
        edit->setText(shown);
        const QImage image = edit->grab().toImage(); // painting scrolls the view
        edit->setCursorPosition(0);
        return std::pair(edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().x(), image);
    };
    const auto [unscrolled, plain] = show(QStringLiteral("0"));
    const auto [start, image] = show(text);
    EXPECT_EQ(start, unscrolled) << "scrolled";
    for (const int x : {0, image.width() - 1})
        for (int y = 0; y < image.height() && edit->hasFrame(); ++y)
            ASSERT_EQ(image.pixel(x, y), plain.pixel(x, y)) << "ink on the frame, column " << x;
    if (box) {
        QStyleOptionComboBox option;
        option.initFrom(box);
        option.editable = true;
        const QRect button = box->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                          QStyle::SC_ComboBoxArrow, box);
        EXPECT_TRUE(button.isValid());
        EXPECT_GE(edit->x(), 1);
        EXPECT_LT(edit->geometry().right(), button.left());
    }
}

// The captions with blank runs, their designed widths and the fields that lie
// over those runs, left to right; Label5 (no blanks, width 0: not spread)
// stands right of its field.
struct CaptionRow {
    const char* label;
    int width;
    std::vector<const char*> fields;
};

const CaptionRow kCaptionRows[] = {
    {"Label1", 157, {"AudioRateBox"}}, {"Label2", 157, {"VideoRateBox"}},
    {"Label3", 151, {"SizeBox"}},      {"Label4", 148, {"MonthEdit", "SecEdit"}},
    {"Label5", 0, {"TotalSecEdit"}},   {"Label8", 149, {"SepSecEdit"}},
};

// The device pixel columns of a label, rendered at the window's ratio, that
// carry ink.
std::vector<bool> InkColumns(QLabel* label, qreal ratio) {
    QImage image(label->size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    label->render(&image);
    std::vector<bool> ink(image.width(), false);
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (qGray(image.pixel(x, y)) < 160) ink[x] = true;
    return ink;
}

TEST(FontRows, TheLayoutHoldsTheFontsText) {
    const std::string rowName = qEnvironmentVariable("TAVIK_FONT_ROW").toStdString();
    const auto* row = std::find_if(std::begin(kFontRows), std::end(kFontRows),
                                   [&](const FontRow& r) { return rowName == r.name; });
    ASSERT_NE(row, std::end(kFontRows)) << rowName;
    ModalWatchdog watchdog;
    MemoryErrorBox errors;
    MemoryHelpDispatch help;
    MemoryShell shell;
    TavikWindow window(errors, help, shell);
    ASSERT_EQ(QFontInfo(window.font()).family(), QString::fromLatin1(row->family));
    const double scale = row->scale;
    EXPECT_EQ(window.LayoutScale(), scale);
    std::ostringstream err;
    WarnOfMissingText(window, err);
    EXPECT_EQ(err.str(), *row->missing
                             ? std::string("tavik: no installed font draws ") + row->missing +
                                   "; install the Debian package fonts-ipafont-gothic\n"
                             : std::string());

    window.ShowAtStartUp();
    // The captions are measured when first painted.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QApplication::processEvents();
    EXPECT_EQ(window.width(), qRound(201 * scale));
    EXPECT_GE(window.height(), qRound(217 * scale));
    // Nothing lies outside the client area, nor outside its page.
    auto* pages = window.findChild<QTabWidget*>(QStringLiteral("Pages"));
    auto* helpBtn = window.findChild<QWidget*>(QStringLiteral("HelpBtn"));
    EXPECT_TRUE(window.rect().contains(pages->geometry()));
    EXPECT_TRUE(window.rect().contains(helpBtn->geometry()));
    EXPECT_LT(helpBtn->geometry().right(), window.width() - 1); // a pixel clear of the edge
    // Every tab shows whole, left of the Help button, with no scroll arrows.
    const QTabBar* tabs = pages->tabBar();
    for (int i = 0; i < tabs->count(); ++i) {
        EXPECT_GT(tabs->tabRect(i).width(),
                  QFontMetricsF(tabs->font()).horizontalAdvance(tabs->tabText(i)))
            << i;
        EXPECT_LT(tabs->tabRect(i).right(), tabs->width()) << i;
        EXPECT_LT(tabs->mapTo(&window, tabs->tabRect(i).topRight()).x(), helpBtn->x()) << i;
    }
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i); // only the page shown is laid out
        QWidget* page = pages->widget(i);
        EXPECT_TRUE(window.rect().contains(QRect(page->mapTo(&window, QPoint()), page->size())));
        int lowest = 0;
        for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            EXPECT_TRUE(page->rect().contains(child->geometry()))
                << child->objectName().toStdString();
            lowest = std::max(lowest, child->geometry().bottom() + 1);
        }
        // The last row keeps the designed 2 pixels above the page's frame.
        EXPECT_GE(page->height() - lowest, 2) << page->objectName().toStdString();
    }

    // The container's caption shows whole, clear of its list, and so does
    // every item of the list, which the style draws a pixel inside its room.
    auto* lbl = window.findChild<QLabel*>(QStringLiteral("ContainerLbl"));
    auto* list = window.findChild<QComboBox*>(QStringLiteral("ContainerBox"));
    EXPECT_LE(QFontMetricsF(lbl->font()).horizontalAdvance(lbl->text()), lbl->width());
    EXPECT_LT(lbl->geometry().right(), list->x());
    QStyleOptionComboBox option;
    option.initFrom(list);
    const QRect text = list->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                     QStyle::SC_ComboBoxEditField, list);
    for (int i = 0; i < list->count(); ++i)
        EXPECT_LE(QFontMetricsF(list->font()).horizontalAdvance(list->itemText(i)),
                  text.width() - 2)
            << i;

    // The help window fits the screen.
    QtHelpDispatch dispatch(QStringLiteral("/nonexistent/tavik/Tavik.hlp"));
    dispatch.RunHelpCommand(HelpDispatch::kContents, 0);
    const QSize room = QGuiApplication::primaryScreen()->availableGeometry().size();
    EXPECT_EQ(dispatch.Viewer()->size().boundedTo(room), dispatch.Viewer()->size());
    // Where no font draws the digits, boxes stand in for them and for the
    // Latin text: their widths tell nothing of the layout.
    if (window.MissingText().contains(QStringLiteral("digits and Latin letters"))) return;

    // Each caption's ink reaches the end of its designed width, and no ink
    // lies under a field nor in the two pixels right of it; above one device
    // pixel per pixel a field's frame spills up to a device pixel past the
    // field, so one pixel more.
    const qreal ratio = window.devicePixelRatioF();
    const int clearance = ratio > 1 ? 3 : 2;
    for (const CaptionRow& caption : kCaptionRows) {
        SCOPED_TRACE(caption.label);
        auto* label = window.findChild<QLabel*>(QString::fromLatin1(caption.label));
        const std::vector<bool> ink = InkColumns(label, ratio);
        const auto last = std::find(ink.rbegin(), ink.rend(), true);
        ASSERT_NE(last, ink.rend());
        if (caption.width > 0) {
            EXPECT_GE((ink.rend() - last) / ratio, caption.width * scale - 3);
        }
        for (const char* name : caption.fields) {
            const QRect field = window.findChild<QWidget*>(QString::fromLatin1(name))->geometry();
            const int from = std::max(0, int((field.x() - label->x()) * ratio));
            const int to = int((field.right() + clearance - label->x()) * ratio);
            for (int x = from; x < to && x < int(ink.size()); ++x)
                EXPECT_FALSE(ink[x]) << name << " column " << x;
        }
    }
    // The number fields show their widest numbers whole, and take no composed
    // text from an input method.
    for (const auto& [name, number] : kWidestNumbers) {
        SCOPED_TRACE(name);
        QWidget* field = window.findChild<QWidget*>(QString::fromLatin1(name));
        ExpectShowsWhole(field, QString::fromLatin1(number));
        QInputMethodQueryEvent query(Qt::ImEnabled); // as an input method asks the focus
        QApplication::sendEvent(field, &query);
        EXPECT_FALSE(query.value(Qt::ImEnabled).toBool());
    }
    // The address fields show all of their text.
    for (const char* name : {"MailEdit", "URLEdit"}) {
        auto* edit = window.findChild<QLineEdit*>(QString::fromLatin1(name));
        // A frameless line edit keeps 2 pixels of margin on each side.
        EXPECT_LE(QFontMetricsF(edit->font()).horizontalAdvance(edit->text()), edit->width() - 4)
            << name;
    }
}

// Every text a user reads: captions, hints, accessible names and
// descriptions, tab captions and list items, with the widget they belong to.
std::vector<std::pair<QString, QString>> ReadableTexts(QWidget& window) {
    std::vector<std::pair<QString, QString>> texts;
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets.prepend(&window);
    for (QWidget* w : widgets) {
        const QString name = w->objectName();
        for (const QString& text : {w->toolTip(), w->accessibleName(), w->accessibleDescription(),
                                    w->windowTitle(), w->property("text").toString()})
            texts.emplace_back(name, text);
        if (auto* tabs = qobject_cast<QTabWidget*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                texts.emplace_back(name, tabs->tabText(i));
        if (auto* box = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < box->count(); ++i)
                texts.emplace_back(name, box->itemText(i));
    }
    return texts;
}

// Kana, kanji and half-width katakana; the buttons' "＜" is a sign of the
// design in every language.
bool HasJapanese(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 0x3000 && u <= 0x30ff) || (u >= 0x4e00 && u <= 0x9fff) ||
               (u >= 0xff61 && u <= 0xff9f);
    });
}

// The row's language throughout: in English no Japanese character anywhere
// and English messages; otherwise the designed Japanese.
TEST(FontRows, EveryTextIsInTheRowsLanguage) {
    const bool english = InstalledLanguage() == Language::English;
    EXPECT_EQ(english, qEnvironmentVariable("LANGUAGE") == QLatin1String("en"));
    ModalWatchdog watchdog;
    MemoryErrorBox errors;
    MemoryHelpDispatch help;
    MemoryShell shell;
    TavikWindow window(errors, help, shell);
    window.ShowAtStartUp();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    int japanese = 0;
    for (const auto& [name, text] : ReadableTexts(window)) {
        japanese += HasJapanese(text);
        if (english) {
            EXPECT_FALSE(HasJapanese(text)) << name.toStdString() << ": " << text.toStdString();
        }
    }
    auto* pages = window.findChild<QTabWidget*>(QStringLiteral("Pages"));
    auto* label4 = window.findChild<QLabel*>(QStringLiteral("Label4"));
    if (english) {
        EXPECT_EQ(pages->tabText(0), QStringLiteral("Calc"));
        // The same two runs of blanks as the designed caption.
        EXPECT_EQ(label4->text().split(QLatin1Char(' '), Qt::SkipEmptyParts).size(), 3);
    } else {
        EXPECT_GT(japanese, 40);
        EXPECT_EQ(pages->tabText(0), QString::fromUtf8("電卓"));
        EXPECT_EQ(label4->text(), QString::fromUtf8("時間                 分        秒"));
    }

    // The error box through the window, the calculator's messages by kind
    // and a recording's message.
    window.findChild<QLineEdit*>(QStringLiteral("TotalEdit"))->setText(QStringLiteral("0"));
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("GetSizeBtn")), Qt::LeftButton);
    ASSERT_EQ(errors.shown.size(), 1u);
    EXPECT_EQ(errors.shown[0].text, english ? "Division by zero." : "ゼロによる除算.");
    using Kind = CalcError::Kind;
    const struct {
        Kind kind;
        const char* english;
    } messages[] = {
        {Kind::IntDivideByZero, "Division by zero"},
        {Kind::FloatDivideByZero, "Floating-point division by zero"},
        {Kind::InvalidFloatOperation, "Invalid floating-point operation"},
        {Kind::SizeTooSmall, "This file size cannot hold even the audio"},
    };
    for (const auto& m : messages) {
        const CalcError error(m.kind);
        EXPECT_EQ(ErrorMessage(error), english ? m.english : error.what());
    }
    EXPECT_EQ(ErrorMessage(std::runtime_error("as made")), "as made");
    EXPECT_EQ(NotAReadableFile("/rec/a%2.ts"),
              english ? QStringLiteral("\"a%2.ts\" is not a readable file")
                      : QString::fromUtf8("「a%2.ts」は読み取れるファイルではありません"));
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

#include "TavikWindowTest.moc"
