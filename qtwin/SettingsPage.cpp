// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsPage.h"

#include "UserSettings.h"
#include "core/Container.h"
#include "ui_TavikSrc.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>

#include <string>
#include <string_view>

namespace tavik {

namespace {

// The containers' names are the formats' own in every language but none's.
[[maybe_unused]] const char* const kTranslatedNames[] = {QT_TRANSLATE_NOOP("Container", "なし")};

// The frame rates are numbers in every language but the first, the default.
[[maybe_unused]] const char* const kTranslatedRates[] = {QT_TRANSLATE_NOOP("FrameRate", "60 まで")};

// Why the check box does nothing while a container is chosen.
const char* const kExactFitHint = QT_TRANSLATE_NOOP(
    "SettingsPage", "ｺﾝﾃﾅを選んでいる間は、ﾌｧｲﾙに収まる最大のﾋﾞｯﾄﾚｰﾄを常に求めます");

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

// What the choice of a container changes beside the sums: the rate captions
// name the unit the sums then count, kbit/s of 1000 bit ("kbps") instead of
// the designed 1024 ("Kbps"); the exact fit, which a container's rate makes
// needless, is disabled with its tick kept for when the container returns
// to none; and the frame rate, which only a container's share uses, is
// enabled.
class Units {
public:
    explicit Units(Ui::TavikFrm& ui)
        : ui_(ui), designedHint_(ui.NearRateChk->toolTip()), rateCaptions_{ui.Label1->text(),
                                                                           ui.Label2->text()} {}

    void Show() const {
        const bool container =
            ContainerOfKey(Key(ui_.ContainerBox)).value_or(Container::None) != Container::None;
        QLabel* const labels[] = {ui_.Label1, ui_.Label2};
        for (int i = 0; i < 2; ++i) {
            QString text = rateCaptions_[i];
            if (container && text.endsWith(QLatin1String("Kbps")))
                text[text.size() - 4] = QLatin1Char('k');
            labels[i]->setText(text);
        }
        ui_.NearRateChk->setEnabled(!container);
        ui_.NearRateChk->setToolTip(
            container ? QCoreApplication::translate("SettingsPage", kExactFitHint) : designedHint_);
        ui_.FpsLbl->setEnabled(container);
        ui_.FpsBox->setEnabled(container);
    }

private:
    static std::string Key(const QComboBox* box) {
        return box->currentData().toString().toStdString();
    }

    Ui::TavikFrm& ui_;
    QString designedHint_;
    QString rateCaptions_[2];
};

} // namespace

void FillSettingsLists(Ui::TavikFrm& ui) {
    for (const ContainerRow& row : kContainers)
        ui.ContainerBox->addItem(QCoreApplication::translate("Container", row.shown),
                                 KeyText(row.key));
    for (const FrameRateRow& row : kFrameRates)
        ui.FpsBox->addItem(QCoreApplication::translate("FrameRate", row.shown), KeyText(row.key));
}

void RestoreSettings(Ui::TavikFrm& ui) {
    Restore(ui.ContainerBox, kContainerSetting);
    Restore(ui.FpsBox, kFrameRateSetting);
    const Units units(ui);
    units.Show();
    QObject::connect(ui.ContainerBox, &QComboBox::currentIndexChanged, ui.ContainerBox,
                     [units] { units.Show(); });
}

} // namespace tavik
