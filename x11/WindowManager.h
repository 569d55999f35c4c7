// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the program asks of the window manager. On X this is said in EWMH:
// the frame around the main window, the top-most layer of a shown window (by
// a _NET_WM_STATE message, never by rewriting the property), and activation
// as the answer to the user's input. On other platforms each call does what
// Qt offers there.

#include <QMargins>

#include <functional>
#include <optional>

class QWidget;
class QWindow;

namespace tavik {

// The frame that the window manager puts around a window, asked before the
// window is mapped with _NET_REQUEST_FRAME_EXTENTS; the answer is read a
// little later, so other start-up work runs while the manager answers.
class FrameExtentsRequest {
public:
    // Asks at once. Does nothing where the platform is not X or no window
    // manager that answers such requests runs.
    explicit FrameExtentsRequest(const QWindow& window);

    // The frame (left, top, right, bottom); empty when nobody was asked or
    // the answer did not come within a short time.
    std::optional<QMargins> Answer();

private:
    unsigned window_ = 0; // the X window, 0 when nobody was asked
};

// Where the window manager did not answer, or its frame came out different:
// when the frame it draws around `window` first appears after mapping, and
// differs from `placedFor`, calls `place` with it once, unless the window has
// moved since. Call before showing the window.
void CorrectPlacementOnce(QWidget& window, const QMargins& placedFor,
                          std::function<void(const QMargins&)> place);

// Puts a top-level window into the top-most layer or takes it out; its
// window flags say which it is in. A window not shown yet goes there once
// the window manager has mapped it.
void SetTopMost(QWidget& window, bool topMost);

// Activates `window` as the answer to the user's last click or key, so that
// focus-stealing prevention lets it through; `from` is the program's window
// that was active until now, or null.
void Activate(QWidget& window, const QWidget* from);

} // namespace tavik
