// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The logic tests' window: the in-memory window, shown, its start-up writes
// forgotten, with the calculator page's fields and the error box's texts as
// a user reads them.

#include "support/MemoryWindow.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace tavik {

inline const std::string kIntDivide = "ゼロによる除算.";
inline const std::string kFloatDivide = "0 による浮動小数点数除算.";
inline const std::string kInvalidOp = "不正な浮動小数点数演算命令.";
inline const std::string kTooSmall = "このファイルサイズには音声だけでも収まりません。";

class TavikFrmTest : public testing::Test {
protected:
    TavikFrmTest() {
        w.Show();
        w.writes.clear();
    }

    // The calculator page's fields by name, as a user reads them.
    std::map<std::string, std::string> Fields() const {
        std::map<std::string, std::string> texts;
        for (const auto& [name, field] : w.Fields())
            if (name != "MailEdit" && name != "URLEdit") texts[name] = field->Text();
        return texts;
    }

    std::vector<std::string> Errors() const {
        std::vector<std::string> texts;
        for (const auto& shown : w.errorBox.shown) {
            EXPECT_EQ(shown.caption, "Tavik");
            texts.push_back(shown.text);
        }
        return texts;
    }

    MemoryWindow w;
};

inline const std::map<std::string, std::string> kStartUp = {
    {"AudioRateBox", "192"}, {"VideoRateBox", "1150"}, {"SizeBox", "650"},
    {"MonthEdit", "30"},     {"SecEdit", "0"},         {"TotalSecEdit", "1800"},
    {"PieceEdit", "1"},      {"TotalEdit", "1"},       {"SepSecEdit", "1800"}};

} // namespace tavik
