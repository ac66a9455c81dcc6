#include "browser/ExamLists.h"

#include "browser/ExamOpening.h"
#include "pacsdb/QueryCatalogue.h"

namespace vexa {

QString NoPatientFoundText()
{
    return QStringLiteral("Aucun patient trouvé");
}

DateSearchResult RunDateSearch(
    RecordSet& seriesData, const QString& conquestPath, const QDate& from, const QDate& to)
{
    seriesData.setDatabasePath(conquestPath);
    seriesData.setRecordSource(Sql::SeriesBetween(from, to));
    seriesData.setHighlight({});
    DateSearchResult result;
    if (!seriesData.requery(RecordSet::OnFailure::Empty)) {
        result.seriesCountText = DatabaseFailureText(seriesData.lastError());
        return result;
    }
    seriesData.moveLast();
    result.count = seriesData.count();
    result.seriesCountText = SeriesCountText(result.count);
    result.viewButtonVisible = result.count > 0;
    return result;
}

PatientSearchResult RunPatientSearch(
    RecordSet& patientSeries, const QString& conquestPath, const QString& text)
{
    return ShowPatientSearch(patientSeries, conquestPath, text, ReadPatientSearch(conquestPath, text));
}

RecordRows ReadPatientSearch(const QString& conquestPath, const QString& text)
{
    return ReadRecordRows(conquestPath, Sql::SeriesByPatientName(text));
}

PatientSearchResult ShowPatientSearch(
    RecordSet& patientSeries, const QString& conquestPath, const QString& text, RecordRows rows)
{
    patientSeries.setDatabasePath(conquestPath);
    PatientSearchResult result;
    if (!patientSeries.showRows(std::move(rows), RecordSet::OnFailure::Empty)) {
        result.statusText = DatabaseFailureText(patientSeries.lastError());
        return result;
    }
    patientSeries.moveFirst();
    result.viewButtonVisible = patientSeries.count() > 0;
    if (!result.viewButtonVisible && !text.isEmpty())
        result.statusText = NoPatientFoundText();
    return result;
}

} // namespace vexa
