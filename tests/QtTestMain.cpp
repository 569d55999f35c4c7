// SPDX-License-Identifier: GPL-3.0-or-later
// main() for the window tests: a QApplication on the offscreen platform, set
// up as the program sets itself up, around GoogleTest.
#include "app/Application.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char* argv[]) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    tavik::SetUpApplication(app);
    return RUN_ALL_TESTS();
}
