// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Small recordings made with ffmpeg for the probe's tests, and stand-ins for
// ffprobe where real files cannot show a case (a hang, a crash, garbage).

#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace tavik {

// "テスト.ts" in Shift-JIS: no UTF-8.
inline constexpr char kShiftJisName[] = "\x83\x65\x83X\x83g.ts";

class TestMedia {
public:
    // Makes the recordings once for the build tree (every test process
    // shares them); Ready() is false (with Why()) when ffmpeg or ffprobe is
    // missing or ffmpeg fails.
    static const TestMedia& Get();

    bool Ready() const { return why_.isEmpty(); }
    const QString& Why() const { return why_; }

    // rec.ts: 2.52 s picture and tone, MP2 audio at 192 kbit/s, also under
    // kShiftJisName; rec.mkv: the same with MP2 at 128 kbit/s (no stream
    // durations); silent.mp4: 4.2 s of picture only; rec.aac: 3 s of raw
    // AAC; joined.ts: rec.ts and a copy 50000 s later. Transport streams as
    // tuners write them (MakeTransportStreams), each with its audio as NAME.aac.
    QString Path(const QString& name) const { return dir_ + QLatin1Char('/') + name; }
    QByteArray File(const QByteArray& name) const { return QFile::encodeName(dir_) + '/' + name; }

    // A file of this process's own, and an executable script in that place
    // that stands in for ffprobe, running body.
    QString Scratch(const QString& name) const { return scratch_.filePath(name); }
    QString StandIn(const QString& name, const QString& body) const;

private:
    TestMedia();
    bool Make(const QString& dir);
    bool MakeTransportStreams(const QString& dir);

    QString dir_;
    QTemporaryDir scratch_;
    QString why_;
};

} // namespace tavik
