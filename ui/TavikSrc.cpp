// SPDX-License-Identifier: GPL-3.0-or-later
#include "TavikSrc.h"

#include "core/Formulas.h"
#include "core/IntField.h"

namespace tavik {

TTavikFrm::TTavikFrm(const TavikControls& controls, HelpDispatch& help, Shell& shell)
    : c_(controls), help_(help), shell_(shell) {
    c_.MonthEdit.SetChangeHandler([this] { MonthEditChange(); });
    c_.SecEdit.SetChangeHandler([this] { MonthEditChange(); });
    c_.TotalEdit.SetChangeHandler([this] { TotalEditChange(); });
    c_.TotalSecBtn.SetClickHandler([this] { TotalSecBtnClick(); });
    c_.GetSizeBtn.SetClickHandler([this] { GetSizeBtnClick(); });
    c_.GetVideoBtn.SetClickHandler([this] { GetVideoBtnClick(); });
    c_.GetTimeBtn.SetClickHandler([this] { GetTimeBtnClick(); });
    c_.HelpBtn.SetClickHandler([this] { HelpBtnClick(); });
    c_.MailEdit.SetDoubleClickHandler([this] { MailEditDblClick(c_.MailEdit); });
    c_.URLEdit.SetDoubleClickHandler([this] { MailEditDblClick(c_.URLEdit); });
}

std::int32_t TTavikFrm::ReadAndNormalise(Field& field) {
    const std::int32_t value = StrToIntRange(field.Text(), 0, 0);
    field.SetText(IntToStr(value));
    return value;
}

std::int32_t TTavikFrm::GetAudioRate() {
    return ReadAndNormalise(c_.AudioRateBox);
}

std::int32_t TTavikFrm::GetVideoRate() {
    return ReadAndNormalise(c_.VideoRateBox);
}

std::int64_t TTavikFrm::GetSizeKB() {
    return KBOfMB(ReadAndNormalise(c_.SizeBox));
}

std::int32_t TTavikFrm::GetPlaySec() {
    const std::int32_t m = ReadAndNormalise(c_.MonthEdit);
    const std::int32_t s = ReadAndNormalise(c_.SecEdit);
    const std::int32_t d = ReadAndNormalise(c_.TotalEdit);
    const std::int32_t n = ReadAndNormalise(c_.PieceEdit);
    const std::int32_t t = PlaySec(m, s, n, d);
    TotalEditChange();
    return t;
}

Muxing TTavikFrm::GetMuxing() const {
    // A key the core does not know stands for no container, or for the
    // share of any frame rate up to 60.
    return {ContainerOfKey(c_.ContainerBox.Key()).value_or(Container::None),
            MilliFpsOfKey(c_.FpsBox.Key())};
}

void TTavikFrm::FormShow() {
    const std::int32_t t = GetPlaySec();
    c_.TotalSecEdit.SetText(IntToStr(t));
    TotalEditChange();
}

void TTavikFrm::MonthEditChange() {
    c_.TotalEdit.SetText("1");
    c_.PieceEdit.SetText("1");
    const std::int32_t t = GetPlaySec();
    c_.TotalSecEdit.SetText(IntToStr(t));
    TotalEditChange();
}

void TTavikFrm::TotalEditChange() {
    // Read without writing back, so the user can type freely into TotalEdit.
    const std::int32_t total = StrToIntRange(c_.TotalSecEdit.Text(), 0, 0);
    const std::int32_t d1 = StrToIntRange(c_.TotalEdit.Text(), 1, 1);
    c_.SepSecEdit.SetText(IntToStr(SecPerEpisode(total, d1)));
}

void TTavikFrm::TotalSecBtnClick() {
    c_.TotalEdit.SetText("1");
    c_.PieceEdit.SetText("1");
    const MinSec time = ToMinSec(ReadAndNormalise(c_.TotalSecEdit));
    c_.MonthEdit.SetText(IntToStr(time.minutes));
    c_.SecEdit.SetText(IntToStr(time.seconds));
}

void TTavikFrm::GetSizeBtnClick() {
    const std::int32_t a = GetAudioRate();
    const std::int32_t v = GetVideoRate();
    const std::int32_t t = GetPlaySec();
    c_.SizeBox.SetText(IntToStr(SizeFor(GetMuxing(), a, v, t)));
}

void TTavikFrm::GetVideoBtnClick() {
    // The exact-fit search is done in closed form, not a pass per rate: the
    // reads left every input field canonical, so reading them again on each
    // pass would write nothing and only rewrite SepSecEdit with its text.
    const std::int32_t v =
        VideoRateFor(GetMuxing(), c_.NearRateChk.Checked(),
                     {[this] { return GetSizeKB(); }, [this] { return GetPlaySec(); },
                      [this] { return GetAudioRate(); }});
    c_.VideoRateBox.SetText(IntToStr(v));
}

void TTavikFrm::GetTimeBtnClick() {
    const std::int32_t a = GetAudioRate();
    const std::int32_t v = GetVideoRate();
    const std::int64_t k = GetSizeKB();
    const MinSec time = ToMinSec(TimeFor(GetMuxing(), a, v, k));
    c_.MonthEdit.SetText(IntToStr(time.minutes));
    c_.SecEdit.SetText(IntToStr(time.seconds));
}

DropMark TTavikFrm::MarkDrop() const {
    return {c_.MonthEdit.Text(), c_.SecEdit.Text(), c_.AudioRateBox.Text()};
}

void TTavikFrm::RecordingsProbed(const ProbedRecordings& probed, const DropMark& atDrop) {
    if (!probed.failure.empty()) throw RecordingError(probed.failure);
    // Every field is compared before any is written: the minutes' write runs
    // a cascade that rewrites the seconds.
    const bool timeKept =
        c_.MonthEdit.Text() == atDrop.minutes && c_.SecEdit.Text() == atDrop.seconds;
    const bool audioKept = c_.AudioRateBox.Text() == atDrop.audioRate;
    if (probed.playSec && timeKept) {
        const MinSec time = ToMinSec(*probed.playSec);
        c_.MonthEdit.SetText(IntToStr(time.minutes));
        c_.SecEdit.SetText(IntToStr(time.seconds));
    }
    if (probed.audioKbps && audioKept) c_.AudioRateBox.SetText(IntToStr(*probed.audioKbps));
    if (!probed.audioKbps && audioKept && !probed.audioUnread.empty())
        throw RecordingError(probed.audioUnread);
}

void TTavikFrm::HelpBtnClick() {
    help_.RunHelpCommand(HelpDispatch::kContents, 0);
}

void TTavikFrm::MailEditDblClick(const Field& sender) {
    shell_.Open(sender.Text());
}

} // namespace tavik
