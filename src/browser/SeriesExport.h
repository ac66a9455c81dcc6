#pragma once
// The JPEG export of a series when an exam is opened, with its waiting window.
#include "ExamOpening.h"

namespace vexa {

// The exporter the program uses, working with the scratch record set workSet;
// empty when this build has no JPEG export, in which case the exam opens on
// the pictures already beside its images.
SeriesExporter ProductionSeriesExporter(MainRecordSets& sets);

} // namespace vexa
