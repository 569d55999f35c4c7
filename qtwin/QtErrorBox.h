// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where the window reaches past itself: the error box, and the desktop's
// default program for an address.

#include "winsys/WindowSystem.h"

namespace tavik {

// QMessageBox with the stop icon and one OK button, application-modal.
class QtErrorBox : public ErrorBox {
public:
    void Show(const std::string& text, const std::string& caption) override;
};

// Opens the address with the desktop's default program.
class QtShell : public Shell {
public:
    void Open(const std::string& target) override;
};

} // namespace tavik
