// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordingDrop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace tavik {

RecordingDrop::RecordingDrop(QWidget& window, TTavikFrm& frm, EventDelivery& delivery)
    : QObject(&window), window_(window), frm_(frm), delivery_(delivery) {
    setObjectName(QStringLiteral("RecordingDrop"));
    // The fields would take a dragged text or address as typed input; every
    // drag goes to the window instead, which takes files only.
    for (QWidget* child : window.findChildren<QWidget*>())
        child->setAcceptDrops(false);
    window.setAcceptDrops(true);
    window.installEventFilter(this);
}

QStringList RecordingDrop::LocalFiles(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls()) {
        const QString path = url.isLocalFile() ? url.toLocalFile() : QString();
        if (path.isEmpty()) return {};
        paths.append(path);
    }
    return paths;
}

bool RecordingDrop::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &window_) return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (!Busy() && !LocalFiles(drag->mimeData()).isEmpty()) {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList paths = LocalFiles(drop->mimeData());
        if (paths.isEmpty() || !probe_.Start(paths, [this](const ProbeResult& r) { Probed(r); })) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

void RecordingDrop::Probed(const ProbeResult& result) {
    ProbedRecordings probed;
    if (result.summary) {
        probed.playSec = result.summary->playSec;
        probed.audioKbps = result.summary->audioKbps;
    } else {
        probed.failure = result.error.toStdString();
    }
    delivery_.Deliver([this, &probed] { frm_.RecordingsProbed(probed); });
}

} // namespace tavik
