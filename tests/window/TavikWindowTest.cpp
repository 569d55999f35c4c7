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

#include "WindowTest.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QFrame>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tavik {
namespace {

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
    {"FpsLbl", "QLabel", 16, 61, 24, 12, "fps", ""},
    {"FpsBox", "QComboBox", 56, 56, 120, 20, "", "映像のﾌﾚｰﾑﾚｰﾄでｺﾝﾃﾅの分を計算します"},
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
    const auto itemsOf = [this](const char* name, int role = Qt::DisplayRole) {
        auto* combo = Find<QComboBox>(name);
        std::vector<std::string> items;
        for (int i = 0; i < combo->count(); ++i)
            items.push_back(combo->itemData(i, role).toString().toStdString());
        return items;
    };
    for (const auto& [name, field] : fields) {
        if (qobject_cast<QComboBox*>(Find<QWidget>(name.c_str()))) {
            EXPECT_EQ(itemsOf(name.c_str()), field->Items()) << name;
        }
    }
    // The settings page's lists hold, as their items' data, the keys the logic reads.
    EXPECT_EQ(itemsOf("ContainerBox", Qt::UserRole), memory.ContainerBox.Items());
    EXPECT_EQ(itemsOf("FpsBox", Qt::UserRole), memory.FpsBox.Items());
    EXPECT_EQ(itemsOf("FpsBox").front(), "60 まで"); // the default
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

} // namespace
} // namespace tavik
