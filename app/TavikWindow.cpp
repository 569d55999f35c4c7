#include "TavikWindow.h"

#include "RecordingDrop.h"
#include "ui_TavikSrc.h"
#include "winsys/AppTitle.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTabBar>

#include <algorithm>

namespace tavik {

namespace {

// The family the layout names, and the Debian font that stands in for it.
const QString kLayoutFamily = QStringLiteral("ＭＳ Ｐゴシック");
const QString kStandInFamily = QStringLiteral("IPAPGothic");
constexpr int kDesignedPixels = 12;
constexpr int kClientWidth = 201;
constexpr int kClientHeight = 217;

// Paints a caption with its blank runs widened so that the caption spans the
// label's designed width. QFont::setWordSpacing cannot do it: Qt widens only
// one blank of a run, and none next to Japanese text.
class BlankSpreader : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint) return QObject::eventFilter(watched, event);
        auto* label = static_cast<QLabel*>(watched);
        const QString text = label->text();
        const QFontMetricsF metrics(label->font());
        const QStringList runs = text.split(QLatin1Char(' '));
        const auto blanks = runs.size() - 1;
        qreal inked = 0;
        for (const QString& run : runs)
            inked += metrics.horizontalAdvance(run);
        const qreal blank = std::max(metrics.horizontalAdvance(QLatin1Char(' ')),
                                     (label->width() - inked) / blanks);

        QPainter painter(label);
        painter.setFont(label->font());
        painter.setPen(label->palette().color(label->foregroundRole()));
        const qreal baseline = (label->height() - metrics.height()) / 2 + metrics.ascent();
        qreal x = 0;
        for (const QString& run : runs) {
            painter.drawText(QPointF(x, baseline), run);
            x += metrics.horizontalAdvance(run) + blank;
        }
        return true;
    }
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
          HelpBtn(ui.HelpBtn, d), MailEdit(ui.MailEdit, d), URLEdit(ui.URLEdit, d) {}

    TavikControls Operations() {
        return {AudioRateBox, VideoRateBox, SizeBox,    MonthEdit,   SecEdit,    TotalSecEdit,
                PieceEdit,    TotalEdit,    SepSecEdit, GetVideoBtn, GetSizeBtn, GetTimeBtn,
                TotalSecBtn,  NearRateChk,  HelpBtn,    MailEdit,    URLEdit};
    }

    QtField AudioRateBox, VideoRateBox, SizeBox, MonthEdit, SecEdit, TotalSecEdit, PieceEdit,
        TotalEdit, SepSecEdit;
    QtButton GetVideoBtn, GetSizeBtn, GetTimeBtn, TotalSecBtn;
    QtCheckBox NearRateChk;
    QtButton HelpBtn;
    QtField MailEdit, URLEdit;
};

TavikWindow::TavikWindow(ErrorBox& errorBox, HelpDispatch& help, Shell& shell)
    : ui_(std::make_unique<Ui::TavikFrm>()), delivery_(errorBox, kApplicationTitle) {
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
    SpreadLabelBlanks();
    FitAuthorPage();
    ApplyScale();
    setFixedSize(qRound(kClientWidth * scale_), qRound(kClientHeight * scale_));

    // The author page's picture is loaded the first time that page is shown.
    connect(ui_->Pages, &QTabWidget::currentChanged, this, [this](int index) {
        if (ui_->Pages->widget(index) == ui_->AboutTab) LoadAboutIcon();
    });

    // Connected only now, so the start-up texts ran no change handler.
    controls_ = std::make_unique<Controls>(*ui_, delivery_);
    frm_ = std::make_unique<TTavikFrm>(controls_->Operations(), help, shell);
    new RecordingDrop(*this, *frm_, delivery_); // owned by the window
}

TavikWindow::~TavikWindow() = default;

void TavikWindow::ApplyFont() {
    // Consulted only where the named family itself is not installed.
    QFont::insertSubstitution(kLayoutFamily, kStandInFamily);
    QFont font(kLayoutFamily);
    font.setPixelSize(kDesignedPixels);
    font.setStyleStrategy(QFont::PreferDefault);
    setFont(font);
    // Scale by the em, not the line height: the stand-in's lines are 12.9 px.
    scale_ = static_cast<double>(QFontInfo(font).pixelSize()) / kDesignedPixels;
}

void TavikWindow::ApplyScale() {
    if (scale_ == 1.0) return;
    const auto scaled = [this](QWidget* w) {
        const QRect g = w->geometry();
        w->setGeometry(qRound(g.x() * scale_), qRound(g.y() * scale_), qRound(g.width() * scale_),
                       qRound(g.height() * scale_));
    };
    scaled(ui_->Pages);
    scaled(ui_->HelpBtn);
    for (QWidget* page : {ui_->MainTab, ui_->ConfigTab, ui_->AboutTab})
        for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            scaled(child);
}

// The captions leave blank runs for the fields drawn over them. The stand-in
// font's blank is narrower than the designed one, so the blanks are widened
// until each caption spans its designed width and the units stay clear of
// the fields.
void TavikWindow::SpreadLabelBlanks() {
    auto* spreader = new BlankSpreader(this);
    for (QLabel* label : ui_->MainTab->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label->text().contains(QLatin1Char(' '))) label->installEventFilter(spreader);
    }
}

// The labels carrying this program's own names size to their text.
void TavikWindow::FitAuthorPage() {
    ui_->VerLbl->adjustSize();
    ui_->CreatorLbl->adjustSize();
    // Should an address be wider than its field, its beginning shows.
    ui_->MailEdit->setCursorPosition(0);
    ui_->URLEdit->setCursorPosition(0);
}

void TavikWindow::ApplyColours() {
    QPalette window = palette();
    const QColor buttonFace = window.color(QPalette::Button);
    window.setColor(QPalette::Window, buttonFace);
    setPalette(window);
    setAutoFillBackground(true);
    for (QLineEdit* edit : {ui_->SepSecEdit, ui_->MailEdit, ui_->URLEdit}) {
        QPalette p = edit->palette();
        p.setColor(QPalette::Base, buttonFace);
        edit->setPalette(p);
    }
}

void TavikWindow::LoadAboutIcon() {
    if (ui_->IconImage->pixmap().isNull())
        ui_->IconImage->setPixmap(QApplication::windowIcon().pixmap(32, 32));
}

void TavikWindow::CentreOnPrimaryScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    const QSize outer = frameGeometry().size();
    move(area.x() + std::max(0, (area.width() - outer.width()) / 2),
         area.y() + std::max(0, (area.height() - outer.height()) / 2));
}

void TavikWindow::ShowAtStartUp() {
    winId(); // the window and the controls of the first page exist before FormShow
    delivery_.Deliver([this] { frm_->FormShow(); });
    CentreOnPrimaryScreen();
    show();
    ui_->Pages->tabBar()->setFocus(Qt::ActiveWindowFocusReason);
}

} // namespace tavik
