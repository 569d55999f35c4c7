// SPDX-License-Identifier: GPL-3.0-or-later
#include "Application.h"

#include "QtWindowSystem.h"
#include "TavikVersion.h"
#include "TavikWindow.h"
#include "ui/icons/tavik16.xpm"
#include "ui/icons/tavik32.xpm"

#include <QApplication>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QIcon>
#include <QPixmap>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionComboBox>
#include <QToolTip>

#include <iostream>

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

void SetUpApplication(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("tavik"));
    QApplication::setApplicationVersion(QStringLiteral(TAVIK_VERSION));
    // No display name: Qt would append it to every window title that does not
    // end in it, and the help window's title is its document's own. The
    // title "Tavik" is the main window's and the error box's caption.
    // The desktop entry names the program to desktops: on Wayland by this
    // name, on X by StartupWMClass, which matches the window's class, the
    // application name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Tavik"));
    QApplication::setStyle(new HintDelayStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
    app.installEventFilter(new HintDuration(&app));
    // Read from the XPM sources compiled in: a file or resource would have Qt
    // load every image-format plugin to ask whether it reads XPM first.
    QIcon icon;
    icon.addPixmap(QPixmap(tavik16));
    icon.addPixmap(QPixmap(tavik32));
    QApplication::setWindowIcon(icon);
}

void WarnOfMissingText(const TavikWindow& window, std::ostream& out) {
    const QStringList& missing = window.MissingText();
    if (missing.isEmpty()) return;
    out << "tavik: no installed font draws " << missing.join(QStringLiteral(", nor ")).toStdString()
        << "; install the Debian package fonts-ipafont-gothic\n";
}

int RunTavik(QApplication& app) {
    SetUpApplication(app);
    QtHelpDispatch help(QStringLiteral(TAVIK_HELP_FILE));
    QtErrorBox errorBox;
    QtShell shell;
    {
        TavikWindow window(errorBox, help, shell);
        WarnOfMissingText(window, std::cerr);
        window.ShowAtStartUp();
        app.exec();
    }
    help.RunHelpCommand(HelpDispatch::kQuit, 0);
    return 0;
}

} // namespace tavik
