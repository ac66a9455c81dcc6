#pragma once
// Burning the opened exam on a patient CD, as the main window's burn button
// does it: the question, the preparation under the waiting window, the
// burning window, then on a success only the exam marked burned and its
// labels printed. The main window hands in its values and callbacks.
#include "CdPreparation.h"

#include <QList>
#include <functional>

class QWidget;

namespace vexa {

class BurnEngine;
class ImageConverters;
class RecordSet;

struct CdBurnRequest {
    QList<CdImage> images; // the exam's images in Compteur order
    CdPageTexts texts; // letterhead, patient name and exam date as shown
    CdWorkFolders folders; // the CD folder and the DICOM export folder
    bool autoPrintLabels = false; // EtiquetteAutoPrint
    int labelCount = 1; // NbEtiquette
};

struct CdBurnCallbacks {
    std::function<void(bool enabled)> setShortcutsEnabled;
    std::function<void()> markExamBurned; // e.g. MarkSeriesBurned on the exam's series row
    std::function<void(int count)> printLabels;
    std::function<void()> resumeMonitor;
};

// Runs the whole action; true when a CD was burned. Answering anything but
// Yes to the question does nothing at all. A preparation that cannot be made
// is reported and opens no burning window.
bool BurnExamToCd(const CdBurnRequest& request, const CdBurnCallbacks& callbacks, BurnEngine& engine,
    ImageConverters& converters, QWidget* parent = nullptr);

// Burned = true on the current row of the series record set, stored; false
// when it could not be written.
bool MarkSeriesBurned(RecordSet& series);

} // namespace vexa
