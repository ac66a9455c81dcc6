#pragma once
// The JPEG export of a series when an exam is opened, with its waiting window.
#include "browser/ExamOpening.h"

class QWidget;

namespace vexa {

// The exporter the program uses. It runs on a worker thread with a query and
// a connection of its own (nothing the monitor requeries or closes meanwhile),
// and its waiting window is modal over `owner`'s window, so nothing else is
// started from that window while it runs. Empty when this build has no JPEG export, in which case the exam
// opens on the pictures already beside its images.
SeriesExporter productionSeriesExporter(QWidget* owner);

} // namespace vexa
