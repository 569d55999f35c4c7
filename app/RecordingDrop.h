// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Recordings dropped onto the main window: a drag that carries only local
// files is taken (anywhere on the window, fields included), anything else is
// refused with the "no" cursor. Nothing is probed before the drop; then the
// files are probed in the background and, when the probe ends, the result
// reaches TTavikFrm::RecordingsProbed through the guard. While a probe runs,
// further drags are refused.

#include "media/RecordingProbe.h"
#include "ui/TavikSrc.h"
#include "winsys/EventDelivery.h"

#include <QObject>
#include <QStringList>

class QMimeData;
class QWidget;

namespace tavik {

class RecordingDrop : public QObject {
    Q_OBJECT

public:
    // Becomes a child of the window and takes over its drag and drop.
    RecordingDrop(QWidget& window, TTavikFrm& frm, EventDelivery& delivery);

    bool Busy() const { return probe_.Busy(); }
    void SetProbeOptions(const ProbeOptions& options) { probe_.SetOptions(options); }

    // The local paths of a drag that carries nothing but local files; empty
    // for anything else.
    static QStringList LocalFiles(const QMimeData* data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Probed(const ProbeResult& result);

    QWidget& window_;
    TTavikFrm& frm_;
    EventDelivery& delivery_;
    RecordingProbe probe_;
};

} // namespace tavik
