#include "base/core/AppValues.h"
#include "base/core/CurrentPrinter.h"
#include "base/core/SettingKeys.h"
#include <QStandardPaths>
#include <algorithm>
#include <limits>

namespace vexa {
namespace {

// The options dialog keeps these in 16-bit fields; out-of-range texts are clamped.
int16_t shortSetting(const SettingKey& key)
{
    const int value = GetIntegerSetting(key);
    return static_cast<int16_t>(
        std::clamp<int>(value, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()));
}

QString dataFolder(const QString& name)
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + u'/' + name;
}

// A limit that is not a number, or not a positive one, is the default; one
// too small to show an ordinary radiograph or beyond any memory is brought
// back into range.
std::uint64_t imageMemoryLimit(const SettingKey& key)
{
    bool number = false;
    const qlonglong megabytes = GetSetting(key).trimmed().toLongLong(&number);
    if (!number || megabytes <= 0)
        return key.defaultValue.toULongLong() << 20;
    return static_cast<std::uint64_t>(std::clamp<qlonglong>(megabytes, 64, 65536)) << 20;
}

} // namespace

AppValues& appValues()
{
    static AppValues values;
    return values;
}

QString DefaultBurnStagingDir()
{
    return dataFolder(QStringLiteral("ToBurn.tmp"));
}

QString DefaultDicomExportDir()
{
    return dataFolder(QStringLiteral("DCM"));
}

void ReadSharedSettings(SharedSettings& v, const QString& defaultPrinterName)
{
    v.ConquestPath = GetSetting(Keys::ConquestPath);
    v.ConquestImagePath = GetSetting(Keys::ConquestImagePath);
    v.Entete = GetSetting(Keys::Entete);
    v.ImagePrinter = GetSetting(Keys::ImagePrinter, defaultPrinterName);
    v.EtiquettePrinter = GetSetting(Keys::EtiquettePrinter, defaultPrinterName);
    v.CR_Printer = GetSetting(Keys::CR_Printer, defaultPrinterName);
    v.FujiCheminNetpix = GetSetting(Keys::FujiCheminNetpix);
    v.FujiPraticien = GetSetting(Keys::FujiPraticien);
    v.DicomWorklistFolder = GetSetting(Keys::DicomWorklistFolder);
    v.Inverse = GetYesNoSetting(Keys::Inverse);
    v.IsEtiquette = GetYesNoSetting(Keys::IsEtiquette);
    v.LetOnTop = GetYesNoSetting(Keys::LetOnTop);
}

AppValues ReadAppValues(const QString& defaultPrinterName)
{
    AppValues v;
    ReadSharedSettings(v, defaultPrinterName);
    v.DefaultPrinterName = defaultPrinterName;
    v.ImagePath = GetSetting(Keys::ImagePath);
    v.EtiquetteAutoPrint = GetYesNoSetting(Keys::EtiquetteAutoPrint);

    v.FormatEtiquette = shortSetting(Keys::FormatEtiquette);
    v.NbEtiquette = shortSetting(Keys::NbEtiquette);
    v.Position = shortSetting(Keys::Position);

    v.BurnStagingDir = DefaultBurnStagingDir();
    v.DicomExportDir = DefaultDicomExportDir();
    v.MonitorInterval = 6000;
    v.MaxImageBytes = imageMemoryLimit(Keys::MaxImageMemoryMB);
    v.TodayDate = QDate::currentDate();
    return v;
}

void LoadAppValues(const QString& defaultPrinterName)
{
    appValues() = ReadAppValues(defaultPrinterName);
    SetCurrentPrinterName(defaultPrinterName);
}

} // namespace vexa
