#include "shell/main/OptionsMapping.h"

#include "base/core/SettingKeys.h"

#include <algorithm>

namespace vexa {
OptionsValues LoadOptions(const QString& defaultPrinterName)
{
    OptionsValues v;
    ReadSharedSettings(v, defaultPrinterName);
    v.EtiquetteAutoPrint = GetYesNoSetting(Keys::EtiquetteAutoPrint, Keys::EtiquetteAutoPrintShownWhenAbsent);
    v.NbEtiquette = GetSetting(Keys::NbEtiquette);
    v.FormatEtiquette = GetIntegerSetting(Keys::FormatEtiquette);
    v.Position = GetIntegerSetting(Keys::Position);
    return v;
}

void SaveOptions(const OptionsValues& v, const MainWindowPlace& place)
{
    SaveSetting(Keys::ConquestPath, v.ConquestPath);
    SaveSetting(Keys::ConquestImagePath, v.ConquestImagePath);
    SaveSetting(Keys::Entete, v.Entete);
    SaveSetting(Keys::Inverse, YesNoText(v.Inverse));
    SaveSetting(Keys::IsEtiquette, YesNoText(v.IsEtiquette));
    SaveSetting(Keys::EtiquetteAutoPrint, YesNoText(v.EtiquetteAutoPrint));
    SaveSetting(Keys::ImagePrinter, v.ImagePrinter);
    SaveSetting(Keys::EtiquettePrinter, v.EtiquettePrinter);
    SaveSetting(Keys::CR_Printer, v.CR_Printer);
    SaveSetting(Keys::NbEtiquette, v.NbEtiquette);
    SaveSetting(Keys::FujiCheminNetpix, v.FujiCheminNetpix);
    SaveSetting(Keys::FujiPraticien, v.FujiPraticien);
    SaveSetting(Keys::DicomWorklistFolder, v.DicomWorklistFolder);
    SaveSetting(Keys::FormatEtiquette, QString::number(v.FormatEtiquette));
    SaveSetting(Keys::Position, QString::number(v.Position));
    SaveSetting(Keys::LetOnTop, YesNoText(v.LetOnTop));
    if (!place.normalState)
        return;
    SaveSetting(Keys::PositionLeft, QString::number(place.leftTwips));
    SaveSetting(Keys::PositionTop, QString::number(place.topTwips));
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
