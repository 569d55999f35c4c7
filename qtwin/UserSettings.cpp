// SPDX-License-Identifier: GPL-3.0-or-later
#include "UserSettings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QString>

namespace tavik {

namespace {

// Where QSettings keeps an application's INI file, worked out without it, so
// that a start-up without the file only asks whether it is there. Empty when
// there is no configuration folder at all.
QString SettingsFile() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (folder.isEmpty()) return {};
    return folder + QLatin1Char('/') + QCoreApplication::applicationName() + QStringLiteral(".ini");
}

} // namespace

QString Remembered(const QString& setting) {
    const QString file = SettingsFile();
    if (file.isEmpty() || !QFileInfo::exists(file)) return {};
    const QSettings settings(file, QSettings::IniFormat);
    // A section is parsed when first read from, so the status comes after.
    const QString key = settings.value(setting).toString();
    if (settings.status() != QSettings::NoError) return {};
    return key;
}

void Remember(const QString& setting, const QString& key) {
    const QString file = SettingsFile();
    if (file.isEmpty()) return;
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(setting, key);
}

} // namespace tavik
