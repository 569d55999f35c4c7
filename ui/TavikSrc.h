// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main window's logic. All calculator state is the text of the fields
// and the check box below; nothing else survives from one event to the next.
// Handlers read their inputs through the Get... operations, which normalise
// each field to its canonical text, compute with the core formulas and write
// the results back. A write that changes MonthEdit, SecEdit or TotalEdit runs
// that field's change handler inside the write, so one click can cascade.
// The container chosen on the settings page picks the sums: none keeps the
// designed ones, any other counts the container's share into the size.

#include "TavikControls.h"
#include "core/Formulas.h"
#include "winsys/WindowSystem.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace tavik {

// The window's controls as window-system operations, by their layout names.
struct TavikControls {
#define TAVIK_CONTROL_OPERATION(Kind, Name) Kind& Name;
    TAVIK_CONTROLS(TAVIK_CONTROL_OPERATION)
#undef TAVIK_CONTROL_OPERATION
};

// What probing recordings dropped onto the window found: a failure message,
// or their playing time (summed, rounded up to a whole second) and, where
// every file states one, their audio rate in Kbps. A value left out leaves
// its fields as they are; audioUnread is what to say when the audio rate is
// left out, so the field's earlier value is not taken for the files'.
struct ProbedRecordings {
    std::string failure;
    std::optional<std::int32_t> playSec;
    std::optional<std::int32_t> audioKbps;
    std::string audioUnread = {};
};

// What the fields a probe writes held when the recordings were dropped.
struct DropMark {
    std::string minutes;
    std::string seconds;
    std::string audioRate;
};

// A probe that failed, raised to the guard so it reaches the error box.
class RecordingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TTavikFrm {
public:
    // Connects the controls' events to the handlers below; writes nothing.
    TTavikFrm(const TavikControls& controls, HelpDispatch& help, Shell& shell);

    TTavikFrm(const TTavikFrm&) = delete;
    TTavikFrm& operator=(const TTavikFrm&) = delete;

    static constexpr const char* HelpFile = "Tavik.hlp";

    // Run once when the window is shown.
    void FormShow();

    void MonthEditChange();
    void TotalEditChange();
    void TotalSecBtnClick();
    void GetSizeBtnClick();
    void GetVideoBtnClick();
    void GetTimeBtnClick();
    void HelpBtnClick();
    void MailEditDblClick(const Field& sender);

    // Run as dropped recordings start to be probed: what the probe's fields
    // hold, to be handed back with its result.
    DropMark MarkDrop() const;

    // Run when probing dropped recordings has ended. Writes the time as
    // GetTimeBtnClick does (minutes, then seconds, each write running its
    // cascade) where known, then the audio rate where known, or else says
    // audioUnread in the error box; a failure writes nothing. A time or audio rate the user changed
    // since `atDrop` is kept: only fields that still hold what they held then are written.
    void RecordingsProbed(const ProbedRecordings& probed, const DropMark& atDrop);

private:
    std::int32_t ReadAndNormalise(Field& field);
    std::int32_t GetAudioRate();
    std::int32_t GetVideoRate();
    std::int64_t GetSizeKB();
    std::int32_t GetPlaySec();
    Muxing GetMuxing() const;

    TavikControls c_;
    HelpDispatch& help_;
    Shell& shell_;
};

} // namespace tavik
