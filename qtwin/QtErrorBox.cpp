// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtErrorBox.h"

#include "x11/WindowManager.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPointer>
#include <QUrl>

#include <vector>

namespace tavik {

namespace {

// While the error box is open the program's top-most windows step down, so
// that another program's top-most window stays above them; when it closes
// they are top-most again and the window that was active is active again.
// That happens as its button is pressed, while the box still has the focus:
// a manager then lets the program hand the focus on, where once the box has
// gone it may already have given it to another program's window (xfwm4).
class TopMostPause {
public:
    explicit TopMostPause(QMessageBox& box) : box_(box), active_(QApplication::activeWindow()) {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
                SetTopMost(*window, false);
                paused_.emplace_back(window);
            }
        }
        QObject::connect(&box, &QMessageBox::buttonClicked, &box, [this] { End(); });
    }
    ~TopMostPause() { End(); }
    TopMostPause(const TopMostPause&) = delete;
    TopMostPause& operator=(const TopMostPause&) = delete;

private:
    void End() {
        if (ended_) return;
        ended_ = true;
        for (const QPointer<QWidget>& window : paused_)
            if (window) SetTopMost(*window, true);
        if (active_) Activate(*active_, &box_);
    }

    const QWidget& box_;
    QPointer<QWidget> active_;
    std::vector<QPointer<QWidget>> paused_;
    bool ended_ = false;
};

} // namespace

void QtErrorBox::Show(const std::string& text, const std::string& caption) {
    if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
    // Owned by no window of the program, as by the application itself: on X
    // the box is then transient for the whole program, and a manager that
    // keeps a transient in its owner's layer (fluxbox) lets it stay top-most
    // while the main window steps down.
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    // The box shows above the main window, which is top-most again afterwards.
    SetTopMost(box, true);
    const TopMostPause pause(box);
    box.exec();
}

void QtShell::Open(const std::string& target) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(target)));
}

} // namespace tavik
