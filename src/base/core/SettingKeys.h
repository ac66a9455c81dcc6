#pragma once
// The settings the program keeps, each once: its section, its key and what a
// reader gets when the key is absent. The start-up reads them into AppValues;
// the options dialog shows and stores them.
#include "base/core/Settings.h"

namespace vexa {

struct SettingKey {
    QString section;
    QString key;
    QString defaultValue; // the printers' keys default to the system printer instead
};

namespace keys {

inline const SettingKey ConquestPath{QStringLiteral("Conquest"), QStringLiteral("ConquestPath"), {}};
inline const SettingKey ConquestImagePath{
    QStringLiteral("Conquest"), QStringLiteral("ConquestImagePath"), {}};
inline const SettingKey ImagePath{QStringLiteral("Image"), QStringLiteral("ImagePath"), {}};
inline const SettingKey Entete{QStringLiteral("Print"), QStringLiteral("Entete"), {}};
inline const SettingKey ImagePrinter{QStringLiteral("Print"), QStringLiteral("ImagePrinter"), {}};
inline const SettingKey EtiquettePrinter{QStringLiteral("Print"), QStringLiteral("EtiquettePrinter"), {}};
inline const SettingKey CR_Printer{QStringLiteral("Print"), QStringLiteral("CR_Printer"), {}};
// The print sheet's stored default page: 1 portrait or 2 landscape (absent:
// the printer's current orientation), and the layout index.
inline const SettingKey ConfigOrientation{QStringLiteral("Print"), QStringLiteral("ConfigOrientation"), {}};
inline const SettingKey ConfigNumber{
    QStringLiteral("Print"), QStringLiteral("ConfigNumber"), QStringLiteral("0")};
inline const SettingKey Inverse{QStringLiteral("Print"), QStringLiteral("Inverse"), QStringLiteral("0")};
inline const SettingKey IsEtiquette{
    QStringLiteral("Print"), QStringLiteral("IsEtiquette"), QStringLiteral("0")};
// Labels print without asking when the key is absent, although the options
// dialog shows that case unticked (and stores "0" when applied).
inline const SettingKey EtiquetteAutoPrint{
    QStringLiteral("Print"), QStringLiteral("EtiquetteAutoPrint"), QStringLiteral("1")};
inline const QString EtiquetteAutoPrintShownWhenAbsent = QStringLiteral("0");
inline const SettingKey FormatEtiquette{
    QStringLiteral("Print"), QStringLiteral("FormatEtiquette"), QStringLiteral("1")};
inline const SettingKey NbEtiquette{
    QStringLiteral("Print"), QStringLiteral("NbEtiquette"), QStringLiteral("1")};
inline const SettingKey FujiCheminNetpix{QStringLiteral("WorkList"), QStringLiteral("FujiCheminNetpix"), {}};
inline const SettingKey FujiPraticien{
    QStringLiteral("WorkList"), QStringLiteral("FujiPraticien"), QStringLiteral("VD")};
inline const SettingKey DicomWorklistFolder{
    QStringLiteral("WorkList"), QStringLiteral("DicomWorklistFolder"), {}};
inline const SettingKey LetOnTop{QStringLiteral("Windows"), QStringLiteral("LetOnTop"), QStringLiteral("1")};
inline const SettingKey Position{QStringLiteral("Windows"), QStringLiteral("Position"), QStringLiteral("0")};
inline const SettingKey PositionLeft{QStringLiteral("Windows"), QStringLiteral("PositionLeft"), {}};
inline const SettingKey PositionTop{QStringLiteral("Windows"), QStringLiteral("PositionTop"), {}};
// The writer chosen last in the burning window.
inline const SettingKey Device{QStringLiteral("Drive"), QStringLiteral("Device"), {}};
// What decoding one image may take in memory, in megabytes (bigger images are
// refused with the figures); not in the options dialog.
inline const SettingKey MaxImageMemoryMB{
    QStringLiteral("Image"), QStringLiteral("MaxImageMemoryMB"), QStringLiteral("1024")};
inline const SettingKey SystemInfoPrograms{
    QStringLiteral("Windows"), QStringLiteral("SystemInfoPrograms"), {}};

} // namespace keys

// Reads with the key's own default.
inline QString getSetting(const SettingKey& k)
{
    return getSetting(k.section, k.key, k.defaultValue);
}
inline QString getSetting(const SettingKey& k, const QString& defaultValue)
{
    return getSetting(k.section, k.key, defaultValue);
}
inline bool getYesNoSetting(const SettingKey& k, const QString& defaultValue)
{
    return getYesNoSetting(k.section, k.key, defaultValue);
}
inline bool getYesNoSetting(const SettingKey& k)
{
    return getYesNoSetting(k, k.defaultValue);
}
inline int getIntegerSetting(const SettingKey& k)
{
    return getIntegerSetting(k.section, k.key, k.defaultValue);
}
inline void saveSetting(const SettingKey& k, const QString& value)
{
    saveSetting(k.section, k.key, value);
}

} // namespace vexa
