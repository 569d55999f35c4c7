// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtHelpViewer.h"

#include "i18n/Language.h"
#include "x11/WindowManager.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

namespace tavik {

QtHelpDispatch::QtHelpDispatch(QString applicationHelpFile)
    : applicationHelpFile_(std::move(applicationHelpFile)) {}

QtHelpDispatch::~QtHelpDispatch() {
    delete viewer_;
}

// A bare name is looked up beside the application's help file; a file not
// installed there is taken from the documents built into the program. In
// English, the English page beside it ("Tavik_en.hlp") comes first.
QString QtHelpDispatch::Resolve(const QString& helpFile) const {
    const QDir folder = QFileInfo(applicationHelpFile_).dir();
    const QFileInfo name(helpFile);
    QStringList candidates{name.fileName()};
    if (InstalledLanguage() == Language::English)
        candidates.prepend(name.completeBaseName() + QStringLiteral("_en.") + name.suffix());
    for (const QString& candidate : candidates) {
        for (const QString& path :
             {folder.filePath(candidate), QStringLiteral(":/help/") + candidate})
            if (QFileInfo::exists(path)) return path;
    }
    return folder.filePath(helpFile);
}

void QtHelpDispatch::RunHelpCommand(unsigned command, unsigned long /*data*/) {
    if (command == kQuit) {
        delete viewer_;
        return;
    }
    if (command != kContents) return;

    QString helpFile;
    QWidget* active = QApplication::activeWindow();
    if (active) helpFile = active->property(kHelpFileProperty).toString();
    if (helpFile.isEmpty()) helpFile = applicationHelpFile_;
    if (helpFile.isEmpty()) return;

    if (!viewer_) {
        viewer_ = new QTextBrowser;
        viewer_->setAttribute(Qt::WA_DeleteOnClose);
        viewer_->setAttribute(Qt::WA_QuitOnClose,
                              false); // closing the main window ends the program
        SetTopMost(*viewer_, true);
        viewer_->setOpenExternalLinks(true);
        // At most the screen's free area, less the frame the asking window has.
        QSize size(520, 560);
        const QScreen* screen = active ? active->screen() : QGuiApplication::primaryScreen();
        if (screen) {
            const QSize frame = active ? active->frameGeometry().size() - active->size() : QSize();
            size = size.boundedTo(screen->availableGeometry().size() - frame);
        }
        viewer_->resize(size);
    }
    // The help reads in the asking window's family, at the viewer's own size.
    if (active && active != viewer_) {
        QFont font = viewer_->font();
        font.setFamilies(active->font().families());
        viewer_->setFont(font);
    }
    QFile file(Resolve(helpFile));
    if (file.open(QIODevice::ReadOnly)) {
        viewer_->setHtml(QString::fromUtf8(file.readAll()));
    } else {
        viewer_->setPlainText(
            QCoreApplication::translate("QtHelpDispatch", "ヘルプファイル %1 が見つかりません。")
                .arg(helpFile));
    }
    viewer_->setWindowTitle(viewer_->documentTitle());
    viewer_->show();
    viewer_->raise();
    viewer_->activateWindow();
}

} // namespace tavik
