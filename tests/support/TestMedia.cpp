// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestMedia.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace tavik {

namespace {

bool Run(const QStringList& arguments, QString& why) {
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), arguments);
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitStatus() != QProcess::NormalExit ||
        ffmpeg.exitCode() != 0) {
        why = QStringLiteral("ffmpeg failed: ") +
              QString::fromLocal8Bit(ffmpeg.readAllStandardError());
        return false;
    }
    return true;
}

QStringList Lavfi(const QString& seconds, bool tone) {
    QStringList a{QStringLiteral("-v"),
                  QStringLiteral("error"),
                  QStringLiteral("-y"),
                  QStringLiteral("-f"),
                  QStringLiteral("lavfi"),
                  QStringLiteral("-i"),
                  QStringLiteral("testsrc=size=64x48:rate=25:duration=") + seconds};
    if (tone)
        a << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
          << QStringLiteral("sine=frequency=440:duration=") + seconds;
    return a;
}

} // namespace

const TestMedia& TestMedia::Get() {
    static const TestMedia media;
    return media;
}

// The folder's name changes with the set of recordings, so a build tree never
// reuses an older set. Without ffmpeg and ffprobe nothing is ready, not even
// recordings made earlier: the tests read them with ffprobe.
TestMedia::TestMedia() : dir_(QStringLiteral(TAVIK_TEST_MEDIA_DIR "-3")) {
    for (const char* tool : {"ffmpeg", "ffprobe"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
            why_ = QString::fromLatin1(tool) +
                   QStringLiteral(" is not installed (Debian package ffmpeg)");
            return;
        }
    if (QFileInfo::exists(Path(QStringLiteral("complete")))) return;
    // Made beside the final folder and renamed into place, so test processes
    // running in parallel never see half of it.
    QTemporaryDir making(dir_ + QStringLiteral("-XXXXXX"));
    if (!Make(making.path())) return;
    QFile(making.filePath(QStringLiteral("complete"))).open(QIODevice::WriteOnly);
    if (QDir().rename(making.path(), dir_)) making.setAutoRemove(false);
    if (!QFileInfo::exists(Path(QStringLiteral("complete"))))
        why_ = QStringLiteral("could not keep the recordings in ") + dir_;
}

bool TestMedia::Make(const QString& dir) {
    const auto path = [&dir](const char* name) {
        return dir + QLatin1Char('/') + QString::fromUtf8(name);
    };
    const auto codecs = [](const char* video, const char* audioRate) {
        QStringList a{QStringLiteral("-c:v"), QString::fromLatin1(video)};
        if (audioRate)
            a << QStringLiteral("-c:a") << QStringLiteral("mp2") << QStringLiteral("-b:a")
              << QString::fromLatin1(audioRate);
        else
            a << QStringLiteral("-an");
        return a;
    };
    if (!Run(Lavfi(QStringLiteral("2.52"), true) + codecs("mpeg2video", "192k") << path("rec.ts"),
             why_) ||
        !Run(Lavfi(QStringLiteral("2.52"), true) + codecs("mpeg4", "128k") << path("rec.mkv"),
             why_) ||
        !Run(Lavfi(QStringLiteral("4.2"), false) + codecs("mpeg4", nullptr) << path("silent.mp4"),
             why_))
        return false;
    // Raw AAC, whose duration ffprobe can only estimate from the bit rate.
    const QStringList tone{QStringLiteral("-v"),
                           QStringLiteral("error"),
                           QStringLiteral("-y"),
                           QStringLiteral("-f"),
                           QStringLiteral("lavfi"),
                           QStringLiteral("-i"),
                           QStringLiteral("sine=duration=3"),
                           QStringLiteral("-c:a"),
                           QStringLiteral("aac"),
                           QStringLiteral("-f"),
                           QStringLiteral("adts")};
    // Two recordings joined, the second 50000 s later: a timestamp jump.
    const QStringList later{QStringLiteral("-output_ts_offset"), QStringLiteral("50000")};
    if (!Run(tone + QStringList{path("rec.aac")}, why_) ||
        !Run(Lavfi(QStringLiteral("2.52"), true) + codecs("mpeg2video", "192k") + later
                 << path("later.ts"),
             why_))
        return false;
    QFile joined(path("joined.ts"));
    if (joined.open(QIODevice::WriteOnly))
        for (const char* part : {"rec.ts", "later.ts"}) {
            QFile file(path(part));
            if (file.open(QIODevice::ReadOnly)) joined.write(file.readAll());
        }
    if (!MakeTransportStreams(dir)) return false;
    // Shift-JIS for "テスト", as a name copied from a Windows disc has it.
    const QByteArray bytes = QFile::encodeName(dir) + '/';
    ::link(bytes + "rec.ts", bytes + kShiftJisName);
    ::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600);
    // Names that must reach ffprobe as file names, not options or protocols.
    for (const char* name : {"-h", "http:x", "two words.ts", "new\nline.ts"})
        QFile::copy(path("rec.ts"), path(name));
    // An MP4 whose index (written last) is cut off.
    QFile whole(path("silent.mp4"));
    QFile cut(path("truncated.mp4"));
    if (whole.open(QIODevice::ReadOnly) && cut.open(QIODevice::WriteOnly))
        cut.write(whole.read(whole.size() / 2));
    QFile notes(path("notes.txt"));
    if (notes.open(QIODevice::WriteOnly)) notes.write("not a recording\n");
    return QDir(dir).mkdir(QStringLiteral("folder"));
}

// Recordings as tuners write them: MPEG-2 video and AAC, 3 s parts joined
// with cat as a restarted recorder or copy /b leaves them; each part's
// audio copied out as ADTS, the bytes a copy of the programme's audio
// carries. silent-start.ts: 10 s at 256k, the first 6 s silent.
bool TestMedia::MakeTransportStreams(const QString& dir) {
    const auto part = [&](const char* name, const char* offset, const char* seconds,
                          const QStringList& inputs, const QStringList& outputs) {
        const QString ts = dir + QLatin1Char('/') + QLatin1String(name);
        const QString duration = QLatin1String(seconds);
        const QStringList a =
            Lavfi(duration, false) +
            QStringList{QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                        QStringLiteral("sine=sample_rate=48000:duration=") + duration} +
            inputs +
            QStringList{QStringLiteral("-c:v"),
                        QStringLiteral("mpeg2video"),
                        QStringLiteral("-c:a"),
                        QStringLiteral("aac"),
                        QStringLiteral("-b:a"),
                        QStringLiteral("128k"),
                        QStringLiteral("-output_ts_offset"),
                        QLatin1String(offset)} +
            outputs + QStringList{ts};
        return Run(a, why_) &&
               Run({QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), ts,
                    QStringLiteral("-map"), QStringLiteral("0:a:0"), QStringLiteral("-c"),
                    QStringLiteral("copy"), QStringLiteral("-f"), QStringLiteral("adts"),
                    ts + QStringLiteral(".aac")},
                   why_);
    };
    const auto args = [](const char* text) { return QString::fromLatin1(text).split(' '); };
    // The second programme is the smaller one beside the main one.
    const QStringList small = args("-f lavfi -i testsrc=size=32x24:rate=25:duration=3 -f lavfi "
                                   "-i sine=f=880:sample_rate=48000:duration=3");
    const QStringList programmes =
        args("-map 0 -map 1 -map 2 -map 3 -b:a:1 32k -program program_num=1024:st=0:st=1 "
             "-program program_num=1032:st=2:st=3");
    if (!part("at10.ts", "10", "3", {}, {}) || !part("at9.ts", "9", "3", {}, {}) ||
        !part("at610.ts", "610", "3", {}, {}) || !part("at3610.ts", "3610", "3", {}, {}) ||
        !part("pids.ts", "13", "3", {},
              args("-mpegts_start_pid 0x200 -mpegts_pmt_start_pid 0x1100")) ||
        !part("wrap.ts", "95442", "3", {}, {}) ||
        !part("silent-start.ts", "0", "10", {},
              args("-af volume=volume=0:enable=lt(t\\,6) -b:a 256k")) ||
        !part("two.ts", "0", "3", small, programmes))
        return false;
    const auto join = [&](const char* name, std::initializer_list<const char*> parts) {
        QFile joined(dir + QLatin1Char('/') + QLatin1String(name));
        if (joined.open(QIODevice::WriteOnly))
            for (const char* p : parts) {
                QFile file(dir + QLatin1Char('/') + QLatin1String(p));
                if (file.open(QIODevice::ReadOnly)) joined.write(file.readAll());
            }
    };
    join("restarted.ts", {"at10.ts", "at10.ts"});
    join("overlapping.ts", {"at10.ts", "at9.ts"});
    join("jump.ts", {"at10.ts", "at610.ts"});
    join("hour-back.ts", {"at3610.ts", "at10.ts"});
    join("new-pids.ts", {"at10.ts", "pids.ts"});
    // Cut inside a packet, as a recorder stopped mid-write leaves it.
    QFile whole(dir + QStringLiteral("/at10.ts"));
    QFile cut(dir + QStringLiteral("/cut.ts"));
    if (whole.open(QIODevice::ReadOnly) && cut.open(QIODevice::WriteOnly))
        cut.write(whole.read(whole.size() - 100));
    return true;
}

QString TestMedia::StandIn(const QString& name, const QString& body) const {
    const QString path = Scratch(name);
    QFile script(path);
    if (script.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        script.write("#!/bin/sh\n");
        script.write(body.toUtf8());
        script.write("\n");
    }
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

} // namespace tavik
