// SPDX-License-Identifier: GPL-3.0-or-later
#include "Application.h"

#include "TavikVersion.h"
#include "qtwin/QtErrorBox.h"
#include "qtwin/QtHelpViewer.h"
#include "qtwin/TavikWindow.h"
#include "qtwin/WindowStyle.h"
#include "ui/icons/tavik16.xpm"
#include "ui/icons/tavik32.xpm"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>

#include <iostream>

namespace tavik {

void SetUpApplication(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("tavik"));
    QApplication::setApplicationVersion(QStringLiteral(TAVIK_VERSION));
    // No display name: Qt would append it to every window title that does not
    // end in it, and the help window's title is its document's own. The
    // title "Tavik" is the main window's and the error box's caption.
    // The desktop entry names the program to desktops: on Wayland by this
    // name, on X by StartupWMClass, which matches the window's class, the
    // application name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Tavik"));
    SetUpStyle(app);
    // Read from the XPM sources compiled in: a file or resource would have Qt
    // load every image-format plugin to ask whether it reads XPM first.
    QIcon icon;
    icon.addPixmap(QPixmap(tavik16));
    icon.addPixmap(QPixmap(tavik32));
    QApplication::setWindowIcon(icon);
}

void WarnOfMissingText(const TavikWindow& window, std::ostream& out) {
    const QStringList& missing = window.MissingText();
    if (missing.isEmpty()) return;
    out << "tavik: no installed font draws " << missing.join(QStringLiteral(", nor ")).toStdString()
        << "; install the Debian package fonts-ipafont-gothic\n";
}

int RunTavik(QApplication& app) {
    SetUpApplication(app);
    QtHelpDispatch help(QStringLiteral(TAVIK_HELP_FILE));
    QtErrorBox errorBox;
    QtShell shell;
    {
        TavikWindow window(errorBox, help, shell);
        WarnOfMissingText(window, std::cerr);
        window.ShowAtStartUp();
        app.exec();
    }
    help.RunHelpCommand(HelpDispatch::kQuit, 0);
    return 0;
}

} // namespace tavik
