// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The size of the frame that the window manager puts around a window, known
// before the window is mapped. On X the window manager is asked with EWMH's
// _NET_REQUEST_FRAME_EXTENTS; the answer is read a little later, so other
// start-up work runs while the window manager answers.

#include <QMargins>

#include <optional>

class QWindow;

namespace tavik {

class FrameExtentsRequest {
public:
    // Asks at once. Does nothing where the platform is not X or no window
    // manager that answers such requests runs.
    explicit FrameExtentsRequest(const QWindow& window);

    // The frame (left, top, right, bottom); empty when nobody was asked or
    // the answer did not come within a short time.
    std::optional<QMargins> Answer();

private:
    unsigned window_ = 0;       // the X window, 0 when nobody was asked
    unsigned frameExtents_ = 0; // the atom _NET_FRAME_EXTENTS
};

} // namespace tavik
