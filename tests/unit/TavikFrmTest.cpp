// SPDX-License-Identifier: GPL-3.0-or-later
#include "TavikFrmTest.h"
#include "core/CalcError.h"
#include "core/Container.h"
#include "core/IntField.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tavik {
namespace {

TEST(TavikFrmCreation, RunsNoHandlerUntilShown) {
    MemoryWindow w;
    EXPECT_EQ(w.TotalSecEdit.Text(), "0");
    EXPECT_EQ(w.SepSecEdit.Text(), "");
    EXPECT_TRUE(w.writes.empty());
    w.Show();
    EXPECT_EQ(w.writes, (WriteLog{"SepSecEdit=0", "TotalSecEdit=1800", "SepSecEdit=1800"}));
}

TEST_F(TavikFrmTest, StartUpStateAfterShow) {
    EXPECT_EQ(Fields(), kStartUp);
    EXPECT_TRUE(w.NearRateChk.Checked());
    EXPECT_EQ(w.SizeBox.Items(), (std::vector<std::string>{"650", "700", "2375"}));
    EXPECT_TRUE(Errors().empty());
}

struct Scenario {
    const char* name;
    std::function<void(MemoryWindow&)> act;
    std::map<std::string, std::string> changed; // fields that differ from start-up
    std::vector<std::string> errors;
};

const Scenario kScenarios[] = {
    {"size_from_startup", [](MemoryWindow& w) { w.GetSizeBtn.Click(); }, {{"SizeBox", "295"}}, {}},
    {"video_exact_fit",
     [](MemoryWindow& w) { w.GetVideoBtn.Click(); },
     {{"VideoRateBox", "2768"}},
     {}},
    {"video_estimate_only",
     [](MemoryWindow& w) {
         w.NearRateChk.SetChecked(false);
         w.GetVideoBtn.Click();
     },
     {{"VideoRateBox", "2722"}},
     {}},
    {"recordable_time",
     [](MemoryWindow& w) { w.GetTimeBtn.Click(); },
     {{"MonthEdit", "65"}, {"SecEdit", "9"}, {"TotalSecEdit", "3909"}, {"SepSecEdit", "3909"}},
     {}},
    {"split_then_size",
     [](MemoryWindow& w) {
         w.MonthEdit.Type("45");
         w.TotalEdit.Type("4");
         w.PieceEdit.Type("3");
         w.GetSizeBtn.Click();
     },
     {{"MonthEdit", "45"},
      {"TotalEdit", "4"},
      {"PieceEdit", "3"},
      {"TotalSecEdit", "2700"},
      {"SepSecEdit", "675"},
      {"SizeBox", "332"}},
     {}},
    {"zero_denominator_size",
     [](MemoryWindow& w) {
         w.TotalEdit.Type("0");
         w.GetSizeBtn.Click();
     },
     {{"TotalEdit", "0"}},
     {kIntDivide}},
    // A new total: were the seconds per episode written ahead of the failing
    // read, they would show 100.
    {"zero_denominator_size_new_total",
     [](MemoryWindow& w) {
         w.TotalEdit.Type("0");
         w.TotalSecEdit.Type("100");
         w.GetSizeBtn.Click();
     },
     {{"TotalEdit", "0"}, {"TotalSecEdit", "100"}},
     {kIntDivide}},
    {"zero_denominator_video",
     [](MemoryWindow& w) {
         w.TotalEdit.Type("0");
         w.AudioRateBox.Type("0192"); // the failure comes before the audio rate is read
         w.GetVideoBtn.Click();
     },
     {{"TotalEdit", "0"}, {"AudioRateBox", "0192"}},
     {kIntDivide}},
    {"total_seconds_split",
     [](MemoryWindow& w) {
         w.TotalEdit.Type("4");
         w.PieceEdit.Type("3");
         w.TotalSecEdit.Type("100");
         w.TotalSecBtn.Click();
     },
     {{"MonthEdit", "1"}, {"SecEdit", "40"}, {"TotalSecEdit", "100"}, {"SepSecEdit", "100"}},
     {}},
    // The total already splits into the time shown: only the split is reset.
    {"total_seconds_same_time_resets_split",
     [](MemoryWindow& w) {
         w.PieceEdit.Type("3");
         w.TotalEdit.Type("4");
         w.TotalSecBtn.Click();
     },
     {},
     {}},
    // The end of a probe of dropped recordings, delivered as the window does.
    {"recordings_time_and_audio",
     [](MemoryWindow& w) {
         w.TotalEdit.Type("4");
         w.delivery.Deliver([&w] { w.frm.RecordingsProbed({"", 3725, 257}, w.frm.MarkDrop()); });
     },
     {{"MonthEdit", "62"},
      {"SecEdit", "5"},
      {"TotalSecEdit", "3725"},
      {"SepSecEdit", "3725"},
      {"AudioRateBox", "257"}},
     {}},
    {"recordings_without_audio_rate",
     [](MemoryWindow& w) {
         w.delivery.Deliver([&w] { w.frm.RecordingsProbed({"", 59, {}}, w.frm.MarkDrop()); });
     },
     {{"MonthEdit", "0"}, {"SecEdit", "59"}, {"TotalSecEdit", "59"}, {"SepSecEdit", "59"}},
     {}},
    {"recordings_audio_unread_said",
     [](MemoryWindow& w) {
         w.delivery.Deliver([&w] {
             w.frm.RecordingsProbed({"", 59, {}, "読めません。"}, w.frm.MarkDrop());
         });
     },
     {{"MonthEdit", "0"}, {"SecEdit", "59"}, {"TotalSecEdit", "59"}, {"SepSecEdit", "59"}},
     {"読めません。"}},
    // The user changed a field while the probe ran: that field keeps it.
    {"recordings_after_time_typed",
     [](MemoryWindow& w) {
         const DropMark atDrop = w.frm.MarkDrop();
         w.SecEdit.Type("7");
         w.delivery.Deliver([&] { w.frm.RecordingsProbed({"", 3725, 257}, atDrop); });
     },
     {{"SecEdit", "7"}, {"TotalSecEdit", "1807"}, {"SepSecEdit", "1807"}, {"AudioRateBox", "257"}},
     {}},
    {"recordings_after_audio_typed",
     [](MemoryWindow& w) {
         const DropMark atDrop = w.frm.MarkDrop();
         w.AudioRateBox.Type("64");
         w.delivery.Deliver([&] { w.frm.RecordingsProbed({"", 59, 257}, atDrop); });
     },
     {{"MonthEdit", "0"},
      {"SecEdit", "59"},
      {"TotalSecEdit", "59"},
      {"SepSecEdit", "59"},
      {"AudioRateBox", "64"}},
     {}},
    {"recordings_failed",
     [](MemoryWindow& w) {
         w.delivery.Deliver([&w] {
             w.frm.RecordingsProbed({"「a.ts」の再生時間がわかりません", 60, 192},
                                    w.frm.MarkDrop());
         });
     },
     {},
     {"「a.ts」の再生時間がわかりません."}},
    {"zero_time_video",
     [](MemoryWindow& w) {
         w.MonthEdit.Type("0");
         w.GetVideoBtn.Click();
     },
     {{"MonthEdit", "0"}, {"TotalSecEdit", "0"}, {"SepSecEdit", "0"}},
     {kFloatDivide}},
    {"zero_time_and_size_video",
     [](MemoryWindow& w) {
         w.MonthEdit.Type("0");
         w.SizeBox.Type("0");
         w.GetVideoBtn.Click();
     },
     {{"MonthEdit", "0"}, {"SizeBox", "0"}, {"TotalSecEdit", "0"}, {"SepSecEdit", "0"}},
     {kInvalidOp}},
    {"zero_rates_time",
     [](MemoryWindow& w) {
         w.AudioRateBox.Type("0");
         w.VideoRateBox.Type("-0");
         w.GetTimeBtn.Click();
     },
     {{"AudioRateBox", "0"}, {"VideoRateBox", "0"}},
     {kFloatDivide}},
    {"zero_rates_and_size_time",
     [](MemoryWindow& w) {
         w.AudioRateBox.Type("0");
         w.VideoRateBox.Type("0");
         w.SizeBox.Type("x");
         w.GetTimeBtn.Click();
     },
     {{"AudioRateBox", "0"}, {"VideoRateBox", "0"}, {"SizeBox", "0"}},
     {kInvalidOp}},
    {"audio_not_a_number",
     [](MemoryWindow& w) {
         w.AudioRateBox.Type("abc");
         w.GetSizeBtn.Click();
     },
     {{"AudioRateBox", "0"}, {"SizeBox", "253"}}, // round(1150 * 1800 / 8192)
     {}},
    {"time_change_resets_split",
     [](MemoryWindow& w) {
         w.PieceEdit.Type("3");
         w.TotalEdit.Type("4");
         w.MonthEdit.Type("31");
     },
     {{"MonthEdit", "31"}, {"TotalSecEdit", "1860"}, {"SepSecEdit", "1860"}},
     {}},
    {"emptied_minutes_become_zero",
     [](MemoryWindow& w) { w.MonthEdit.Type(""); },
     {{"MonthEdit", "0"}, {"TotalSecEdit", "0"}, {"SepSecEdit", "0"}},
     {}},
    {"negative_seconds_become_zero",
     [](MemoryWindow& w) {
         w.SecEdit.Type("30");
         w.SecEdit.Type("-3");
     },
     {},
     {}},
    {"typed_denominator_not_written_back",
     [](MemoryWindow& w) { w.TotalEdit.Type(" 0x3"); },
     {{"TotalEdit", " 0x3"}, {"SepSecEdit", "600"}},
     {}},
    // Inputs whose 32-bit products would wrap: a 2 TB disk and a full day
    // at 25,000 Kbps give sound results.
    {"two_terabyte_time",
     [](MemoryWindow& w) {
         w.SizeBox.Type("2097152");
         w.GetTimeBtn.Click();
     },
     {{"SizeBox", "2097152"},
      {"MonthEdit", "210236"},
      {"SecEdit", "6"},
      {"TotalSecEdit", "12614166"},
      {"SepSecEdit", "12614166"}},
     {}},
    {"day_at_high_rate_size",
     [](MemoryWindow& w) {
         w.AudioRateBox.Type("0");
         w.VideoRateBox.Type("25000");
         w.MonthEdit.Type("1440");
         w.GetSizeBtn.Click();
     },
     {{"AudioRateBox", "0"},
      {"VideoRateBox", "25000"},
      {"MonthEdit", "1440"},
      {"TotalSecEdit", "86400"},
      {"SepSecEdit", "86400"},
      {"SizeBox", "263672"}},
     {}},
    {"largest_size_exact_fit_ends",
     [](MemoryWindow& w) {
         w.SizeBox.Type("$7FFFFFFF");
         w.MonthEdit.Type("0");
         w.SecEdit.Type("1");
         w.AudioRateBox.Type("0");
         w.GetVideoBtn.Click();
     },
     {{"SizeBox", "2147483647"},
      {"MonthEdit", "0"},
      {"SecEdit", "1"},
      {"AudioRateBox", "0"},
      {"TotalSecEdit", "1"},
      {"SepSecEdit", "1"},
      {"VideoRateBox", "2147483647"}},
     {}},
};

// With a container chosen the buttons give the fitted sums of the start-up
// inputs, whatever the container's share; the check box plays no part.
const std::int32_t kFittedTime = FittedTime(Container::Ps, 192, 1150, 650);

const Scenario kContainerScenarios[] = {
    {"video_fitted_check_box_off",
     [](MemoryWindow& w) {
         w.ContainerBox.Select("mkv");
         w.NearRateChk.SetChecked(false);
         w.GetVideoBtn.Click();
     },
     {{"VideoRateBox", IntToStr(FittedVideoRate(Container::Mkv, 650, 1800, 192))}},
     {}},
    {"time_then_size_fitted",
     [](MemoryWindow& w) {
         w.ContainerBox.Select("ps");
         w.GetTimeBtn.Click();
         w.GetSizeBtn.Click();
     },
     {{"MonthEdit", IntToStr(kFittedTime / 60)},
      {"SecEdit", IntToStr(kFittedTime % 60)},
      {"TotalSecEdit", IntToStr(kFittedTime)},
      {"SepSecEdit", IntToStr(kFittedTime)},
      {"SizeBox", IntToStr(FittedSizeMB(Container::Ps, 192, 1150, kFittedTime))}},
     {}},
    // QComboBox gives no data with nothing chosen: a key the core does not
    // know is no container. The frame rate counts only with a container.
    {"unknown_container_is_none",
     [](MemoryWindow& w) {
         w.ContainerBox.Select("");
         w.FpsBox.Select("25");
         w.GetSizeBtn.Click();
     },
     {{"SizeBox", "295"}},
     {}},
    {"size_too_small_for_the_audio",
     [](MemoryWindow& w) {
         w.ContainerBox.Select("m2ts");
         w.SizeBox.Type("0");
         w.GetVideoBtn.Click();
     },
     {{"SizeBox", "0"}},
     {kTooSmall}},
};

class ScenarioTest : public TavikFrmTest, public testing::WithParamInterface<Scenario> {};

TEST_P(ScenarioTest, FieldsAndErrorsAfterwards) {
    const Scenario& s = GetParam();
    s.act(w);
    auto expected = kStartUp;
    for (const auto& [field, text] : s.changed)
        expected[field] = text;
    EXPECT_EQ(Fields(), expected);
    EXPECT_EQ(Errors(), s.errors);
}

void PrintTo(const Scenario& s, std::ostream* os) {
    *os << s.name;
}

INSTANTIATE_TEST_SUITE_P(Calculator, ScenarioTest, testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(Container, ScenarioTest, testing::ValuesIn(kContainerScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tavik
