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
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QInputMethodQueryEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace tavik {
namespace {

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

    // The settings' captions show whole, clear of their lists, and so does
    // every item of a list, which the style draws a pixel inside its room.
    for (const char* name : {"Container", "Fps"}) {
        SCOPED_TRACE(name);
        auto* lbl = window.findChild<QLabel*>(QString::fromLatin1(name) + "Lbl");
        auto* list = window.findChild<QComboBox*>(QString::fromLatin1(name) + "Box");
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
    }

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
                      : QString::fromUtf8("「a%2.ts」は読み取れるファイルではありません。"));
}

} // namespace
} // namespace tavik
