// SPDX-License-Identifier: GPL-3.0-or-later
// The language rule, with the lists QLocale::uiLanguages() gives for each
// environment, and once through the real environment in a child.
#include "i18n/Language.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace tavik {
namespace {

struct LanguageRow {
    const char* name;
    QStringList uiLanguages;
    Language messages; // the window's and the calculation's
    Language usage;    // --help
};

const LanguageRow kLanguageRows[] = {
    {"C", {"C"}, Language::Japanese, Language::English},
    {"no_locale", {}, Language::Japanese, Language::English},
    {"ja_JP", {"ja-JP", "ja-Jpan-JP", "ja"}, Language::Japanese, Language::Japanese},
    {"en_US", {"en-US", "en-Latn-US", "en"}, Language::English, Language::English},
    {"LANGUAGE_ja_en_with_LANG_en_US",
     {"ja", "ja-Jpan-JP", "ja-JP", "en", "en-Latn-US", "en-US"},
     Language::Japanese,
     Language::Japanese},
    {"LANGUAGE_en", {"en", "en-Latn-US", "en-US"}, Language::English, Language::English},
    {"LANGUAGE_fr_en", {"fr", "fr-Latn-FR", "fr-FR", "en"}, Language::English, Language::English},
    {"LANGUAGE_fr_ja_en", {"fr", "ja", "en"}, Language::Japanese, Language::Japanese},
    {"de_DE", {"de-DE", "de-Latn-DE", "de"}, Language::Japanese, Language::English},
    {"POSIX_before_en", {"POSIX", "en"}, Language::Japanese, Language::English},
    {"C_UTF8_before_en", {"C.UTF-8", "en"}, Language::Japanese, Language::English},
    {"underscore_form", {"en_GB"}, Language::English, Language::English},
};

TEST(LanguageRule, FirstOfJapaneseAndEnglishNamedDecides) {
    for (const LanguageRow& row : kLanguageRows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(MessageLanguage(row.uiLanguages), row.messages);
        EXPECT_EQ(UsageLanguage(row.uiLanguages), row.usage);
    }
}

// The real environment, read by Qt in a child: tavik --help follows the
// usage rule.
TEST(LanguageRule, TheEnvironmentDecidesTavikHelp) {
    const struct {
        const char* language;
        const char* lang;
        const char* firstLine;
    } rows[] = {
        {"", "C", "Usage: tavik [QT-OPTION]..."},
        {"", "ja_JP.UTF-8", "使い方: tavik [Qt のオプション]..."},
        {"ja:en", "en_US.UTF-8", "使い方: tavik [Qt のオプション]..."},
        {"en", "ja_JP.UTF-8", "Usage: tavik [QT-OPTION]..."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.language) + " " + row.lang);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("LC_ALL"));
        environment.remove(QStringLiteral("LC_MESSAGES"));
        environment.insert(QStringLiteral("LANGUAGE"), QString::fromLatin1(row.language));
        environment.insert(QStringLiteral("LANG"), QString::fromLatin1(row.lang));
        QProcess tavik;
        tavik.setProcessEnvironment(environment);
        tavik.start(QStringLiteral(TAVIK_BINARY), {QStringLiteral("--help")});
        ASSERT_TRUE(tavik.waitForFinished(10000));
        EXPECT_EQ(tavik.exitCode(), 0);
        EXPECT_EQ(QString::fromUtf8(tavik.readAllStandardOutput()).section(QLatin1Char('\n'), 0, 0),
                  QString::fromUtf8(row.firstLine));
    }
}

} // namespace
} // namespace tavik
