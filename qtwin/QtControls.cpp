// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtControls.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>

namespace tavik {

QtField::QtField(QLineEdit* edit, EventDelivery& delivery) : edit_(edit), delivery_(delivery) {
    // textChanged comes for typing and for setText alike, synchronously.
    connect(edit_, &QLineEdit::textChanged, this, [this] { delivery_.Deliver(onChange_); });
    // A combo box takes the focus for its edit part.
    edit_->installEventFilter(this);
    if (QWidget* proxy = edit_->focusProxy()) proxy->installEventFilter(this);
}

QtField::QtField(QComboBox* box, EventDelivery& delivery) : QtField(box->lineEdit(), delivery) {}

std::string QtField::Text() const {
    return edit_->text().toStdString();
}

// A number too long for its field shows its start: a cut at the right reads
// as "more follows", a cut at the left would drop the leading digits. Where
// the user types, the cursor stays where it is.
void QtField::Replace(const std::string& text) {
    edit_->setText(QString::fromStdString(text));
    if (!edit_->hasFocus()) edit_->setCursorPosition(0);
}

bool QtField::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && event->type() == QEvent::MouseButtonDblClick && onDoubleClick_) {
        delivery_.Deliver(onDoubleClick_);
        return true;
    }
    // The field the user leaves shows its start too; not where the window
    // only loses the focus for a while, so typing goes on where it was.
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            edit_->setCursorPosition(0);
    }
    return QObject::eventFilter(watched, event);
}

QtButton::QtButton(QAbstractButton* button, EventDelivery& delivery) {
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [this, &delivery] { delivery.Deliver(onClick_); });
}

bool QtCheckBox::Checked() const {
    return box_->isChecked();
}

// Each item holds its key as its data.
std::string QtChoice::Key() const {
    return box_->currentData().toString().toStdString();
}

} // namespace tavik
