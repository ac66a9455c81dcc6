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
    const int value = getIntegerSetting(key);
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
    const qlonglong megabytes = getSetting(key).trimmed().toLongLong(&number);
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

QString defaultBurnStagingDir()
{
    return dataFolder(QStringLiteral("ToBurn.tmp"));
}

QString defaultDicomExportDir()
{
    return dataFolder(QStringLiteral("DCM"));
}

void readSharedSettings(SharedSettings& v, const QString& defaultPrinterName)
{
    v.conquestPath = getSetting(keys::ConquestPath);
    v.conquestImagePath = getSetting(keys::ConquestImagePath);
    v.entete = getSetting(keys::Entete);
    v.imagePrinter = getSetting(keys::ImagePrinter, defaultPrinterName);
    v.etiquettePrinter = getSetting(keys::EtiquettePrinter, defaultPrinterName);
    v.crPrinter = getSetting(keys::CR_Printer, defaultPrinterName);
    v.fujiCheminNetpix = getSetting(keys::FujiCheminNetpix);
    v.fujiPraticien = getSetting(keys::FujiPraticien);
    v.dicomWorklistFolder = getSetting(keys::DicomWorklistFolder);
    v.inverse = getYesNoSetting(keys::Inverse);
    v.isEtiquette = getYesNoSetting(keys::IsEtiquette);
    v.letOnTop = getYesNoSetting(keys::LetOnTop);
}

AppValues readAppValues(const QString& defaultPrinterName)
{
    AppValues v;
    readSharedSettings(v, defaultPrinterName);
    v.defaultPrinterName = defaultPrinterName;
    v.imagePath = getSetting(keys::ImagePath);
    v.etiquetteAutoPrint = getYesNoSetting(keys::EtiquetteAutoPrint);

    v.formatEtiquette = shortSetting(keys::FormatEtiquette);
    v.nbEtiquette = shortSetting(keys::NbEtiquette);
    v.position = shortSetting(keys::Position);

    v.burnStagingDir = defaultBurnStagingDir();
    v.dicomExportDir = defaultDicomExportDir();
    v.monitorInterval = 6000;
    v.maxImageBytes = imageMemoryLimit(keys::MaxImageMemoryMB);
    v.todayDate = QDate::currentDate();
    return v;
}

void loadAppValues(const QString& defaultPrinterName)
{
    appValues() = readAppValues(defaultPrinterName);
    setCurrentPrinterName(defaultPrinterName);
}

} // namespace vexa
