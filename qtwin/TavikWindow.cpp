// SPDX-License-Identifier: GPL-3.0-or-later
#include "TavikWindow.h"

#include "CaptionSpreader.h"
#include "ErrorMessages.h"
#include "NumberFields.h"
#include "QtControls.h"
#include "QtHelpViewer.h"
#include "RecordingDrop.h"
#include "SettingsPage.h"
#include "WindowFont.h"
#include "ui_TavikSrc.h"
#include "winsys/AppTitle.h"
#include "x11/WindowManager.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <QtMath>

#include <algorithm>

namespace tavik {

namespace {

constexpr int kClientWidth = 201;
constexpr int kClientHeight = 217;
// Room kept between the lowest control of a page and the page's bottom edge.
constexpr int kPageBottomMargin = 2;

// The area a page of the page control takes, worked out before it is shown
// and lays out its pages.
QRect PageArea(const QTabWidget* pages) {
    QStyleOptionTabWidgetFrame option;
    option.initFrom(pages);
    option.rect = QRect(QPoint(), pages->size());
    option.shape = pages->tabBar()->shape();
    option.tabBarSize = pages->tabBar()->sizeHint();
    option.lineWidth = pages->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, pages);
    return pages->style()->subElementRect(QStyle::SE_TabWidgetTabContents, &option, pages);
}

// The icon with a halo of the given colour, one device pixel wide, around
// its shape.
QPixmap WithHalo(const QPixmap& icon, const QColor& halo) {
    const QImage shape = icon.toImage().convertToFormat(QImage::Format_ARGB32);
    QImage image(shape.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const auto opaque = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < shape.width() && y < shape.height() &&
               qAlpha(shape.pixel(x, y)) > 0;
    };
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (opaque(x + dx, y + dy)) image.setPixelColor(x, y, halo);
    QPainter(&image).drawImage(0, 0, shape);
    QPixmap result = QPixmap::fromImage(image);
    result.setDevicePixelRatio(icon.devicePixelRatio());
    return result;
}

} // namespace

// The controls the logic works through, each made from its widget of the
// form by the one list of controls.
struct TavikWindow::Controls {
#define TAVIK_QT_CONTROL(Kind, Name) Qt##Kind Name;
    TAVIK_CONTROLS(TAVIK_QT_CONTROL)
#undef TAVIK_QT_CONTROL
};

TavikWindow::TavikWindow(ErrorBox& errorBox, HelpDispatch& help, Shell& shell)
    : ui_(std::make_unique<Ui::TavikFrm>()), delivery_(errorBox, kApplicationTitle, &ErrorMessage) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    const WindowFont font = ChooseWindowFont();
    setFont(font.font);
    scale_ = font.scale;
    missing_ = font.missing;
    ui_->setupUi(this);
    setProperty(QtHelpDispatch::kHelpFileProperty, QString::fromLatin1(TTavikFrm::HelpFile));
    ui_->HelpBtn->raise();
    // A field holds exactly what was typed: no completion from the items.
    for (QComboBox* box : {ui_->AudioRateBox, ui_->VideoRateBox, ui_->SizeBox})
        box->setCompleter(nullptr);

    FillSettingsLists(*ui_);
    ApplyColours();
    ApplyScale();
    SetUpNumberFields(*this, {{ui_->AudioRateBox, 6},
                              {ui_->VideoRateBox, 6},
                              {ui_->SizeBox, 6},
                              {ui_->MonthEdit, 3},
                              {ui_->SecEdit, 2},
                              {ui_->TotalSecEdit, 7},
                              {ui_->PieceEdit, 3},
                              {ui_->TotalEdit, 3},
                              {ui_->SepSecEdit, 7}});
    SpreadCaptions(*ui_->MainTab);
    FitAuthorPage();

    // The author page's picture is loaded the first time that page is shown.
    connect(ui_->Pages, &QTabWidget::currentChanged, this, [this](int index) {
        if (ui_->Pages->widget(index) == ui_->AboutTab) LoadAboutIcon();
    });

    RestoreSettings(*ui_);

    // Connected only now, so the start-up texts ran no change handler.
#define TAVIK_MAKE_QT_CONTROL(Kind, Name) Qt##Kind(ui_->Name, delivery_),
#define TAVIK_CONTROL_OPERATION(Kind, Name) controls_->Name,
    controls_.reset(new Controls{TAVIK_CONTROLS(TAVIK_MAKE_QT_CONTROL)});
    frm_ = std::make_unique<TTavikFrm>(TavikControls{TAVIK_CONTROLS(TAVIK_CONTROL_OPERATION)}, help,
                                       shell);
#undef TAVIK_MAKE_QT_CONTROL
#undef TAVIK_CONTROL_OPERATION
    new RecordingDrop(*this, *frm_, delivery_); // owned by the window
}

TavikWindow::~TavikWindow() = default;

// Scales the layout by the measured height and grows the client area where
// the font's tab row leaves a page too short for its lowest control.
void TavikWindow::ApplyScale() {
    // Edges are scaled, not sizes, so that a pixel the design keeps between
    // two edges does not round away.
    const auto scaled = [this](QWidget* w) {
        const QRect g = w->geometry();
        const QPoint topLeft(qRound(g.x() * scale_), qRound(g.y() * scale_));
        const QPoint end(qRound((g.x() + g.width()) * scale_),
                         qRound((g.y() + g.height()) * scale_));
        w->setGeometry(QRect(topLeft, end - QPoint(1, 1)));
    };
    // At 1 the tab row is the designed one to within a pixel, which the
    // page's bottom margin takes up, and every caption fits its size.
    if (scale_ == 1.0) {
        setFixedSize(kClientWidth, kClientHeight);
        return;
    }
    scaled(ui_->Pages);
    scaled(ui_->HelpBtn);
    // A caption without blank runs, and a drop-down list's longest item,
    // keep room for their text where the layout shrinks; the text itself
    // keeps its size.
    const auto fitted = [](QWidget* w) {
        const QFontMetricsF metrics(w->font());
        int needed = 0;
        if (auto* label = qobject_cast<QLabel*>(w); label && !label->text().contains(' '))
            needed = qCeil(metrics.horizontalAdvance(label->text()));
        if (auto* box = qobject_cast<QComboBox*>(w); box && !box->isEditable()) {
            qreal widest = 0;
            for (int i = 0; i < box->count(); ++i)
                widest = std::max(widest, metrics.horizontalAdvance(box->itemText(i)));
            // The style draws the item a pixel inside the text room on each side.
            needed = box->width() - TextRoom(box) + qCeil(widest) + 2;
        }
        if (auto* box = qobject_cast<QCheckBox*>(w))
            needed = box->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box) +
                     box->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box) +
                     qCeil(metrics.horizontalAdvance(box->text()));
        if (needed > w->width()) w->resize(needed, w->height());
    };
    int lowest = 0;
    for (QWidget* page : {ui_->MainTab, ui_->ConfigTab, ui_->AboutTab})
        for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            scaled(child);
            fitted(child);
            lowest = std::max(lowest, child->geometry().bottom() + 1);
        }

    QTabWidget* pages = ui_->Pages;
    const int extra =
        std::max(0, lowest + qRound(kPageBottomMargin * scale_) - PageArea(pages).height());
    pages->resize(pages->width(), pages->height() + extra);
    setFixedSize(qRound(kClientWidth * scale_), qRound(kClientHeight * scale_) + extra);
}

// The labels carrying this program's own names size to their text, and the
// address fields widen to theirs, within the page.
void TavikWindow::FitAuthorPage() {
    ui_->VerLbl->adjustSize();
    ui_->CreatorLbl->adjustSize();
    for (QLineEdit* edit : {ui_->MailEdit, ui_->URLEdit}) {
        // A frameless line edit keeps 2 pixels of margin on each side.
        const int needed = qCeil(QFontMetricsF(edit->font()).horizontalAdvance(edit->text())) + 4;
        if (needed > edit->width() || scale_ != 1.0) {
            const int room = PageArea(ui_->Pages).width() - edit->x();
            edit->resize(std::min(std::max(edit->width(), needed), room), edit->height());
        }
        // Should an address still be wider than its field, its beginning shows.
        edit->setCursorPosition(0);
    }
}

// The window and the read-only fields are painted in the button colour, so
// their text takes the button-text colour: a scheme may pair a light button
// colour with light window text.
void TavikWindow::ApplyColours() {
    constexpr QPalette::ColorGroup kGroups[] = {QPalette::Active, QPalette::Inactive,
                                                QPalette::Disabled};
    QPalette window = palette();
    const QColor buttonFace = window.color(QPalette::Button);
    window.setColor(QPalette::Window, buttonFace);
    for (QPalette::ColorGroup group : kGroups)
        window.setColor(group, QPalette::WindowText, window.color(group, QPalette::ButtonText));
    setPalette(window);
    setAutoFillBackground(true);
    for (QLineEdit* edit : {ui_->SepSecEdit, ui_->MailEdit, ui_->URLEdit}) {
        QPalette p = edit->palette();
        p.setColor(QPalette::Base, buttonFace);
        for (QPalette::ColorGroup group : kGroups)
            p.setColor(group, QPalette::Text, p.color(group, QPalette::ButtonText));
        edit->setPalette(p);
    }
}

// The icon's navy and black are drawn for a light window; on a dark one they
// get a halo in the colour of the text there.
void TavikWindow::LoadAboutIcon() {
    QLabel* image = ui_->IconImage;
    if (!image->pixmap().isNull()) return;
    const QPixmap icon = QApplication::windowIcon().pixmap(32, 32);
    const QPalette& palette = image->palette();
    if (qGray(palette.color(QPalette::Window).rgb()) >= 128) {
        image->setPixmap(icon);
    } else {
        image->setPixmap(WithHalo(icon, palette.color(QPalette::WindowText)));
    }
}

// The frame is the window manager's answer where it gave one, else what Qt
// knows of it; on X before mapping that is nothing, so the outer window is
// the client area then. Returns the frame the window was placed for.
QMargins TavikWindow::CentreOnPrimaryScreen(const std::optional<QMargins>& askedFrame) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {};
    const QRect area = screen->geometry();
    const QRect client = geometry();
    const QRect known = frameGeometry();
    const QMargins frame = askedFrame.value_or(
        QMargins(client.left() - known.left(), client.top() - known.top(),
                 known.right() - client.right(), known.bottom() - client.bottom()));
    const QSize outer = size().grownBy(frame);
    const QPoint outerTopLeft(area.x() + std::max(0, (area.width() - outer.width()) / 2),
                              area.y() + std::max(0, (area.height() - outer.height()) / 2));
    // Placed by its client area: Qt asks X for static gravity, so the window
    // manager builds the frame around the client where it is.
    setGeometry(QRect(outerTopLeft + QPoint(frame.left(), frame.top()), size()));
    return frame;
}

void TavikWindow::ShowAtStartUp() {
    SetTopMost(*this, true); // before the window exists: on X the manager is told once mapped
    winId();                 // the window and the controls of the first page exist before FormShow
    FrameExtentsRequest frame(*windowHandle()); // answered while FormShow runs
    delivery_.Deliver([this] { frm_->FormShow(); });
    const QMargins placedFor = CentreOnPrimaryScreen(frame.Answer());
    CorrectPlacementOnce(*this, placedFor,
                         [this](const QMargins& real) { CentreOnPrimaryScreen(real); });
    show();
    ui_->Pages->tabBar()->setFocus(Qt::ActiveWindowFocusReason);
}

} // namespace tavik
