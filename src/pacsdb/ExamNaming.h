#pragma once
// SetName: completes the rows Conquest adds with a readable patient name and
// an exam date. Images are handled once (their Burned column marks them
// done); series until they hold a valid ScanDate.
#include "MainRecordSets.h"

namespace vexa {

// "DUPONT^JEAN^^^" -> "DUPONT JEAN   ".
QString ReadablePatientName(const QString& dicomName);

// The exam date from a YYYYMMDD text; today when the text is empty or not a date.
QDate ExamDateOf(const QString& yyyymmdd, const QDate& today);

// Runs the image pass then the series pass on workSet, looking patients up in
// patientLookup. Each pass is stored in one transaction: a failure leaves
// its rows to the next run. Returns "" or the first failure's description.
QString SetName(MainRecordSets& sets, const QString& conquestPath);

} // namespace vexa
