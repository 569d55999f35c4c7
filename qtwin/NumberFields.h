// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The number fields: each shows its widest number whole and takes digits as
// they are typed, past any input method.

#include <initializer_list>

class QWidget;

namespace tavik {

// A QLineEdit or an editable QComboBox, and the digits of the widest number
// it is to show whole.
struct NumberField {
    QWidget* field;
    int digits;
};

// Each number field shows its widest number whole, takes no composed text
// from an input method, as a Windows number field's IME mode does, and asks
// for ASCII digits where an input method looks at hints.
void SetUpNumberFields(QWidget& window, std::initializer_list<NumberField> fields);

// How wide a field's text may be: a line edit's contents rectangle, or the
// edit part of a combo box, which has no frame of its own.
int TextRoom(QWidget* field);

} // namespace tavik
