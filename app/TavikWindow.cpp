// SPDX-License-Identifier: GPL-3.0-or-later
#include "TavikWindow.h"

#include "ErrorMessages.h"
#include "RecordingDrop.h"
#include "UserSettings.h"
#include "WindowManager.h"
#include "ui_TavikSrc.h"
#include "winsys/AppTitle.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QImage>
#include <QInputMethodQueryEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <QTextLayout>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace tavik {

namespace {

// The family the layout names, and the Debian fonts that stand in for it,
// best first: IPAPGothic and TakaoPGothic (drawn from it) keep the designed
// metrics; the others are proportional Japanese Gothics users commonly have.
const QString kLayoutFamily = QStringLiteral("ＭＳ Ｐゴシック");
const QStringList kStandInFamilies = {
    QStringLiteral("IPAPGothic"),       QStringLiteral("TakaoPGothic"),
    QStringLiteral("IPAexGothic"),      QStringLiteral("VL PGothic"),
    QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Source Han Sans JP")};
constexpr int kDesignedPixels = 12;
// How high a line of the stand-in is at 12 pixels (ascent plus descent): the
// height the layout was designed for.
constexpr qreal kStandInLineHeight = 12.90625;
constexpr int kClientWidth = 201;
constexpr int kClientHeight = 217;
// Room kept between the lowest control of a page and the page's bottom edge.
constexpr int kPageBottomMargin = 2;
// A caption's run that follows a field starts its ink this far right of the
// field, so that one pixel column stays clear; above one device pixel per
// pixel a field's frame may spill a device pixel past it and anti-aliased ink
// may start half of one early, so a pixel and a half more.
constexpr qreal kUnitGap = 0.875;
constexpr qreal kScaledUnitGap = kUnitGap + 1.5;
// Less than any glyph position a font engine tells apart (1/64 pixel).
constexpr qreal kSubPixel = 1.0 / 128;
// The characters of the window's captions and numbers, by what a user
// would call them where no installed font draws them.
struct CaptionChars {
    const char* name;
    QString sample;
};
const CaptionChars kCaptionChars[] = {
    {"Japanese text",
     QStringLiteral("電卓設定作者音声映像ﾌｧｲﾙｻｲｽﾞ時間分秒割計算１話当り厳密に合わせる開発班＜")},
    {"digits and Latin letters", QStringLiteral("0123456789KbpsMBHelpTavikver./:@")},
    {"the arrow ↑", QStringLiteral("↑")},
};
// The characters whose line height the layout scales with.
const QString kCaptionSample = kCaptionChars[0].sample + kCaptionChars[2].sample;

// QLineEdit keeps this many pixels between its contents rectangle and its
// text on each side, beside the text margins.
constexpr int kLineEditMargin = 2;

// Where each run of a caption starts. The blank runs share what the inked
// runs leave of the label's width, narrower than the font's blank where
// need be; a run that follows a field starts clear of it.
std::vector<qreal> RunStarts(const QFont& font, const QStringList& runs, qreal width,
                             const std::vector<qreal>& fieldEnds, qreal gap) {
    const QFontMetricsF metrics(font);
    qreal inked = 0;
    for (const QString& run : runs)
        inked += metrics.horizontalAdvance(run);
    const auto blanks = runs.size() - 1;
    qreal blank = std::max<qreal>(0, (width - inked) / blanks);
    qreal rest = inked;
    std::size_t field = 0;
    std::vector<qreal> starts;
    qreal x = 0;
    for (qsizetype i = 0; i < runs.size(); ++i) {
        const qreal advance = metrics.horizontalAdvance(runs[i]);
        if (i > 0 && !runs[i].isEmpty() && field < fieldEnds.size()) {
            const qreal clear = fieldEnds[field++] + gap;
            // The ink is looked at only where the pen stands close to the field.
            if (x < clear) {
                QPainterPath ink;
                ink.addText(0, 0, font, runs[i]);
                if (const qreal left = ink.boundingRect().left(); x + left < clear) {
                    x = clear - left;
                    if (const auto remaining = blanks - i; remaining > 0)
                        blank = std::max<qreal>(0, (width - x - rest) / remaining);
                }
            }
        }
        starts.push_back(x);
        rest -= advance;
        x += advance + blank;
    }
    return starts;
}

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

// Whether a line of text laid out with the font and its fallbacks draws a
// glyph for every character.
bool FallbacksDraw(const QFont& font, const QString& text, qreal* height) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    *height = std::max(*height, line.height());
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const QList<quint32> glyphs = run.glyphIndexes();
        if (std::find(glyphs.begin(), glyphs.end(), 0u) != glyphs.end()) return false;
    }
    return true;
}

// How wide a field's text may be: a line edit's contents rectangle, or the
// edit part of a combo box, which has no frame of its own.
int TextRoom(QWidget* field) {
    QStyle* style = field->style();
    if (auto* box = qobject_cast<QComboBox*>(field)) {
        QStyleOptionComboBox option;
        option.initFrom(box);
        option.rect = QRect(QPoint(), box->size());
        option.editable = box->isEditable();
        return style
            ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box)
            .width();
    }
    QStyleOptionFrame option;
    option.initFrom(field);
    option.rect = QRect(QPoint(), field->size());
    option.lineWidth = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field);
    return style->subElementRect(QStyle::SE_LineEditContents, &option, field).width();
}

// Gives a number field the text margins that show a number of `digits`
// digits whole. Qt scrolls once the text, rounded up, and the cursor after
// it are wider than the room less its margins. The number starts one pixel
// inside the frame, as in a Windows edit field, where that leaves room, else
// at the frame; the cursor after the last digit may stand on the frame.
void FitDigits(QWidget* field, QLineEdit* edit, int digits) {
    const QFontMetricsF metrics(edit->font());
    qreal digit = 0;
    for (char c = '0'; c <= '9'; ++c)
        digit = std::max(digit, metrics.horizontalAdvance(QLatin1Char(c)));
    const int needed = qCeil(digits * digit) + 1;
    const int room = TextRoom(field);
    if (needed <= room - 2 * kLineEditMargin) return;
    const int left = needed < room ? 1 : 0;
    const int right = std::max(-1, room - left - needed);
    edit->setTextMargins(left - kLineEditMargin, 0, right - kLineEditMargin, 0);
}

// Input methods ask the focus object whether it takes composed text, and a
// QLineEdit answers yes whatever its Qt::WA_InputMethodEnabled says; where
// the attribute is off, this answers no for it, so keys reach the field as
// they are typed.
class InputMethodOff : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::InputMethodQuery ||
            static_cast<QWidget*>(watched)->testAttribute(Qt::WA_InputMethodEnabled))
            return QObject::eventFilter(watched, event);
        watched->event(event);
        static_cast<QInputMethodQueryEvent*>(event)->setValue(Qt::ImEnabled, false);
        return true;
    }
};

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

// Paints a caption run by run from the starts worked out for it.
// QFont::setWordSpacing cannot do it: Qt widens only one blank of a run, and
// none next to Japanese text.
class BlankSpreader : public QObject {
public:
    using QObject::QObject;

    // Spreads the label's caption over the fields that lie on it. The runs
    // are measured when the label is first painted, after the window is
    // mapped, like any text; a label whose last run then ends past it widens.
    void Spread(QLabel* label, const std::vector<QRect>& fields, qreal gap) {
        Caption& caption = captions_[label];
        for (const QRect& field : fields)
            caption.fieldEnds.push_back(field.x() + field.width() - label->x());
        caption.gap = gap;
        label->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint) return QObject::eventFilter(watched, event);
        auto* label = static_cast<QLabel*>(watched);
        const QStringList runs = label->text().split(QLatin1Char(' '));
        const QFontMetricsF metrics(label->font());
        Caption& caption = captions_[label];
        if (caption.starts.empty()) {
            caption.starts =
                RunStarts(label->font(), runs, label->width(), caption.fieldEnds, caption.gap);
            const qreal end = caption.starts.back() + metrics.horizontalAdvance(runs.back());
            if (end > label->width() + kSubPixel) label->resize(qCeil(end), label->height());
        }
        QPainter painter(label);
        painter.setFont(label->font());
        painter.setPen(label->palette().color(label->foregroundRole()));
        const qreal baseline = (label->height() - metrics.height()) / 2 + metrics.ascent();
        for (qsizetype i = 0; i < runs.size() && i < qsizetype(caption.starts.size()); ++i)
            painter.drawText(QPointF(caption.starts[i], baseline), runs[i]);
        return true;
    }

private:
    struct Caption {
        std::vector<qreal> fieldEnds;
        qreal gap = 0;
        std::vector<qreal> starts;
    };
    std::map<const QObject*, Caption> captions_;
};

} // namespace

struct TavikWindow::Controls {
    Controls(Ui::TavikFrm& ui, EventDelivery& d)
        : AudioRateBox(ui.AudioRateBox->lineEdit(), d),
          VideoRateBox(ui.VideoRateBox->lineEdit(), d), SizeBox(ui.SizeBox->lineEdit(), d),
          MonthEdit(ui.MonthEdit, d), SecEdit(ui.SecEdit, d), TotalSecEdit(ui.TotalSecEdit, d),
          PieceEdit(ui.PieceEdit, d), TotalEdit(ui.TotalEdit, d), SepSecEdit(ui.SepSecEdit, d),
          GetVideoBtn(ui.GetVideoBtn, d), GetSizeBtn(ui.GetSizeBtn, d),
          GetTimeBtn(ui.GetTimeBtn, d), TotalSecBtn(ui.TotalSecBtn, d), NearRateChk(ui.NearRateChk),
          ContainerBox(ui.ContainerBox), HelpBtn(ui.HelpBtn, d), MailEdit(ui.MailEdit, d),
          URLEdit(ui.URLEdit, d) {}

    TavikControls Operations() {
        return {AudioRateBox, VideoRateBox, SizeBox,      MonthEdit,   SecEdit,    TotalSecEdit,
                PieceEdit,    TotalEdit,    SepSecEdit,   GetVideoBtn, GetSizeBtn, GetTimeBtn,
                TotalSecBtn,  NearRateChk,  ContainerBox, HelpBtn,     MailEdit,   URLEdit};
    }

    QtField AudioRateBox, VideoRateBox, SizeBox, MonthEdit, SecEdit, TotalSecEdit, PieceEdit,
        TotalEdit, SepSecEdit;
    QtButton GetVideoBtn, GetSizeBtn, GetTimeBtn, TotalSecBtn;
    QtCheckBox NearRateChk;
    QtChoice ContainerBox;
    QtButton HelpBtn;
    QtField MailEdit, URLEdit;
};

TavikWindow::TavikWindow(ErrorBox& errorBox, HelpDispatch& help, Shell& shell)
    : ui_(std::make_unique<Ui::TavikFrm>()), delivery_(errorBox, kApplicationTitle, &ErrorMessage) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    ApplyFont();
    ui_->setupUi(this);
    setProperty(QtHelpDispatch::kHelpFileProperty, QString::fromLatin1(TTavikFrm::HelpFile));
    ui_->HelpBtn->raise();
    // A field holds exactly what was typed: no completion from the items.
    for (QComboBox* box : {ui_->AudioRateBox, ui_->VideoRateBox, ui_->SizeBox})
        box->setCompleter(nullptr);

    ApplyColours();
    ApplyScale();
    SetUpNumberFields();
    SpreadLabelBlanks();
    FitAuthorPage();

    // The author page's picture is loaded the first time that page is shown.
    connect(ui_->Pages, &QTabWidget::currentChanged, this, [this](int index) {
        if (ui_->Pages->widget(index) == ui_->AboutTab) LoadAboutIcon();
    });

    // The choice of an earlier run, and from now on the user's each time it
    // changes; the file is written only then.
    ui_->ContainerBox->setCurrentIndex(static_cast<int>(RememberedContainer()));
    connect(ui_->ContainerBox, &QComboBox::currentIndexChanged, this,
            [](int index) { RememberContainer(ContainerOfIndex(index)); });

    // Connected only now, so the start-up texts ran no change handler.
    controls_ = std::make_unique<Controls>(*ui_, delivery_);
    frm_ = std::make_unique<TTavikFrm>(controls_->Operations(), help, shell);
    new RecordingDrop(*this, *frm_, delivery_); // owned by the window
}

TavikWindow::~TavikWindow() = default;

void TavikWindow::ApplyFont() {
    // Consulted only where the named family itself is not installed.
    QFont::insertSubstitutions(kLayoutFamily, kStandInFamilies);
    QFont font(kLayoutFamily);
    // An installed stand-in is named first: Qt finds it at once, instead of
    // asking fontconfig for fallbacks of the missing family for every font
    // engine it makes.
    if (!QFontDatabase::hasFamily(kLayoutFamily)) {
        const auto installed =
            std::find_if(kStandInFamilies.begin(), kStandInFamilies.end(),
                         [](const QString& f) { return QFontDatabase::hasFamily(f); });
        if (installed != kStandInFamilies.end()) font.setFamilies({*installed, kLayoutFamily});
    }
    font.setPixelSize(kDesignedPixels);
    font.setStyleStrategy(QFont::PreferDefault);
    setFont(font);

    // The text's height, measured against the stand-in's, in designed pixels
    // made whole, as a text metric is, so that small differences of rendering
    // keep the scale at 1.
    const qreal height = MeasureCaptions(font);
    scale_ = std::round(kDesignedPixels * height / kStandInLineHeight) / kDesignedPixels;
}

// How high a line of the captions is. Where the font itself lacks some of
// their characters, a line of them is laid out as the window draws it, with
// the fallback fonts, which also tells whether any font draws them at all.
qreal TavikWindow::MeasureCaptions(const QFont& font) {
    missing_.clear();
    qreal height = QFontMetricsF(font).height();
    const QRawFont primary = QRawFont::fromFont(font);
    const auto own = [&](const QString& text) {
        const QList<uint> chars = text.toUcs4();
        return std::all_of(chars.begin(), chars.end(),
                           [&](uint c) { return primary.supportsCharacter(c); });
    };
    if (!own(kCaptionSample)) FallbacksDraw(font, kCaptionSample, &height);
    for (const CaptionChars& chars : kCaptionChars) {
        qreal unused = 0;
        if (!own(chars.sample) && !FallbacksDraw(font, chars.sample, &unused))
            missing_.push_back(QString::fromUtf8(chars.name));
    }
    return height;
}

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

// Each number field shows its widest number whole, takes no composed text
// from an input method, as a Windows number field's IME mode does, and asks
// for ASCII digits where an input method looks at hints.
void TavikWindow::SetUpNumberFields() {
    const std::pair<QWidget*, int> fields[] = {
        {ui_->AudioRateBox, 6}, {ui_->VideoRateBox, 6}, {ui_->SizeBox, 6},
        {ui_->MonthEdit, 3},    {ui_->SecEdit, 2},      {ui_->TotalSecEdit, 7},
        {ui_->PieceEdit, 3},    {ui_->TotalEdit, 3},    {ui_->SepSecEdit, 7}};
    auto* inputMethodOff = new InputMethodOff(this);
    for (const auto& [field, digits] : fields) {
        auto* box = qobject_cast<QComboBox*>(field);
        QLineEdit* edit = box ? box->lineEdit() : static_cast<QLineEdit*>(field);
        FitDigits(field, edit, digits);
        // A combo box answers for its edit part, which has the focus through it.
        for (QWidget* w : {field, static_cast<QWidget*>(edit)}) {
            w->setAttribute(Qt::WA_InputMethodEnabled, false);
            w->installEventFilter(inputMethodOff);
        }
        field->setInputMethodHints(Qt::ImhPreferNumbers | Qt::ImhPreferLatin);
    }
}

// The captions leave blank runs for the fields drawn over them; each caption
// is spread to its label's width with the fields that lie on it kept clear.
void TavikWindow::SpreadLabelBlanks() {
    auto* spreader = new BlankSpreader(this);
    const qreal gap = devicePixelRatioF() > 1 ? kScaledUnitGap : kUnitGap;
    const QList<QWidget*> children =
        ui_->MainTab->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QLabel* label : ui_->MainTab->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (!label->text().contains(QLatin1Char(' '))) continue;
        std::vector<QRect> fields;
        for (QWidget* child : children) {
            const QRect g = child->geometry();
            const bool isField = qobject_cast<QLineEdit*>(child) || qobject_cast<QComboBox*>(child);
            if (isField && g.top() <= label->geometry().bottom() && g.bottom() >= label->y() &&
                g.x() > label->x() && g.x() < label->geometry().right())
                fields.push_back(g);
        }
        std::sort(fields.begin(), fields.end(),
                  [](const QRect& a, const QRect& b) { return a.x() < b.x(); });
        spreader->Spread(label, fields, gap);
    }
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
