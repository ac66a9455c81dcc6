#include "ExamLists.h"

#include "QueryCatalogue.h"

namespace vexa {

QString SeriesCountText(int count)
{
    if (count == 0)
        return QStringLiteral("Pas de dossier trouvé");
    return QString::number(count) + QStringLiteral(" dossiers.");
}

DateSearchResult RunDateSearch(
    RecordSet& seriesData, const QString& conquestPath, const QDate& from, const QDate& to)
{
    seriesData.setDatabasePath(conquestPath);
    seriesData.setRecordSource(Sql::SeriesBetween(from, to));
    seriesData.requery();
    seriesData.moveLast();
    DateSearchResult result;
    result.count = seriesData.count();
    result.seriesCountText = SeriesCountText(result.count);
    result.viewButtonVisible = result.count > 0;
    return result;
}

bool RunPatientSearch(RecordSet& patientSeries, const QString& conquestPath, const QString& text)
{
    // The appended "*" makes it a match on the beginning of the name.
    const QString pattern = text.isEmpty() ? text : text + u'*';
    patientSeries.setDatabasePath(conquestPath);
    patientSeries.setRecordSource(Sql::SeriesByPatientName(pattern));
    patientSeries.requery();
    patientSeries.moveFirst();
    return patientSeries.count() > 0;
}

} // namespace vexa
