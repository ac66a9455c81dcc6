#include "AppValues.h"
#include "CurrentPrinter.h"
#include "Settings.h"
#include <QStandardPaths>
#include <algorithm>
#include <limits>

namespace vexa {
namespace {

// The options dialog keeps these in 16-bit fields; out-of-range texts are clamped.
int16_t shortSetting(const QString& section, const QString& key, const QString& defaultValue)
{
    const int value = GetIntegerSetting(section, key, defaultValue);
    return static_cast<int16_t>(
        std::clamp<int>(value, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()));
}

QString dataFolder(const QString& name)
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + u'/' + name;
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

AppValues ReadAppValues(const QString& defaultPrinterName)
{
    const QString conquest = QStringLiteral("Conquest");
    const QString print = QStringLiteral("Print");
    const QString windows = QStringLiteral("Windows");
    const QString workList = QStringLiteral("WorkList");

    AppValues v;
    v.DefaultPrinterName = defaultPrinterName;
    v.ConquestPath = GetSetting(conquest, QStringLiteral("ConquestPath"));
    v.ConquestImagePath = GetSetting(conquest, QStringLiteral("ConquestImagePath"));
    v.ImagePath = GetSetting(QStringLiteral("Image"), QStringLiteral("ImagePath"));
    v.Entete = GetSetting(print, QStringLiteral("Entete"));
    v.ImagePrinter = GetSetting(print, QStringLiteral("ImagePrinter"), defaultPrinterName);
    v.EtiquettePrinter = GetSetting(print, QStringLiteral("EtiquettePrinter"), defaultPrinterName);
    v.CR_Printer = GetSetting(print, QStringLiteral("CR_Printer"), defaultPrinterName);
    v.FujiCheminNetpix = GetSetting(workList, QStringLiteral("FujiCheminNetpix"));
    v.FujiPraticien = GetSetting(workList, QStringLiteral("FujiPraticien"), QStringLiteral("VD"));
    v.DicomWorklistFolder = GetSetting(workList, QStringLiteral("DicomWorklistFolder"));

    v.Inverse = GetYesNoSetting(print, QStringLiteral("Inverse"), QStringLiteral("0"));
    v.IsEtiquette = GetYesNoSetting(print, QStringLiteral("IsEtiquette"), QStringLiteral("0"));
    v.EtiquetteAutoPrint = GetYesNoSetting(print, QStringLiteral("EtiquetteAutoPrint"), QStringLiteral("1"));
    v.LetOnTop = GetYesNoSetting(windows, QStringLiteral("LetOnTop"), QStringLiteral("1"));

    v.FormatEtiquette = shortSetting(print, QStringLiteral("FormatEtiquette"), QStringLiteral("1"));
    v.NbEtiquette = shortSetting(print, QStringLiteral("NbEtiquette"), QStringLiteral("1"));
    v.Position = shortSetting(windows, QStringLiteral("Position"), QStringLiteral("0"));

    v.BurnStagingDir = DefaultBurnStagingDir();
    v.DicomExportDir = DefaultDicomExportDir();
    v.MonitorInterval = 6000;
    v.TodayDate = QDate::currentDate();
    return v;
}

void LoadAppValues(const QString& defaultPrinterName)
{
    appValues() = ReadAppValues(defaultPrinterName);
    SetCurrentPrinterName(defaultPrinterName);
}

} // namespace vexa
