// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Which language the user reads, decided once at start-up before any window
// or message exists. The source texts are the designed Japanese, so Japanese
// needs no translation loaded; English comes from tavik_en.qm, built into
// the program. Qt Core only: tavik and tavik-calc both ask here.

#include <QString>
#include <QStringList>

namespace tavik {

enum class Language { Japanese, English };

// The user's preference: LANGUAGE, LC_ALL, LC_MESSAGES and LANG, in order.
QStringList UserLanguages();

// The window and the calculation's messages: Japanese, the designed
// language, unless English is preferred.
Language MessageLanguage(const QStringList& uiLanguages = UserLanguages());

// Command-line help and usage: English unless Japanese is preferred.
Language UsageLanguage(const QStringList& uiLanguages = UserLanguages());

// Installs this program's translation and Qt's own for the language into
// the application, which must exist; Japanese installs nothing.
void InstallTranslations(Language language);

// The language InstallTranslations was last given (Japanese before).
Language InstalledLanguage();

// A text in the language without an application object, as --help needs.
QString Translate(Language language, const char* context, const char* sourceText);

} // namespace tavik
