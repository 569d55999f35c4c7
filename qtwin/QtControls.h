// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The window's controls as window-system operations, realised with Qt
// widgets: a QLineEdit (or the edit part of an editable QComboBox) is a
// field, a QAbstractButton a button, a QComboBox that is not editable a
// choice. Each delivers its events through the guard; each is made from its
// widget and the guard, so the window makes them all alike from one list.

#include "winsys/EventDelivery.h"
#include "winsys/WindowSystem.h"

#include <QObject>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tavik {

class QtField : public QObject, public Field {
public:
    QtField(QLineEdit* edit, EventDelivery& delivery);
    // The edit part of an editable combo box.
    QtField(QComboBox* box, EventDelivery& delivery);

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
    // Nothing of a check box is delivered: the logic only reads it.
    QtCheckBox(QCheckBox* box, EventDelivery&) : box_(box) {}
    bool Checked() const override;

private:
    QCheckBox* box_;
};

class QtChoice : public Choice {
public:
    // The logic only reads a choice; picking an item runs no handler.
    QtChoice(QComboBox* box, EventDelivery&) : box_(box) {}
    std::string Key() const override;

private:
    QComboBox* box_;
};

} // namespace tavik
