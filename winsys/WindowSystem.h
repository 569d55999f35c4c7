// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The operations the window's logic needs from the window system. TTavikFrm
// is written against these alone; the Qt window and the in-memory window are
// the two realisations.

#include <functional>
#include <string>

namespace tavik {

using Handler = std::function<void()>;

// One line of text: an edit field or the edit part of a combo box.
class Field {
public:
    virtual ~Field() = default;

    virtual std::string Text() const = 0;

    // A write of equal text (byte for byte) does nothing. Otherwise the text
    // is replaced and the change handler, if any, runs once through the
    // guard before the write returns.
    void SetText(const std::string& text) {
        if (text != Text()) Replace(text);
    }

    // Handlers run through the guard, for typed changes and writes alike.
    virtual void SetChangeHandler(Handler handler) = 0;
    virtual void SetDoubleClickHandler(Handler handler) = 0;

protected:
    virtual void Replace(const std::string& text) = 0;
};

class CheckBox {
public:
    virtual ~CheckBox() = default;
    virtual bool Checked() const = 0;
};

// A drop-down list the user picks one of its items from; the logic reads
// the chosen item's key, empty when none is chosen.
class Choice {
public:
    virtual ~Choice() = default;
    virtual std::string Key() const = 0;
};

class Button {
public:
    virtual ~Button() = default;
    virtual void SetClickHandler(Handler handler) = 0;
};

// Modal box with one OK button and the stop icon.
class ErrorBox {
public:
    virtual ~ErrorBox() = default;
    virtual void Show(const std::string& text, const std::string& caption) = 0;
};

// The application's help dispatch: command 3 shows the contents of the
// active window's help file, command 2 says the viewer is no longer needed.
class HelpDispatch {
public:
    static constexpr unsigned kContents = 3;
    static constexpr unsigned kQuit = 2;

    virtual ~HelpDispatch() = default;
    virtual void RunHelpCommand(unsigned command, unsigned long data) = 0;
};

// Opens a mail or web address with the user's default program; any failure
// is ignored.
class Shell {
public:
    virtual ~Shell() = default;
    virtual void Open(const std::string& target) = 0;
};

} // namespace tavik
