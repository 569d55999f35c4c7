// SPDX-License-Identifier: GPL-3.0-or-later
#include "FitCheck.h"

#include "CalcValues.h"
#include "console/Console.h"
#include "core/Fit.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QString>

namespace tavik {

namespace {

std::int64_t TotalBytes(const FitCheck& check) {
    std::int64_t total = 0;
    for (const CheckedFile& file : check.files)
        total += file.bytes;
    return total;
}

std::int64_t Kbps(const CheckedFile& file) {
    return AverageKbps(file.bytes, file.durationUs);
}

// The whole part, ".", then `digits` digits of hundredths or thousandths.
std::string Fixed(std::int64_t scaled, std::int64_t unit, int digits) {
    std::string fraction = std::to_string(scaled % unit);
    fraction.insert(0, static_cast<std::size_t>(digits) - fraction.size(), '0');
    return std::to_string(scaled / unit) + "." + fraction;
}

std::string SecondsText(std::int64_t us) {
    return Fixed((us + 500) / 1000, 1000, 3);
}

// Hundredths of an MB, rounded toward zero or away from it.
std::string MBText(std::int64_t bytes, bool up) {
    return Fixed(HundredthsOfMB(bytes, up), 100, 2);
}

} // namespace

std::int64_t SpareBytes(const FitCheck& check) {
    return SpareBytes(check.sizeMB, TotalBytes(check));
}

std::string CheckText(const FitCheck& check) {
    std::string text;
    for (const CheckedFile& file : check.files)
        text += Printable(file.path.toStdString()) + "\t" + std::to_string(file.bytes) +
                " bytes\t" + SecondsText(file.durationUs) + " s\t" + std::to_string(Kbps(file)) +
                " kbit/s\n";
    const std::int64_t spare = SpareBytes(check);
    if (spare >= 0)
        return text +
               UsageText(QT_TRANSLATE_NOOP("CalcCommand", "収まります: 残り %1 MB"),
                         {MBText(spare, false)}) +
               "\n";
    return text +
           UsageText(QT_TRANSLATE_NOOP("CalcCommand", "収まりません: %1 MB 超過"),
                     {MBText(-spare, true)}) +
           "\n";
}

QJsonObject CheckJson(const FitCheck& check) {
    QJsonArray files;
    for (const CheckedFile& file : check.files)
        files.append(QJsonObject{
            {"name", QString::fromUtf8(file.path)}, // JSON holds text: not UTF-8 shows U+FFFD
            {"bytes", qint64{file.bytes}},
            {"seconds", static_cast<double>(file.durationUs) / 1e6},
            {"kbps", qint64{Kbps(file)}},
        });
    const std::int64_t spare = SpareBytes(check);
    return {
        {"command", "check"}, {"size_mb", check.sizeMB},      {"bytes", qint64{TotalBytes(check)}},
        {"fits", spare >= 0}, {"spare_bytes", qint64{spare}}, {"files", files},
    };
}

} // namespace tavik
