// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the program keeps between runs: only the choices of the settings
// page, as "<setting>=<key>" in the INI file named after the application in
// the user's configuration folder. Nothing found there can stop the program
// or change a result: a file that is missing, unreadable or corrupt reads as
// no choice at all, and a file that cannot be written is left as it is.

#include <QString>

namespace tavik {

// The key remembered for the setting; empty where there is none to read.
QString Remembered(const QString& setting);
void Remember(const QString& setting, const QString& key);

} // namespace tavik
