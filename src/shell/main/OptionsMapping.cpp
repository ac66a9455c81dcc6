#include "shell/main/OptionsMapping.h"

#include "base/core/SettingKeys.h"

#include <algorithm>

namespace vexa {
OptionsValues loadOptions(const QString& defaultPrinterName)
{
    OptionsValues v;
    readSharedSettings(v, defaultPrinterName);
    v.etiquetteAutoPrint = getYesNoSetting(keys::EtiquetteAutoPrint, keys::EtiquetteAutoPrintShownWhenAbsent);
    v.nbEtiquette = getSetting(keys::NbEtiquette);
    v.formatEtiquette = getIntegerSetting(keys::FormatEtiquette);
    v.position = getIntegerSetting(keys::Position);
    return v;
}

void saveOptions(const OptionsValues& v, const MainWindowPlace& place)
{
    saveSetting(keys::ConquestPath, v.conquestPath);
    saveSetting(keys::ConquestImagePath, v.conquestImagePath);
    saveSetting(keys::Entete, v.entete);
    saveSetting(keys::Inverse, yesNoText(v.inverse));
    saveSetting(keys::IsEtiquette, yesNoText(v.isEtiquette));
    saveSetting(keys::EtiquetteAutoPrint, yesNoText(v.etiquetteAutoPrint));
    saveSetting(keys::ImagePrinter, v.imagePrinter);
    saveSetting(keys::EtiquettePrinter, v.etiquettePrinter);
    saveSetting(keys::CR_Printer, v.crPrinter);
    saveSetting(keys::NbEtiquette, v.nbEtiquette);
    saveSetting(keys::FujiCheminNetpix, v.fujiCheminNetpix);
    saveSetting(keys::FujiPraticien, v.fujiPraticien);
    saveSetting(keys::DicomWorklistFolder, v.dicomWorklistFolder);
    saveSetting(keys::FormatEtiquette, QString::number(v.formatEtiquette));
    saveSetting(keys::Position, QString::number(v.position));
    saveSetting(keys::LetOnTop, yesNoText(v.letOnTop));
    if (!place.normalState)
        return;
    saveSetting(keys::PositionLeft, QString::number(place.leftTwips));
    saveSetting(keys::PositionTop, QString::number(place.topTwips));
}

QString imageFolderForDatabase(const QString& databasePath)
{
    // A Windows installation keeps its database as dbase\conquestpacs_s.mdb;
    // a Linux one as dbase/conquest.db3 under its data folder.
    QString folder = databasePath;
    for (const QString& layout :
        {QStringLiteral("dbase\\conquestpacs_s.mdb"), QStringLiteral("dbase/conquest.db3")})
        folder.remove(layout);
    return folder;
}

QString folderOfChosenFile(const QString& filePath)
{
    const qsizetype cut = std::max(filePath.lastIndexOf(u'/'), filePath.lastIndexOf(u'\\'));
    return cut < 0 ? QString() : filePath.left(cut + 1);
}

} // namespace vexa
