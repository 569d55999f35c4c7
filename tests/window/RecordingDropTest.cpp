// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtwin/RecordingDrop.h"
#include "qtwin/TavikWindow.h"
#include "support/MemoryWindow.h"
#include "support/TestMedia.h"
#include "support/ToolSkip.h"

#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QSysInfo>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

#include <map>
#include <string>

namespace tavik {
namespace {

class RecordingDropTest : public testing::Test {
protected:
    RecordingDropTest() : window(errors, help, shell) {}

    void SetUp() override {
        window.ShowAtStartUp();
        drop = window.findChild<RecordingDrop*>(QStringLiteral("RecordingDrop"));
        ASSERT_NE(drop, nullptr);
    }

    std::string TextOf(const char* name) const {
        if (auto* combo = window.findChild<QComboBox*>(QString::fromLatin1(name)))
            return combo->currentText().toStdString();
        return window.findChild<QLineEdit*>(QString::fromLatin1(name))->text().toStdString();
    }
    std::map<std::string, std::string> Fields() const {
        std::map<std::string, std::string> fields;
        for (const char* name :
             {"AudioRateBox", "MonthEdit", "SecEdit", "TotalSecEdit", "TotalEdit", "SepSecEdit"})
            fields[name] = TextOf(name);
        return fields;
    }

    static QMimeData* UriList(const QByteArray& list) {
        auto* data = new QMimeData;
        data->setData(QStringLiteral("text/uri-list"), list);
        return data;
    }
    static QMimeData* Files(const QStringList& paths) {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls << QUrl::fromLocalFile(path);
        data->setUrls(urls);
        return data;
    }

    bool Enter(const QMimeData* data) {
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction | Qt::MoveAction, data,
                              Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        return enter.isAccepted() && enter.dropAction() == Qt::CopyAction;
    }
    // Qt hands a drop to the widget that took the drag's entry.
    bool Drop(const QMimeData* data) {
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton,
                        Qt::NoModifier);
        QApplication::sendEvent(&window, &drop);
        return drop.isAccepted();
    }
    // The ceiling only ends a probe that hangs.
    void WaitForProbe() {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !drop->Busy(); }, 60000));
    }

    MemoryErrorBox errors;
    MemoryHelpDispatch help;
    MemoryShell shell;
    TavikWindow window;
    RecordingDrop* drop = nullptr;
};

TEST_F(RecordingDropTest, TakesLocalFilesOnlyAndProbesNothingBeforeTheDrop) {
    const auto before = Fields();
    auto* addresses = new QMimeData;
    addresses->setUrls({QUrl(QStringLiteral("https://tavik.example.org/a.ts"))});
    auto* mixed = Files({QStringLiteral("/tmp/a.ts")});
    mixed->setUrls(mixed->urls() << QUrl(QStringLiteral("https://tavik.example.org/b.ts")));
    auto* text = new QMimeData;
    text->setText(QStringLiteral("/tmp/a.ts"));
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    const struct {
        const char* name;
        std::unique_ptr<QMimeData> data;
        bool taken;
        QList<QByteArray> paths = {};
    } rows[] = {
        {"one_file", std::unique_ptr<QMimeData>(Files({QStringLiteral("/tmp/a.ts")})), true},
        {"two_files",
         std::unique_ptr<QMimeData>(Files({QStringLiteral("/tmp/a.ts"), QStringLiteral("/tmp/b")})),
         true},
        {"web_address", std::unique_ptr<QMimeData>(addresses), false},
        {"file_and_address", std::unique_ptr<QMimeData>(mixed), false},
        {"text", std::unique_ptr<QMimeData>(text), false},
        {"localhost",
         std::unique_ptr<QMimeData>(UriList("# a comment\r\nfile://localhost/tmp/a.ts\r\n"
                                            "FILE://LocalHost/tmp/b.ts\r\n")),
         true,
         {"/tmp/a.ts", "/tmp/b.ts"}},
        {"this_host",
         std::unique_ptr<QMimeData>(UriList("file://" + host + "/tmp/a.ts")),
         true,
         {"/tmp/a.ts"}},
        {"other_host", std::unique_ptr<QMimeData>(UriList("file://elsewhere.invalid/tmp/a.ts")),
         false},
        {"percent_decoded_to_bytes",
         std::unique_ptr<QMimeData>(UriList("file:///tmp/%83e%83X%83g%20%231.ts?query")),
         true,
         {"/tmp/\x83\x65\x83X\x83g #1.ts"}},
        {"nul_byte", std::unique_ptr<QMimeData>(UriList("file:///tmp/a%00.ts")), false},
        {"no_path", std::unique_ptr<QMimeData>(UriList("file://localhost")), false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Enter(row.data.get()), row.taken);
        if (!row.paths.isEmpty()) {
            EXPECT_EQ(RecordingDrop::LocalFiles(row.data.get()), row.paths);
        }
        EXPECT_FALSE(drop->Busy());
    }
    EXPECT_EQ(Fields(), before);
    // Every drag reaches the window: no field takes dropped text as input.
    EXPECT_TRUE(window.acceptDrops());
    for (const QWidget* child : window.findChildren<QWidget*>())
        EXPECT_FALSE(child->acceptDrops()) << child->objectName().toStdString();
}

TEST_F(RecordingDropTest, DroppedRecordingsFillTimeAndAudioRate) {
    const TestMedia& media = TestMedia::Get();
    if (!media.Ready()) TAVIK_SKIP_WITHOUT("ffmpeg", media.Why().toStdString());
    window.findChild<QLineEdit*>(QStringLiteral("TotalEdit"))->setText(QStringLiteral("4"));
    // Another rate than the recordings' 192, so the drop is seen writing it.
    window.findChild<QComboBox*>(QStringLiteral("AudioRateBox"))->setEditText(QStringLiteral("64"));
    // rec.ts under its Shift-JIS name, from a file manager that names the host.
    const std::unique_ptr<QMimeData> files(
        UriList("file://localhost" + media.File(kShiftJisName).toPercentEncoding("/") + "\r\n" +
                QUrl::fromLocalFile(media.Path("rec.mkv")).toEncoded() + "\r\n"));
    ASSERT_TRUE(Enter(files.get()));
    ASSERT_TRUE(Drop(files.get()));
    WaitForProbe();
    EXPECT_EQ(Fields(), (std::map<std::string, std::string>{{"AudioRateBox", "192"},
                                                            {"MonthEdit", "0"},
                                                            {"SecEdit", "6"},
                                                            {"TotalSecEdit", "6"},
                                                            {"TotalEdit", "1"},
                                                            {"SepSecEdit", "6"}}));
    EXPECT_TRUE(errors.shown.empty());
}

// A probe that hangs: the window takes input meanwhile, a second drop is
// refused, and the time-out reaches the error box with no field changed.
// Everything before the wait happens before the event loop runs again, so
// before the probe can end.
TEST_F(RecordingDropTest, HangingProbeIsKilledAndTheWindowKeepsWorking) {
    const TestMedia& media = TestMedia::Get();
    if (!media.Ready()) TAVIK_SKIP_WITHOUT("ffmpeg", media.Why().toStdString());
    ProbeOptions options;
    options.program = media.StandIn("window-hang", QStringLiteral("exec sleep 600"));
    options.timeLimitMs = 500;
    drop->SetProbeOptions(options);
    const std::unique_ptr<QMimeData> files(Files({media.Path("rec.ts")}));
    ASSERT_TRUE(Enter(files.get()));
    ASSERT_TRUE(Drop(files.get()));
    EXPECT_TRUE(drop->Busy());
    EXPECT_FALSE(Enter(files.get()));
    EXPECT_FALSE(Drop(files.get()));

    auto* totalEdit = window.findChild<QLineEdit*>(QStringLiteral("TotalEdit"));
    totalEdit->selectAll();
    QTest::keyClicks(totalEdit, QStringLiteral("4"));
    EXPECT_EQ(TextOf("SepSecEdit"), "450");
    EXPECT_TRUE(drop->Busy());
    const auto typed = Fields();

    WaitForProbe();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(Fields(), typed);
    ASSERT_EQ(errors.shown.size(), 1u);
    EXPECT_EQ(errors.shown[0].caption, "Tavik");
    EXPECT_EQ(errors.shown[0].text, "「rec.ts」の調査が 0.5 秒以内に終わらないため中止しました。");
    EXPECT_TRUE(Enter(files.get())); // free for the next drop
}

// After 300 ms the busy cursor shows, seen while the probe still hangs; Esc
// stops the probe, and nothing else happens: no field changes, no message.
TEST_F(RecordingDropTest, EscStopsTheProbeWithFieldsUnchanged) {
    const TestMedia& media = TestMedia::Get();
    if (!media.Ready()) TAVIK_SKIP_WITHOUT("ffmpeg", media.Why().toStdString());
    ProbeOptions options;
    options.program = media.StandIn("window-esc", QStringLiteral("exec sleep 600"));
    options.timeLimitMs = 60000;
    drop->SetProbeOptions(options);
    const auto before = Fields();
    const std::unique_ptr<QMimeData> files(Files({media.Path("rec.ts")}));
    ASSERT_TRUE(Enter(files.get()));
    ASSERT_TRUE(Drop(files.get()));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::overrideCursor() != nullptr; }, 60000));
    EXPECT_TRUE(drop->Busy());
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);

    auto* minutes = window.findChild<QLineEdit*>(QStringLiteral("MonthEdit"));
    minutes->setFocus();
    QTest::keyClick(minutes, Qt::Key_Escape);
    EXPECT_FALSE(drop->Busy());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    QCoreApplication::processEvents(); // whatever the killed child left queued
    EXPECT_EQ(Fields(), before);
    EXPECT_TRUE(errors.shown.empty());
    EXPECT_TRUE(Enter(files.get())); // free for the next drop
}

// What the user types while the probe runs stays; the other fields are filled.
TEST_F(RecordingDropTest, FieldEditedMeanwhileIsKept) {
    const TestMedia& media = TestMedia::Get();
    if (!media.Ready()) TAVIK_SKIP_WITHOUT("ffmpeg", media.Why().toStdString());
    const struct {
        const char* field;
        const char* typed;
        std::map<std::string, std::string> after;
    } rows[] = {
        {"MonthEdit", "45", {{"AudioRateBox", "192"}, {"MonthEdit", "45"}, {"SecEdit", "0"}}},
        {"AudioRateBox", "64", {{"AudioRateBox", "64"}, {"MonthEdit", "0"}, {"SecEdit", "3"}}},
    };
    const std::unique_ptr<QMimeData> files(Files({media.Path("rec.ts")}));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.field);
        ASSERT_TRUE(Enter(files.get()));
        ASSERT_TRUE(Drop(files.get()));
        // Typed before the event loop runs again: the probe cannot have ended.
        auto* field = window.findChild<QWidget*>(QString::fromLatin1(row.field));
        auto* edit = qobject_cast<QLineEdit*>(field);
        if (!edit) edit = static_cast<QComboBox*>(field)->lineEdit();
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromLatin1(row.typed));
        WaitForProbe();
        for (const auto& [name, text] : row.after)
            EXPECT_EQ(TextOf(name.c_str()), text) << name;
        EXPECT_TRUE(errors.shown.empty());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
}

} // namespace
} // namespace tavik
