// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "WindowSystem.h"

#include <exception>
#include <functional>
#include <string>

namespace tavik {

// Runs each event's handler inside the guard: a failure that escapes the
// handler ends it and is shown in the error box, and Deliver returns normally.
// A change handler started by a field write is delivered the same way, on its
// own, so the write returns normally and its caller goes on.
class EventDelivery {
public:
    // The message a failure shows; the window translates it, and without one
    // the failure's own text is shown.
    using MessageOf = std::function<std::string(const std::exception&)>;

    EventDelivery(ErrorBox& errorBox, std::string caption, MessageOf messageOf = nullptr);

    void Deliver(const Handler& handler) noexcept;

private:
    ErrorBox& errorBox_;
    std::string caption_;
    MessageOf messageOf_;
};

} // namespace tavik
