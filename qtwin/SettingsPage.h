// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The settings page: its lists filled from the core's, each item holding its
// key as its data, the choices of an earlier run, and what the choice of a
// container shows on both pages: the rates' unit and which settings apply.

namespace Ui {
class TavikFrm;
}

namespace tavik {

// Run before the layout is scaled, which sizes the lists to their items.
void FillSettingsLists(Ui::TavikFrm& ui);

// Chooses what an earlier run remembered (a key no item holds leaves the
// first item) and from now on remembers each choice as it changes; the file
// is written only then. Run once the captions are translated.
void RestoreSettings(Ui::TavikFrm& ui);

} // namespace tavik
