// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace tavik {

// The captions of a page leave blank runs for the fields drawn over them;
// each caption with blanks is spread to its label's width, with the fields
// that lie on it kept clear, when it is first painted.
void SpreadCaptions(QWidget& page);

} // namespace tavik
