// SPDX-License-Identifier: GPL-3.0-or-later
// Build tool: writes a pixel-art icon as PNG, scaled by a whole factor with
// no smoothing, so the 48-pixel icon keeps the hard edges of the 16-pixel one.
#include <QImage>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s INPUT.xpm FACTOR OUTPUT.png\n", argv[0]);
        return 2;
    }
    const QImage image(QString::fromLocal8Bit(argv[1]));
    const int factor = std::atoi(argv[2]);
    if (image.isNull() || factor < 1) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const QImage scaled =
        image.scaled(image.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return scaled.save(QString::fromLocal8Bit(argv[3]), "PNG") ? 0 : 1;
}
