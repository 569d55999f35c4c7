// SPDX-License-Identifier: GPL-3.0-or-later
#include "UserSettings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QString>

#include <string_view>

namespace tavik {

namespace {

const QString kContainerKey = QStringLiteral("container");

// Where QSettings keeps an application's INI file, worked out without it, so
// that a start-up without the file only asks whether it is there. Empty when
// there is no configuration folder at all.
QString SettingsFile() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (folder.isEmpty()) return {};
    return folder + QLatin1Char('/') + QCoreApplication::applicationName() + QStringLiteral(".ini");
}

} // namespace

Container RememberedContainer() {
    const QString file = SettingsFile();
    if (file.isEmpty() || !QFileInfo::exists(file)) return Container::None;
    const QSettings settings(file, QSettings::IniFormat);
    // A section is parsed when first read from, so the status comes after.
    const QByteArray key = settings.value(kContainerKey).toString().toUtf8();
    if (settings.status() != QSettings::NoError) return Container::None;
    return ContainerOfKey(std::string_view(key.constData(), static_cast<std::size_t>(key.size())))
        .value_or(Container::None);
}

void RememberContainer(Container container) {
    const QString file = SettingsFile();
    if (file.isEmpty()) return;
    QSettings settings(file, QSettings::IniFormat);
    const std::string_view key = ContainerKey(container);
    settings.setValue(kContainerKey,
                      QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size())));
}

} // namespace tavik
