#pragma once
// The main window's named record sets, which the other windows also read.
#include "RecordSet.h"

namespace vexa {

struct MainRecordSets {
    RecordSet ConnSeriesData{QStringLiteral("ConnSeriesData")}; // date search
    RecordSet ConnPatientSeries{QStringLiteral("ConnPatientSeries")}; // patient search
    RecordSet ConnPatientNotBurned{QStringLiteral("ConnPatientNotBurned")}; // not burned
    RecordSet ConnExamen{QStringLiteral("ConnExamen")}; // images of the opened exam
    RecordSet ConnExamenSerie{QStringLiteral("ConnExamenSerie")}; // its series row
    RecordSet ConnExamenStudy{QStringLiteral("ConnExamenStudy")}; // its study row
    RecordSet Conn{QStringLiteral("Conn")}; // work record set
    RecordSet DataIdentities{QStringLiteral("DataIdentities")}; // one patient

    // Points every record set at the database.
    void setDatabasePath(const QString& conquestPath);
};

} // namespace vexa
