// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for Tavik's start-up: an empty Qt window that shows one
// label of Japanese text, so font loading counts on both sides.
#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("音声 映像 ﾌｧｲﾙｻｲｽﾞ 時間"));
    label.setWindowTitle(QStringLiteral("Reference"));
    label.show();
    return app.exec();
}
