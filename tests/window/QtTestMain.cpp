// SPDX-License-Identifier: GPL-3.0-or-later
// main() for the window tests: a QApplication on the offscreen platform, set
// up as the program sets itself up (in the language the environment asks
// for), around GoogleTest, with a configuration
// folder of its own: the window reads and writes the user's settings.
#include "app/Application.h"
#include "i18n/Language.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char* argv[]) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const QTemporaryDir config;
    if (!config.isValid()) return 1;
    setenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()).constData(), 1);
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    tavik::InstallTranslations(tavik::MessageLanguage()); // as the program does
    tavik::SetUpApplication(app);
    return RUN_ALL_TESTS();
}
