#pragma once
// Burning an exam on a patient CD, as the main window's burn button does it:
// the question, the checks and the preparation off the user-interface thread
// under a modal waiting window, the burning window, then on a success only
// the exam marked burned and its labels printed. The action takes its exam as
// a value at its start and finishes on it, whatever the main window shows
// meanwhile.
#include "burning/cd/ExamCd.h"

#include <functional>

class QWidget;

namespace vexa {

class BurnEngine;
class ImageConverters;

struct AppValues;

struct CdBurnRequest {
    ExamCdRequest cd; // the exam burned, marked burned and labelled, and its CD
    bool autoPrintLabels = false; // labels enabled (IsEtiquette) and printed at burning
    int labelCount = 1; // NbEtiquette
};

// The request for burning the exam with the workstation's settings.
CdBurnRequest makeCdBurnRequest(const Exam& exam, const AppValues& values);

struct CdBurnCallbacks {
    std::function<void(bool enabled)> setShortcutsEnabled;
    std::function<void(const Exam& exam, int count)> printLabels;
    std::function<void()> resumeMonitor;
};

// Runs the whole action; true when a CD was burned. Answering anything but
// Yes to the question does nothing at all. The exam is refused while Conquest
// still receives it, when another workstation deleted it and when it has no
// image; a preparation that fails, or whose CD does not hold the exam's
// images, is reported and opens no burning window. A start while a burn
// runs is refused (false, nothing done).
bool burnExamToCd(const CdBurnRequest& request, const CdBurnCallbacks& callbacks, BurnEngine& engine,
    ImageConverters& converters, QWidget* parent = nullptr);

// True from the start of BurnExamToCd to its end.
bool cdBurnRunning();

} // namespace vexa
