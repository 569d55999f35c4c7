// SPDX-License-Identifier: GPL-3.0-or-later
#include "Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tavik {

namespace {

Language installed = Language::Japanese;

// Loaded on first use only: Japanese never pays for it.
QTranslator& EnglishTranslator() {
    static QTranslator* translator = [] {
        auto* t = new QTranslator;
        if (!t->load(QStringLiteral(":/i18n/tavik_en.qm")))
            qWarning("tavik: the English translation is missing");
        return t;
    }();
    return *translator;
}

// The first of Japanese and English that the list names, entries as
// QLocale::uiLanguages() gives them ("ja-JP", "en"); `unnamed` when it names
// neither before its end or a C or POSIX locale.
Language PreferredLanguage(const QStringList& uiLanguages, Language unnamed) {
    for (const QString& entry : uiLanguages) {
        const QString language = entry.section(QLatin1Char('-'), 0, 0)
                                     .section(QLatin1Char('_'), 0, 0)
                                     .section(QLatin1Char('.'), 0, 0)
                                     .toLower();
        if (language == QLatin1String("ja")) return Language::Japanese;
        if (language == QLatin1String("en")) return Language::English;
        if (language == QLatin1String("c") || language == QLatin1String("posix")) break;
    }
    return unnamed;
}

} // namespace

QStringList UserLanguages() {
    return QLocale::system().uiLanguages();
}

Language MessageLanguage(const QStringList& uiLanguages) {
    return PreferredLanguage(uiLanguages, Language::Japanese);
}

Language UsageLanguage(const QStringList& uiLanguages) {
    return PreferredLanguage(uiLanguages, Language::English);
}

void InstallTranslations(Language language) {
    installed = language;
    if (language == Language::Japanese) return;
    QCoreApplication::installTranslator(&EnglishTranslator());
    // Qt's own texts (a field's context menu, a box's buttons), where
    // qt6-translations-l10n is installed.
    auto* qt = new QTranslator(QCoreApplication::instance());
    if (qt->load(QStringLiteral("qtbase_en"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
}

Language InstalledLanguage() {
    return installed;
}

QString Translate(Language language, const char* context, const char* sourceText) {
    if (language == Language::English) {
        const QString text = EnglishTranslator().translate(context, sourceText);
        if (!text.isEmpty()) return text;
    }
    return QString::fromUtf8(sourceText);
}

} // namespace tavik
