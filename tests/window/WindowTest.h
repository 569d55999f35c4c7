// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the window suites share: the real window on offscreen, with the
// in-memory error box, help dispatch and shell, and a watchdog for modal
// dialogs nobody asked for.

#include "qtwin/TavikWindow.h"
#include "support/MemoryWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <string>

namespace tavik {

// Fails the running test, instead of hanging, when a modal dialog opens
// that the test did not ask for.
class ModalWatchdog {
public:
    ModalWatchdog() {
        timer_.setInterval(100);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
            if (QWidget* modal = QApplication::activeModalWidget(); modal && !expected_) {
                ADD_FAILURE() << "unexpected modal dialog: " << modal->windowTitle().toStdString();
                modal->close();
            }
        });
        timer_.start();
    }
    void Expect(bool expected) { expected_ = expected; }

private:
    QTimer timer_;
    bool expected_ = false;
};

class TavikWindowTest : public testing::Test {
protected:
    TavikWindowTest() : window(errors, help, shell) {}

    void ShowWindow() {
        window.ShowAtStartUp();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    template <class T> T* Find(const char* name) const {
        T* w = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    std::string TextOf(const char* name) const {
        if (auto* combo = window.findChild<QComboBox*>(QString::fromLatin1(name)))
            return combo->currentText().toStdString();
        return Find<QLineEdit>(name)->text().toStdString();
    }
    void Click(const char* name) { QTest::mouseClick(Find<QPushButton>(name), Qt::LeftButton); }
    void Replace(const char* name, const char* text) {
        QLineEdit* edit = Find<QLineEdit>(name);
        edit->setFocus(Qt::TabFocusReason);
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromUtf8(text));
    }

    ModalWatchdog watchdog;
    MemoryErrorBox errors;
    MemoryHelpDispatch help;
    MemoryShell shell;
    TavikWindow window;
};

} // namespace tavik
