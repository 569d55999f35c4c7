// SPDX-License-Identifier: GPL-3.0-or-later
#include "ErrorMessages.h"

#include "i18n/CalcMessages.h"

#include <QCoreApplication>

namespace tavik {

std::string ErrorMessage(const std::exception& failure) {
    if (const auto* error = dynamic_cast<const CalcError*>(&failure))
        return QCoreApplication::translate(kCalcErrorContext, CalcMessageSource(*error))
            .toStdString();
    return failure.what();
}

} // namespace tavik
