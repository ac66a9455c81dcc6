#include "pacsdb/MainRecordSets.h"

namespace vexa {

void MainRecordSets::setDatabasePath(const QString& conquestPath)
{
    for (RecordSet* set : {&seriesByDate, &seriesByPatient, &notBurnedSeries, &examImages, &examSeries,
             &examStudy, &workSet, &patientLookup})
        set->setDatabasePath(conquestPath);
}

QString seriesCountText(int count)
{
    if (count == 0)
        return QStringLiteral("Pas de dossier trouvé");
    if (count == 1)
        return QStringLiteral("1 dossier.");
    return QString::number(count) + QStringLiteral(" dossiers.");
}

} // namespace vexa
