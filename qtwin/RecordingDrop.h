// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Recordings dropped onto the main window: a drag that carries only local
// files (file: addresses with no host, "localhost" or this machine's name) is
// taken, anywhere on the window, fields included; anything else is refused
// with the "no" cursor. Nothing is probed before the drop; then the files are
// probed in the background and, when the probe ends, the result reaches
// TTavikFrm::RecordingsProbed through the guard.
//
// While a probe runs, further drags are refused; after 300 ms the busy cursor
// shows, and Esc stops the probe with every field as it is. A time or audio
// rate the user changes meanwhile is kept: the probe writes only the fields
// that still hold what they held at the drop.

#include "media/RecordingProbe.h"
#include "ui/TavikSrc.h"
#include "winsys/EventDelivery.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>

class QMimeData;
class QShortcut;
class QWidget;

namespace tavik {

class RecordingDrop : public QObject {
    Q_OBJECT

public:
    // Becomes a child of the window and takes over its drag and drop.
    RecordingDrop(QWidget& window, TTavikFrm& frm, EventDelivery& delivery);
    ~RecordingDrop() override;

    bool Busy() const { return probe_.Busy(); }
    void SetProbeOptions(const ProbeOptions& options) { probe_.SetOptions(options); }

    // The paths of a drag that carries nothing but local files, as bytes
    // (percent-decoded, whatever their encoding); empty for anything else.
    static QList<QByteArray> LocalFiles(const QMimeData* data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Start(const QList<QByteArray>& paths);
    void Probed(const ProbeResult& result);
    void EndWait();

    QWidget& window_;
    TTavikFrm& frm_;
    EventDelivery& delivery_;
    RecordingProbe probe_;
    QTimer busyCursor_;
    bool cursorShown_ = false;
    QShortcut* stop_;
    DropMark atDrop_;
};

} // namespace tavik
