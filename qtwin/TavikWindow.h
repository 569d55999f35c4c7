// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The real main window: the Designer layout of ui/TavikSrc.ui brought to the
// window's font and look, its controls adapted to window-system operations,
// and TTavikFrm wired to them. Creating it runs no handler; ShowAtStartUp()
// runs FormShow, centres the window and shows it.

#include "ui/TavikSrc.h"
#include "winsys/EventDelivery.h"

#include <QMargins>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <optional>

namespace Ui {
class TavikFrm;
}

namespace tavik {

class TavikWindow : public QWidget {
public:
    TavikWindow(ErrorBox& errorBox, HelpDispatch& help, Shell& shell);
    ~TavikWindow() override;

    void ShowAtStartUp();

    // The measured height of the window's text over the stand-in font's, in
    // whole twelfths: the factor the layout and the client area are scaled by.
    double LayoutScale() const { return scale_; }

    // What of the captions' and numbers' characters no installed font draws,
    // by name ("Japanese text", …); empty where every one is drawn.
    const QStringList& MissingText() const { return missing_; }

private:
    void ApplyScale();
    void FitAuthorPage();
    void ApplyColours();
    QMargins CentreOnPrimaryScreen(const std::optional<QMargins>& askedFrame);
    void LoadAboutIcon();

    std::unique_ptr<Ui::TavikFrm> ui_;
    double scale_ = 1.0;
    QStringList missing_;
    EventDelivery delivery_;
    struct Controls;
    std::unique_ptr<Controls> controls_;
    std::unique_ptr<TTavikFrm> frm_;
};

} // namespace tavik
