// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for tavik-calc's start to exit: a program that links Qt Core
// and prints one line, so loading the library counts on both sides.
#include <QString>

#include <cstdio>

int main(int argc, char* argv[]) {
    std::puts(QString::fromLocal8Bit(argv[argc - 1]).toUtf8().constData());
    return 0;
}
