// SPDX-License-Identifier: GPL-3.0-or-later
#include "NumberFields.h"

#include <QComboBox>
#include <QFontMetricsF>
#include <QInputMethodQueryEvent>
#include <QLineEdit>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QtMath>

#include <algorithm>

namespace tavik {

namespace {

// QLineEdit keeps this many pixels between its contents rectangle and its
// text on each side, beside the text margins.
constexpr int kLineEditMargin = 2;

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

} // namespace

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

void SetUpNumberFields(QWidget& window, std::initializer_list<NumberField> fields) {
    auto* inputMethodOff = new InputMethodOff(&window);
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

} // namespace tavik
