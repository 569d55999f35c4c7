// SPDX-License-Identifier: GPL-3.0-or-later
#include "TerminationSignals.h"

#include <fcntl.h>
#include <unistd.h>

namespace tavik {

namespace {

constexpr int kSignals[] = {SIGHUP, SIGINT, SIGTERM};

// The handler's only way out: a byte, the signal's number, down a pipe the
// event loop watches. One set of handlers at a time.
int notePipe[2] = {-1, -1};

void Note(int signal) {
    const auto number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(notePipe[1], &number, 1);
}

// The signal noted, or 0.
int Noted() {
    unsigned char number = 0;
    return ::read(notePipe[0], &number, 1) == 1 ? number : 0;
}

void DieOf(int signal) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

TerminationSignals::TerminationSignals(std::function<void()> cleanUp)
    : cleanUp_(std::move(cleanUp)) {
    if (::pipe2(notePipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    notifier_.emplace(notePipe[0], QSocketNotifier::Read);
    QObject::connect(&*notifier_, &QSocketNotifier::activated, &*notifier_, [this] { Deliver(); });
    struct sigaction noting = {};
    noting.sa_handler = Note;
    sigemptyset(&noting.sa_mask);
    noting.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        sigaction(kSignals[i], &noting, &previous_[i]);
        if (previous_[i].sa_handler == SIG_IGN) sigaction(kSignals[i], &previous_[i], nullptr);
    }
}

TerminationSignals::~TerminationSignals() {
    if (!notifier_) return;
    Restore();
    const int signal = Noted();
    notifier_.reset();
    ::close(notePipe[0]);
    ::close(notePipe[1]);
    notePipe[0] = notePipe[1] = -1;
    if (signal != 0) DieOf(signal);
}

void TerminationSignals::Deliver() {
    const int signal = Noted();
    if (signal == 0) return;
    cleanUp_();
    Restore();
    DieOf(signal);
}

void TerminationSignals::Restore() {
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &previous_[i], nullptr);
}

} // namespace tavik
