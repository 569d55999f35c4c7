// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The window-system operations realised with Qt widgets: a QLineEdit (or the
// edit part of an editable QComboBox) is a field, a QAbstractButton a button,
// a QComboBox that is not editable a choice.
// Each delivers its events through the guard.

#include "winsys/EventDelivery.h"
#include "winsys/WindowSystem.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTextBrowser>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLineEdit;

class QWidget;

namespace tavik {

class QtField : public QObject, public Field {
public:
    QtField(QLineEdit* edit, EventDelivery& delivery);

    std::string Text() const override;
    void SetChangeHandler(Handler handler) override { onChange_ = std::move(handler); }
    void SetDoubleClickHandler(Handler handler) override { onDoubleClick_ = std::move(handler); }

protected:
    void Replace(const std::string& text) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* edit_;
    EventDelivery& delivery_;
    Handler onChange_;
    Handler onDoubleClick_;
};

class QtButton : public Button {
public:
    QtButton(QAbstractButton* button, EventDelivery& delivery);
    void SetClickHandler(Handler handler) override { onClick_ = std::move(handler); }

private:
    Handler onClick_;
};

class QtCheckBox : public CheckBox {
public:
    explicit QtCheckBox(QCheckBox* box) : box_(box) {}
    bool Checked() const override;

private:
    QCheckBox* box_;
};

class QtChoice : public Choice {
public:
    explicit QtChoice(QComboBox* box) : box_(box) {}
    int Index() const override;

private:
    QComboBox* box_;
};

// QMessageBox with the stop icon and one OK button, application-modal.
class QtErrorBox : public ErrorBox {
public:
    void Show(const std::string& text, const std::string& caption) override;
};

// Opens the address with the desktop's default program.
class QtShell : public Shell {
public:
    void Open(const std::string& target) override;
};

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
