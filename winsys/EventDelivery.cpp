// SPDX-License-Identifier: GPL-3.0-or-later
#include "EventDelivery.h"

#include "core/CalcError.h"

#include <exception>
#include <utility>

namespace tavik {

EventDelivery::EventDelivery(ErrorBox& errorBox, std::string caption, MessageOf messageOf)
    : errorBox_(errorBox), caption_(std::move(caption)), messageOf_(std::move(messageOf)) {}

void EventDelivery::Deliver(const Handler& handler) noexcept {
    if (!handler) return;
    try {
        handler();
    } catch (const std::exception& e) {
        errorBox_.Show(ErrorBoxText(messageOf_ ? messageOf_(e) : e.what()), caption_);
    }
}

} // namespace tavik
