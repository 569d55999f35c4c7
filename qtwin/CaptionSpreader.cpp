// SPDX-License-Identifier: GPL-3.0-or-later
#include "CaptionSpreader.h"

#include <QComboBox>
#include <QEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <algorithm>
#include <map>
#include <vector>

namespace tavik {

namespace {

// A caption's run that follows a field starts its ink this far right of the
// field, so that one pixel column stays clear; above one device pixel per
// pixel a field's frame may spill a device pixel past it and anti-aliased ink
// may start half of one early, so a pixel and a half more.
constexpr qreal kUnitGap = 0.875;
constexpr qreal kScaledUnitGap = kUnitGap + 1.5;
// Less than any glyph position a font engine tells apart (1/64 pixel).
constexpr qreal kSubPixel = 1.0 / 128;

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

// Paints a caption run by run from the starts worked out for it.
// QFont::setWordSpacing cannot do it: Qt widens only one blank of a run, and
// none next to Japanese text.
class BlankSpreader : public QObject {
public:
    using QObject::QObject;

    // Spreads the label's caption over the fields that lie on it. The runs
    // are measured when the label is first painted, after the window is
    // mapped, like any text, and again when its caption has changed; a label
    // whose last run then ends past it widens.
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
        if (caption.starts.empty() || caption.text != label->text()) {
            caption.text = label->text();
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
        QString text; // the caption the starts were worked out for
        std::vector<qreal> starts;
    };
    std::map<const QObject*, Caption> captions_;
};

} // namespace

void SpreadCaptions(QWidget& page) {
    auto* spreader = new BlankSpreader(&page);
    const qreal gap = page.devicePixelRatioF() > 1 ? kScaledUnitGap : kUnitGap;
    const QList<QWidget*> children = page.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QLabel* label : page.findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
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

} // namespace tavik
