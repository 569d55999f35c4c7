// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "winsys/WindowSystem.h"

#include <QPointer>
#include <QString>
#include <QTextBrowser>

namespace tavik {

// The help dispatch with a help viewer of the program's own: command 3 shows
// the help document in a window that is not modal, command 2 closes it.
class QtHelpDispatch : public HelpDispatch {
public:
    explicit QtHelpDispatch(QString applicationHelpFile);
    ~QtHelpDispatch() override;

    void RunHelpCommand(unsigned command, unsigned long data) override;

    // The open help window, if any.
    QTextBrowser* Viewer() const { return viewer_; }

    // The name of the property that gives a top-level window its help file.
    static constexpr const char* kHelpFileProperty = "helpFile";

private:
    QString Resolve(const QString& helpFile) const;

    QString applicationHelpFile_;
    QPointer<QTextBrowser> viewer_;
};

} // namespace tavik
