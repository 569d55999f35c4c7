// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QApplication;

namespace tavik {

// The program's look: Qt's Fusion style with the drop-down button of the
// designed width, and hints that show after half a second for a fixed time.
void SetUpStyle(QApplication& app);

} // namespace tavik
