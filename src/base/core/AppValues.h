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
    QString conquestPath;
    QString conquestImagePath;
    QString entete;
    QString imagePrinter;
    QString etiquettePrinter;
    QString crPrinter;
    QString fujiCheminNetpix;
    QString fujiPraticien = QStringLiteral("VD");
    QString dicomWorklistFolder; // DICOM worklist items (one AE title's folder); "" writes none

    bool inverse = false;
    bool isEtiquette = false;
    bool letOnTop = true;
};

// The shared settings as the store gives them now; the three printers default
// to defaultPrinterName.
void readSharedSettings(SharedSettings& settings, const QString& defaultPrinterName);

struct AppValues : SharedSettings {
    QString defaultPrinterName;
    QString imagePath;
    bool etiquetteAutoPrint = true;

    int16_t formatEtiquette = 1;
    int16_t nbEtiquette = 1;
    int16_t position = 0;

    QString burnStagingDir; // CD folder being staged
    QString dicomExportDir; // DICOM files and DICOMDIR before they join the CD folder
    int monitorInterval = 6000; // new-exam monitor period, milliseconds
    // What decoding one image may take (viewer, pictures, printing); the
    // start-up hands it to the DICOM layer. 64 MB to 64 GB, 1 GB by default.
    std::uint64_t maxImageBytes = std::uint64_t{1} << 30;
    QDate todayDate;
};

// The one instance, alive until the program ends.
AppValues& appValues();

// The values as the settings store gives them now; defaultPrinterName is the
// system default printer ("" when none is installed), the default of the three
// printer keys.
AppValues readAppValues(const QString& defaultPrinterName);
// Start-up: fills appValues() from the store and makes the default printer the current one.
void loadAppValues(const QString& defaultPrinterName);

// <per-user data folder>/ToBurn.tmp and <per-user data folder>/DCM, without a trailing separator.
QString defaultBurnStagingDir();
QString defaultDicomExportDir();

} // namespace vexa
