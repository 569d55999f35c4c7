// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The window's font: the family the layout names, or the installed Japanese
// Gothic that stands in for it, at the designed 12 pixels, and how much
// taller than the stand-in's its text comes out.

#include <QFont>
#include <QStringList>

namespace tavik {

struct WindowFont {
    QFont font;
    // The measured height of the window's text over the stand-in font's, in
    // whole twelfths: the factor the layout and the client area are scaled by.
    double scale = 1.0;
    // What of the captions' and numbers' characters no installed font draws,
    // by name ("Japanese text", …); empty where every one is drawn.
    QStringList missing;
};

WindowFont ChooseWindowFont();

} // namespace tavik
