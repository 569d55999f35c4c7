// SPDX-License-Identifier: GPL-3.0-or-later
#include "MemoryWindow.h"

#include "core/Container.h"
#include "winsys/AppTitle.h"

#include <map>
#include <stdexcept>

namespace tavik {

namespace {

// The form's start-up texts and list items, which the Qt window reads from
// the form itself; a window test holds the two to each other.
struct StartUp {
    std::string text;
    std::vector<std::string> items;
};

const std::map<std::string, StartUp> kStartUp = {
    {"AudioRateBox", {"192", {"192"}}},
    {"VideoRateBox", {"1150", {"1150"}}},
    {"SizeBox", {"650", {"650", "700", "2375"}}},
    {"MonthEdit", {"30", {}}},
    {"SecEdit", {"0", {}}},
    {"TotalSecEdit", {"0", {}}},
    {"PieceEdit", {"1", {}}},
    {"TotalEdit", {"1", {}}},
    {"SepSecEdit", {"", {}}},
    {"NearRateChk", {"checked", {}}},
    {"MailEdit", {"mailto:i@example.org", {}}},
    {"URLEdit", {"https://tavik.example.org/", {}}},
};

// The settings page's lists hold the core's keys, as the Qt window's items do.
template <class Rows> StartUp KeysOf(const Rows& rows) {
    StartUp list;
    for (const auto& row : rows)
        list.items.emplace_back(row.key);
    return list;
}

const StartUp& StartUpOf(const char* name) {
    static const StartUp containers = KeysOf(kContainers), frameRates = KeysOf(kFrameRates);
    if (std::string(name) == "ContainerBox") return containers;
    if (std::string(name) == "FpsBox") return frameRates;
    const auto found = kStartUp.find(name);
    if (found == kStartUp.end()) throw std::logic_error(std::string("no start-up for ") + name);
    return found->second;
}

using FieldList = std::vector<std::pair<std::string, const MemoryField*>>;

void Collect(FieldList& fields, const char* name, const MemoryField& field) {
    fields.emplace_back(name, &field);
}
template <class Control> void Collect(FieldList&, const char*, const Control&) {}

} // namespace

#define TAVIK_NEW_CONTROL(Kind, Name) Name(New##Kind(#Name)),
#define TAVIK_CONTROL_NAME(Kind, Name) Name,

MemoryWindow::MemoryWindow()
    : delivery(errorBox, kApplicationTitle),
      TAVIK_CONTROLS(TAVIK_NEW_CONTROL)
          frm(TavikControls{TAVIK_CONTROLS(TAVIK_CONTROL_NAME)}, help, shell) {}

#undef TAVIK_NEW_CONTROL
#undef TAVIK_CONTROL_NAME

FieldList MemoryWindow::Fields() const {
    FieldList fields;
#define TAVIK_COLLECT(Kind, Name) Collect(fields, #Name, Name);
    TAVIK_CONTROLS(TAVIK_COLLECT)
#undef TAVIK_COLLECT
    return fields;
}

MemoryField MemoryWindow::NewField(const char* name) {
    const StartUp& startUp = StartUpOf(name);
    return MemoryField(delivery, writes, name, startUp.text, startUp.items);
}

MemoryButton MemoryWindow::NewButton(const char*) {
    return MemoryButton(delivery);
}

MemoryCheckBox MemoryWindow::NewCheckBox(const char* name) {
    return MemoryCheckBox(StartUpOf(name).text == "checked");
}

MemoryChoice MemoryWindow::NewChoice(const char* name) {
    return MemoryChoice(StartUpOf(name).items);
}

} // namespace tavik
