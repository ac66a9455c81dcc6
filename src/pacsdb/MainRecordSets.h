#pragma once
// The main window's named record sets, which the other windows also read.
#include "pacsdb/RecordSet.h"

namespace vexa {

struct MainRecordSets {
    RecordSet seriesByDate{QStringLiteral("seriesByDate")}; // date search
    RecordSet seriesByPatient{QStringLiteral("seriesByPatient")}; // patient search
    RecordSet notBurnedSeries{QStringLiteral("notBurnedSeries")}; // recent series not burned
    RecordSet examImages{QStringLiteral("examImages")}; // images of the opened exam
    RecordSet examSeries{QStringLiteral("examSeries")}; // its series row
    RecordSet examStudy{QStringLiteral("examStudy")}; // its study row
    RecordSet workSet{QStringLiteral("workSet")}; // scratch queries of the monitor, export and thumbnails
    RecordSet patientLookup{QStringLiteral("patientLookup")}; // one patient, looked up while naming new rows

    // Points every record set at the database.
    void setDatabasePath(const QString& conquestPath);
};

// The count label of the date list for a number of series ("12 dossiers.").
QString seriesCountText(int count);

} // namespace vexa
