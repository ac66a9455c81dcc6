#pragma once
// The process-wide values every window reads: copies of the settings taken at
// start-up, fixed folders and constants. Only the start-up and the options
// dialog write them (the day timer refreshes TodayDate).
#include <QDate>
#include <QString>
#include <cstdint>

namespace vexa {

// The settings the running program and the options dialog read alike.
struct SharedSettings {
    QString ConquestPath;
    QString ConquestImagePath;
    QString Entete;
    QString ImagePrinter;
    QString EtiquettePrinter;
    QString CR_Printer;
    QString FujiCheminNetpix;
    QString FujiPraticien = QStringLiteral("VD");
    QString DicomWorklistFolder; // DICOM worklist items (one AE title's folder); "" writes none

    bool Inverse = false;
    bool IsEtiquette = false;
    bool LetOnTop = true;
};

// The shared settings as the store gives them now; the three printers default
// to defaultPrinterName.
void ReadSharedSettings(SharedSettings& settings, const QString& defaultPrinterName);

struct AppValues : SharedSettings {
    QString DefaultPrinterName;
    QString ImagePath;
    bool EtiquetteAutoPrint = true;

    int16_t FormatEtiquette = 1;
    int16_t NbEtiquette = 1;
    int16_t Position = 0;

    QString BurnStagingDir; // CD folder being staged
    QString DicomExportDir; // DICOM files and DICOMDIR before they join the CD folder
    int MonitorInterval = 6000; // new-exam monitor period, milliseconds
    // What decoding one image may take (viewer, pictures, printing); the
    // start-up hands it to the DICOM layer. 64 MB to 64 GB, 1 GB by default.
    std::uint64_t MaxImageBytes = std::uint64_t{1} << 30;
    QDate TodayDate;
};

// The one instance, alive until the program ends.
AppValues& appValues();

// The values as the settings store gives them now; defaultPrinterName is the
// system default printer ("" when none is installed), the default of the three
// printer keys.
AppValues ReadAppValues(const QString& defaultPrinterName);
// Start-up: fills appValues() from the store and makes the default printer the current one.
void LoadAppValues(const QString& defaultPrinterName);

// <per-user data folder>/ToBurn.tmp and <per-user data folder>/DCM, without a trailing separator.
QString DefaultBurnStagingDir();
QString DefaultDicomExportDir();

} // namespace vexa
