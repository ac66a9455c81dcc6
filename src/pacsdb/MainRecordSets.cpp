#include "MainRecordSets.h"

#include "ExamIdentity.h"

namespace vexa {

void MainRecordSets::setDatabasePath(const QString& conquestPath)
{
    for (RecordSet* set : {&ConnSeriesData, &ConnPatientSeries, &ConnPatientNotBurned, &ConnExamen,
             &ConnExamenSerie, &ConnExamenStudy, &Conn, &DataIdentities})
        set->setDatabasePath(conquestPath);
}

ExamIdentity& CurrentExam()
{
    static ExamIdentity exam;
    return exam;
}

} // namespace vexa
