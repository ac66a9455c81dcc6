#include "pacsdb/MainRecordSets.h"

namespace vexa {

void MainRecordSets::setDatabasePath(const QString& conquestPath)
{
    for (RecordSet* set : {&seriesByDate, &seriesByPatient, &notBurnedSeries, &examImages, &examSeries,
             &examStudy, &workSet, &patientLookup})
        set->setDatabasePath(conquestPath);
}

} // namespace vexa
