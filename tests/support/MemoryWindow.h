// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The window-system operations held in memory: fields of UTF-8 text, a check
// box, a drop-down list, buttons, and an error box, help dispatch and shell
// that record what they are asked to do. Tests and benchmarks drive TTavikFrm
// through it, as a user would through the Qt window.

#include "ui/TavikSrc.h"
#include "winsys/EventDelivery.h"
#include "winsys/WindowSystem.h"

#include <string>
#include <utility>
#include <vector>

namespace tavik {

// Every replaced text in order, as "Name=text", across the fields that share it.
using WriteLog = std::vector<std::string>;

class MemoryField : public Field {
public:
    MemoryField(EventDelivery& delivery, WriteLog& log, std::string name, std::string text,
                std::vector<std::string> items = {})
        : delivery_(delivery), log_(log), name_(std::move(name)), text_(std::move(text)),
          items_(std::move(items)) {}

    std::string Text() const override { return text_; }
    const std::vector<std::string>& Items() const { return items_; }
    void SetChangeHandler(Handler handler) override { onChange_ = std::move(handler); }
    void SetDoubleClickHandler(Handler handler) override { onDoubleClick_ = std::move(handler); }

    // What a user does: typing is a write like any other.
    void Type(const std::string& text) { SetText(text); }
    void DoubleClick() { delivery_.Deliver(onDoubleClick_); }

protected:
    void Replace(const std::string& text) override {
        text_ = text;
        log_.push_back(name_ + "=" + text);
        delivery_.Deliver(onChange_);
    }

private:
    EventDelivery& delivery_;
    WriteLog& log_;
    std::string name_;
    std::string text_;
    std::vector<std::string> items_;
    Handler onChange_;
    Handler onDoubleClick_;
};

class MemoryCheckBox : public CheckBox {
public:
    explicit MemoryCheckBox(bool checked) : checked_(checked) {}
    bool Checked() const override { return checked_; }
    void SetChecked(bool checked) { checked_ = checked; }

private:
    bool checked_;
};

// Its items are their keys; the first is chosen at start.
class MemoryChoice : public Choice {
public:
    explicit MemoryChoice(std::vector<std::string> items)
        : items_(std::move(items)), key_(items_.empty() ? "" : items_.front()) {}
    std::string Key() const override { return key_; }
    const std::vector<std::string>& Items() const { return items_; }
    // What a user does: picks an item from the list.
    void Select(const std::string& key) { key_ = key; }

private:
    std::vector<std::string> items_;
    std::string key_;
};

class MemoryButton : public Button {
public:
    explicit MemoryButton(EventDelivery& delivery) : delivery_(delivery) {}
    void SetClickHandler(Handler handler) override { onClick_ = std::move(handler); }
    void Click() { delivery_.Deliver(onClick_); }

private:
    EventDelivery& delivery_;
    Handler onClick_;
};

class MemoryErrorBox : public ErrorBox {
public:
    struct Shown {
        std::string text;
        std::string caption;
    };
    void Show(const std::string& text, const std::string& caption) override {
        shown.push_back({text, caption});
    }
    std::vector<Shown> shown;
};

class MemoryHelpDispatch : public HelpDispatch {
public:
    void RunHelpCommand(unsigned command, unsigned long data) override {
        commands.emplace_back(command, data);
    }
    std::vector<std::pair<unsigned, unsigned long>> commands;
};

class MemoryShell : public Shell {
public:
    void Open(const std::string& target) override { opened.push_back(target); }
    std::vector<std::string> opened;
};

// The whole main window in memory, created with its start-up texts (no
// change handler runs); Show() runs FormShow as the real window's show does.
class MemoryWindow {
public:
    MemoryWindow();

    void Show() {
        delivery.Deliver([this] { frm.FormShow(); });
    }

    // Every field, by its layout name.
    std::vector<std::pair<std::string, const MemoryField*>> Fields() const;

    MemoryErrorBox errorBox;
    MemoryHelpDispatch help;
    MemoryShell shell;
    EventDelivery delivery;
    WriteLog writes;

#define TAVIK_MEMORY_CONTROL(Kind, Name) Memory##Kind Name;
    TAVIK_CONTROLS(TAVIK_MEMORY_CONTROL)
#undef TAVIK_MEMORY_CONTROL

    TTavikFrm frm;

private:
    MemoryField NewField(const char* name);
    MemoryButton NewButton(const char* name);
    MemoryCheckBox NewCheckBox(const char* name);
    MemoryChoice NewChoice(const char* name);
};

} // namespace tavik
