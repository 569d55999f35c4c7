// SPDX-License-Identifier: GPL-3.0-or-later
// Build tool: writes a pixel-art XPM icon as PNG, pixel for pixel.
#include <QImage>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s INPUT.xpm OUTPUT.png\n", argv[0]);
        return 2;
    }
    const QImage image(QString::fromLocal8Bit(argv[1]));
    if (image.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    return image.save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
}
