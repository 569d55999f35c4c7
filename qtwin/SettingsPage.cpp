// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsPage.h"

#include "UserSettings.h"
#include "core/Container.h"
#include "ui_TavikSrc.h"

#include <QComboBox>
#include <QCoreApplication>

#include <string_view>

namespace tavik {

namespace {

// The containers' names are the formats' own in every language but none's.
[[maybe_unused]] const char* const kTranslatedNames[] = {QT_TRANSLATE_NOOP("Container", "なし")};

// The frame rates show as their keys but the first, the default.
const char* const kMostFrameRate = QT_TRANSLATE_NOOP("SettingsPage", "60 まで");

const QString kContainerSetting = QStringLiteral("container");
const QString kFrameRateSetting = QStringLiteral("fps");

QString KeyText(std::string_view key) {
    return QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

// The item whose key the setting remembers, and from now on the user's
// choice into the setting.
void Restore(QComboBox* box, const QString& setting) {
    if (const int index = box->findData(Remembered(setting)); index >= 0)
        box->setCurrentIndex(index);
    QObject::connect(box, &QComboBox::currentIndexChanged, box,
                     [box, setting] { Remember(setting, box->currentData().toString()); });
}

} // namespace

void FillSettingsLists(Ui::TavikFrm& ui) {
    for (const ContainerRow& row : kContainers)
        ui.ContainerBox->addItem(QCoreApplication::translate("Container", row.shown),
                                 KeyText(row.key));
    for (const FrameRateRow& row : kFrameRates)
        ui.FpsBox->addItem(row.key == kFrameRates[0].key
                               ? QCoreApplication::translate("SettingsPage", kMostFrameRate)
                               : KeyText(row.key),
                           KeyText(row.key));
}

void RestoreSettings(Ui::TavikFrm& ui) {
    Restore(ui.ContainerBox, kContainerSetting);
    Restore(ui.FpsBox, kFrameRateSetting);
}

} // namespace tavik
