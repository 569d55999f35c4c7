// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the program keeps between runs: only the container chosen on the
// settings page, as "container=<key>" in the INI file named after the
// application in the user's configuration folder. Nothing found there can
// stop the program or change a result: a file that is missing, unreadable
// or corrupt, or a key it does not know, reads as no container, and a file
// that cannot be written is left as it is.

#include "core/Container.h"

namespace tavik {

Container RememberedContainer();
void RememberContainer(Container container);

} // namespace tavik
