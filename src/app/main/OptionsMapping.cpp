#include "OptionsMapping.h"

#include "Settings.h"

#include <algorithm>

namespace vexa {
namespace {

const QString conquest = QStringLiteral("Conquest");
const QString print = QStringLiteral("Print");
const QString windows = QStringLiteral("Windows");
const QString workList = QStringLiteral("WorkList");

} // namespace

OptionsValues LoadOptions(const QString& defaultPrinterName)
{
    OptionsValues v;
    v.ConquestPath = GetSetting(conquest, QStringLiteral("ConquestPath"));
    v.ConquestImagePath = GetSetting(conquest, QStringLiteral("ConquestImagePath"));
    v.Entete = GetSetting(print, QStringLiteral("Entete"));
    v.Inverse = GetYesNoSetting(print, QStringLiteral("Inverse"), QStringLiteral("0"));
    v.IsEtiquette = GetYesNoSetting(print, QStringLiteral("IsEtiquette"), QStringLiteral("0"));
    v.EtiquetteAutoPrint = GetYesNoSetting(print, QStringLiteral("EtiquetteAutoPrint"), QStringLiteral("0"));
    v.ImagePrinter = GetSetting(print, QStringLiteral("ImagePrinter"), defaultPrinterName);
    v.EtiquettePrinter = GetSetting(print, QStringLiteral("EtiquettePrinter"), defaultPrinterName);
    v.CR_Printer = GetSetting(print, QStringLiteral("CR_Printer"), defaultPrinterName);
    v.NbEtiquette = GetSetting(print, QStringLiteral("NbEtiquette"), QStringLiteral("1"));
    v.FormatEtiquette = GetIntegerSetting(print, QStringLiteral("FormatEtiquette"), QStringLiteral("1"));
    v.FujiCheminNetpix = GetSetting(workList, QStringLiteral("FujiCheminNetpix"));
    v.FujiPraticien = GetSetting(workList, QStringLiteral("FujiPraticien"), QStringLiteral("VD"));
    v.LetOnTop = GetYesNoSetting(windows, QStringLiteral("LetOnTop"), QStringLiteral("1"));
    v.Position = GetIntegerSetting(windows, QStringLiteral("Position"), QStringLiteral("0"));
    return v;
}

void SaveOptions(const OptionsValues& v, const MainWindowPlace& place)
{
    SaveSetting(conquest, QStringLiteral("ConquestPath"), v.ConquestPath);
    SaveSetting(conquest, QStringLiteral("ConquestImagePath"), v.ConquestImagePath);
    SaveSetting(print, QStringLiteral("Entete"), v.Entete);
    SaveSetting(print, QStringLiteral("Inverse"), YesNoText(v.Inverse));
    SaveSetting(print, QStringLiteral("IsEtiquette"), YesNoText(v.IsEtiquette));
    SaveSetting(print, QStringLiteral("EtiquetteAutoPrint"), YesNoText(v.EtiquetteAutoPrint));
    SaveSetting(print, QStringLiteral("ImagePrinter"), v.ImagePrinter);
    SaveSetting(print, QStringLiteral("EtiquettePrinter"), v.EtiquettePrinter);
    SaveSetting(print, QStringLiteral("CR_Printer"), v.CR_Printer);
    SaveSetting(print, QStringLiteral("NbEtiquette"), v.NbEtiquette);
    SaveSetting(workList, QStringLiteral("FujiCheminNetpix"), v.FujiCheminNetpix);
    SaveSetting(workList, QStringLiteral("FujiPraticien"), v.FujiPraticien);
    SaveSetting(print, QStringLiteral("FormatEtiquette"), QString::number(v.FormatEtiquette));
    SaveSetting(windows, QStringLiteral("Position"), QString::number(v.Position));
    SaveSetting(windows, QStringLiteral("LetOnTop"), YesNoText(v.LetOnTop));
    if (!place.normalState)
        return;
    SaveSetting(windows, QStringLiteral("PositionLeft"), QString::number(place.leftTwips));
    SaveSetting(windows, QStringLiteral("PositionTop"), QString::number(place.topTwips));
}

QString ImageFolderForDatabase(const QString& databasePath)
{
    // A Windows installation keeps its database as dbase\conquestpacs_s.mdb;
    // a Linux one as dbase/conquest.db3 under its data folder.
    QString folder = databasePath;
    for (const QString& layout :
        {QStringLiteral("dbase\\conquestpacs_s.mdb"), QStringLiteral("dbase/conquest.db3")})
        folder.remove(layout);
    return folder;
}

QString FolderOfChosenFile(const QString& filePath)
{
    const qsizetype cut = std::max(filePath.lastIndexOf(u'/'), filePath.lastIndexOf(u'\\'));
    return cut < 0 ? QString() : filePath.left(cut + 1);
}

} // namespace vexa
