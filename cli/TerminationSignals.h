// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// SIGHUP, SIGINT and SIGTERM while the command waits in an event loop: the
// handler only notes the signal; the event loop then runs the clean-up (the
// probe's children are killed and reaped), and the command dies of the
// signal as it would have, so the shell sees the usual status. A signal that
// the command was started with ignored stays ignored.

#include <QSocketNotifier>

#include <csignal>
#include <functional>
#include <optional>

namespace tavik {

class TerminationSignals {
public:
    explicit TerminationSignals(std::function<void()> cleanUp);
    // Puts the previous handlers back; a signal noted meanwhile ends the
    // command now.
    ~TerminationSignals();

    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    void Deliver();
    void Restore();

    std::function<void()> cleanUp_;
    std::optional<QSocketNotifier> notifier_;
    struct sigaction previous_[3] = {};
};

} // namespace tavik
