// SPDX-License-Identifier: GPL-3.0-or-later
// The order of writes and cascades, the guard, and a restless user.
#include "TavikFrmTest.h"
#include "core/CalcError.h"
#include "core/Container.h"
#include "core/IntField.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tavik {
namespace {

TEST_F(TavikFrmTest, RecordableTimeWritesMinutesThenSeconds) {
    w.GetTimeBtn.Click();
    // Each write of the time runs MonthEditChange inside it: first with the
    // new minutes and the old seconds, then with both new values.
    EXPECT_EQ(w.writes, (WriteLog{"MonthEdit=65", "TotalSecEdit=3900", "SepSecEdit=3900",
                                  "SecEdit=9", "TotalSecEdit=3909", "SepSecEdit=3909"}));
}

TEST_F(TavikFrmTest, TotalSecondsButtonResetsTheSplitThenWritesMinutesAndSeconds) {
    w.PieceEdit.Type("3");
    w.TotalEdit.Type("4");
    w.TotalSecEdit.Type(" 100");
    w.writes.clear();
    w.TotalSecBtn.Click();
    EXPECT_EQ(w.writes,
              (WriteLog{"TotalEdit=1", "SepSecEdit=100", "PieceEdit=1", "TotalSecEdit=100",
                        "MonthEdit=1", "TotalSecEdit=60", "SepSecEdit=60", "SecEdit=40",
                        "TotalSecEdit=100", "SepSecEdit=100"}));
}

// A zero time fails after the size and the time are read, before the audio
// rate, with or without a container.
TEST(TavikFrmReads, ZeroTimeVideoFailsBeforeTheAudioRateIsRead) {
    for (const char* container : {"none", "ts"}) {
        SCOPED_TRACE(container);
        MemoryWindow w;
        w.Show();
        w.ContainerBox.Select(container);
        w.MonthEdit.Type("0");
        w.TotalSecEdit.Type("100");
        w.SizeBox.Type(" 650");
        w.AudioRateBox.Type("0192");
        w.writes.clear();
        w.GetVideoBtn.Click();
        ASSERT_EQ(w.errorBox.shown.size(), 1u);
        EXPECT_EQ(w.errorBox.shown[0].text, kFloatDivide);
        EXPECT_EQ(w.writes, (WriteLog{"SizeBox=650", "SepSecEdit=100"}));
    }
}

TEST_F(TavikFrmTest, NonCanonicalEntryIsReplacedByOneNestedChange) {
    w.MonthEdit.Type("07");
    EXPECT_EQ(w.writes,
              (WriteLog{"MonthEdit=07", "MonthEdit=7", "TotalSecEdit=420", "SepSecEdit=420"}));
}

TEST_F(TavikFrmTest, TimeChangeResetsSplitBeforeComputing) {
    w.PieceEdit.Type("3");
    w.TotalEdit.Type("4");
    w.writes.clear();
    w.SecEdit.Type("5");
    EXPECT_EQ(w.writes, (WriteLog{"SecEdit=5", "TotalEdit=1", "SepSecEdit=1800", "PieceEdit=1",
                                  "TotalSecEdit=1805", "SepSecEdit=1805"}));
}

TEST_F(TavikFrmTest, EqualTextRunsNothing) {
    w.MonthEdit.Type("30");
    w.TotalEdit.Type("1");
    w.GetSizeBtn.Click();
    w.GetSizeBtn.Click();
    EXPECT_EQ(w.writes, (WriteLog{"SizeBox=295"}));
}

TEST_F(TavikFrmTest, FailureKeepsNormalisedInputsAndWindowStaysUsable) {
    w.TotalEdit.Type("0");
    w.MonthEdit.SetText("030"); // runs MonthEditChange, which resets TotalEdit
    w.TotalEdit.Type("0");
    w.AudioRateBox.Type("0192");
    w.VideoRateBox.Type("+1150");
    w.writes.clear();
    w.GetSizeBtn.Click();
    EXPECT_EQ(Errors(), std::vector<std::string>{kIntDivide});
    EXPECT_EQ(w.writes, (WriteLog{"AudioRateBox=192", "VideoRateBox=1150"}));
    EXPECT_EQ(w.SizeBox.Text(), "650");

    w.TotalEdit.Type("1");
    w.GetSizeBtn.Click();
    EXPECT_EQ(w.SizeBox.Text(), "295");
    EXPECT_EQ(Errors().size(), 1u);
}

TEST_F(TavikFrmTest, HelpButtonAsksForContents) {
    w.HelpBtn.Click();
    EXPECT_EQ(w.help.commands, (std::vector<std::pair<unsigned, unsigned long>>{{3, 0}}));
}

TEST_F(TavikFrmTest, DoubleClickOpensTheWholeAddress) {
    w.MailEdit.DoubleClick();
    w.URLEdit.DoubleClick();
    EXPECT_EQ(w.shell.opened,
              (std::vector<std::string>{"mailto:i@example.org", "https://tavik.example.org/"}));
}

// The guard on its own: a failing change handler started by a write is shown
// at once, and the handler that made the write goes on after it.
TEST(EventDelivery, FailingNestedChangeHandlerLetsTheWriterContinue) {
    MemoryErrorBox box;
    EventDelivery delivery(box, "Tavik");
    WriteLog log;
    MemoryField inner(delivery, log, "Inner", "a");
    MemoryField after(delivery, log, "After", "");
    inner.SetChangeHandler([] { throw std::runtime_error("nested"); });
    delivery.Deliver([&] {
        inner.SetText("b");
        after.SetText("written");
    });
    EXPECT_EQ(log, (WriteLog{"Inner=b", "After=written"}));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, "nested.");
    EXPECT_EQ(box.shown[0].caption, "Tavik");
}

TEST(EventDelivery, ErrorBoxTextAppendsPeriodAboveDot) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"done.", "done."},
        {"a-", "a-"},  // "-" sorts below "."
        {"a/", "a/."}, // "/" sorts above "."
        {"ゼロによる除算", "ゼロによる除算."},
        {"読めません。", "読めません。"},
    };
    for (const auto& [message, shown] : cases)
        EXPECT_EQ(ErrorBoxText(message), shown) << message;
}

// Random typing and clicking, the way a restless user would: the guard never
// lets anything escape, the time fields stay canonical, the per-episode field
// follows the total seconds, and only the three division errors are shown.
TEST(TavikFrmProperty, RandomEventsKeepTheInvariants) {
    MemoryWindow w;
    w.Show();
    std::mt19937 rng(8122026);
    const std::vector<std::string> pieces = {
        "",   " ",  "0",  "1",   "7",          "60", "-",          "+", "$",
        "x",  "0x", "FF", "３",  "　",         "\t", "2147483647", "9", "00",
        "1e", ".",  "ア", "999", "4294967296", "-0", "$7FFFFFFF"};
    std::vector<MemoryField*> typeable = {&w.AudioRateBox, &w.VideoRateBox, &w.SizeBox,
                                          &w.MonthEdit,    &w.SecEdit,      &w.PieceEdit,
                                          &w.TotalEdit};
    std::vector<MemoryButton*> buttons = {&w.GetVideoBtn, &w.GetSizeBtn, &w.GetTimeBtn,
                                          &w.TotalSecBtn};
    const auto randomText = [&] {
        std::string text;
        const int n = std::uniform_int_distribution<int>(0, 3)(rng);
        for (int i = 0; i < n; ++i)
            text += pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(rng)];
        if (rng() % 50 == 0) text += std::string(300, '9');
        return text;
    };
    const std::vector<std::string> allowed = {kIntDivide, kFloatDivide, kInvalidOp};

    for (int event = 0; event < 20000; ++event) {
        switch (rng() % 4) {
        case 0:
            typeable[rng() % typeable.size()]->Type(randomText());
            break;
        case 1:
            buttons[rng() % buttons.size()]->Click();
            break;
        case 2:
            // TotalSecEdit has no change handler: what is typed there counts
            // once "↑" splits it into minutes and seconds.
            w.TotalSecEdit.Type(randomText());
            w.TotalSecBtn.Click();
            break;
        default:
            w.NearRateChk.SetChecked(!w.NearRateChk.Checked());
            break;
        }
        SCOPED_TRACE(event);
        for (const MemoryField* f : {&w.MonthEdit, &w.SecEdit})
            ASSERT_EQ(f->Text(), IntToStr(StrToIntRange(f->Text(), 0, 0)));
        const std::int32_t total = StrToIntRange(w.TotalSecEdit.Text(), 0, 0);
        ASSERT_EQ(w.SepSecEdit.Text(), IntToStr(total / StrToIntRange(w.TotalEdit.Text(), 1, 1)));
        for (const auto& shown : w.errorBox.shown)
            ASSERT_NE(std::find(allowed.begin(), allowed.end(), shown.text), allowed.end());
    }
}

} // namespace
} // namespace tavik
