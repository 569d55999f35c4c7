// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowStyle.h"

#include <QApplication>
#include <QHelpEvent>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionComboBox>
#include <QToolTip>

namespace tavik {

namespace {

constexpr int kHintDelayMs = 500;
constexpr int kHintShownMs = 2500;

class HintDelayStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ToolTip_WakeUpDelay) return kHintDelayMs;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    // An editable combo box's drop-down button is 16 pixels wide, as in Qt's
    // common style, not Fusion's 19, and its edit part reaches from the
    // frame's one-pixel outline to the button, so that six digits fit the
    // designed 65 pixels.
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override {
        QRect rect = QProxyStyle::subControlRect(control, option, sub, widget);
        const auto* box = qstyleoption_cast<const QStyleOptionComboBox*>(option);
        if (control != CC_ComboBox || !box || !box->editable || box->direction != Qt::LeftToRight)
            return rect;
        if (sub == SC_ComboBoxArrow) rect.setLeft(rect.right() - 15);
        if (sub == SC_ComboBoxEditField) {
            rect.setLeft(option->rect.left() + 1);
            rect.setRight(subControlRect(control, option, SC_ComboBoxArrow, widget).left() - 1);
        }
        return rect;
    }
};

// Shows each hint for a fixed time instead of Qt's length-dependent one.
class HintDuration : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ToolTip && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (!widget->toolTip().isEmpty()) {
                const auto* help = static_cast<QHelpEvent*>(event);
                QToolTip::showText(help->globalPos(), widget->toolTip(), widget, {}, kHintShownMs);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void SetUpStyle(QApplication& app) {
    QApplication::setStyle(new HintDelayStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
    app.installEventFilter(new HintDuration(&app));
}

} // namespace tavik
