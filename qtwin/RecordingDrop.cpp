// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordingDrop.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QShortcut>
#include <QSysInfo>
#include <QWidget>

namespace tavik {

namespace {

constexpr int kBusyCursorAfterMs = 300;

// The path of a file: address whose host is none, "localhost" or this
// machine's, percent-decoded to the bytes it names; empty for any other.
QByteArray LocalPath(const QByteArray& uri) {
    if (!uri.toLower().startsWith("file:")) return {};
    QByteArray rest = uri.mid(5);
    // A name's own "?" and "#" are percent-encoded; bare, they end the path.
    for (const char end : {'?', '#'})
        if (const qsizetype at = rest.indexOf(end); at >= 0) rest.truncate(at);
    if (rest.startsWith("//")) {
        const qsizetype slash = rest.indexOf('/', 2);
        if (slash < 0) return {};
        const QByteArray host = QByteArray::fromPercentEncoding(rest.mid(2, slash - 2)).toLower();
        if (!host.isEmpty() && host != "localhost" &&
            host != QSysInfo::machineHostName().toUtf8().toLower())
            return {};
        rest = rest.mid(slash);
    }
    if (!rest.startsWith('/')) return {};
    const QByteArray path = QByteArray::fromPercentEncoding(rest);
    return path.contains('\0') ? QByteArray() : path;
}

} // namespace

RecordingDrop::RecordingDrop(QWidget& window, TTavikFrm& frm, EventDelivery& delivery)
    : QObject(&window), window_(window), frm_(frm), delivery_(delivery),
      stop_(new QShortcut(QKeySequence(Qt::Key_Escape), &window)) {
    setObjectName(QStringLiteral("RecordingDrop"));
    // The fields would take a dragged text or address as typed input; every
    // drag goes to the window instead, which takes files only.
    for (QWidget* child : window.findChildren<QWidget*>())
        child->setAcceptDrops(false);
    window.setAcceptDrops(true);
    window.installEventFilter(this);

    busyCursor_.setSingleShot(true);
    busyCursor_.setInterval(kBusyCursorAfterMs);
    connect(&busyCursor_, &QTimer::timeout, this, [this] {
        QApplication::setOverrideCursor(Qt::BusyCursor);
        cursorShown_ = true;
    });
    // Esc means nothing to the window otherwise: only a running probe takes it.
    stop_->setEnabled(false);
    connect(stop_, &QShortcut::activated, this, [this] {
        probe_.Stop();
        EndWait();
    });
}

RecordingDrop::~RecordingDrop() {
    if (cursorShown_) QApplication::restoreOverrideCursor();
}

QList<QByteArray> RecordingDrop::LocalFiles(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    // The list's own bytes: QUrl would turn a name that is not UTF-8 into
    // replacement characters.
    QList<QByteArray> paths;
    for (const QByteArray& line : data->data(QStringLiteral("text/uri-list")).split('\n')) {
        const QByteArray uri = line.trimmed();
        if (uri.isEmpty() || uri.startsWith('#')) continue;
        const QByteArray path = LocalPath(uri);
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
        const QList<QByteArray> paths = LocalFiles(drop->mimeData());
        if (paths.isEmpty() || !Start(paths)) {
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

bool RecordingDrop::Start(const QList<QByteArray>& paths) {
    if (!probe_.Start(paths, [this](const ProbeResult& r) { Probed(r); })) return false;
    atDrop_ = frm_.MarkDrop();
    busyCursor_.start();
    stop_->setEnabled(true);
    return true;
}

void RecordingDrop::EndWait() {
    busyCursor_.stop();
    stop_->setEnabled(false);
    if (cursorShown_) QApplication::restoreOverrideCursor();
    cursorShown_ = false;
}

void RecordingDrop::Probed(const ProbeResult& result) {
    EndWait();
    ProbedRecordings probed;
    if (result.summary) {
        probed.playSec = result.summary->playSec;
        probed.audioKbps = result.summary->audioKbps;
        probed.audioUnread = tr("録画ファイルから音声ビットレートを読み取れませんでした。"
                                "音声ビットレートの欄はドロップする前の値のままです。")
                                 .toStdString();
    } else {
        probed.failure = result.error.toStdString();
    }
    delivery_.Deliver([this, &probed] { frm_.RecordingsProbed(probed, atDrop_); });
}

} // namespace tavik
