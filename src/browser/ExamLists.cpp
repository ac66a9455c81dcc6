#include "browser/ExamLists.h"

#include "browser/ExamOpening.h"
#include "pacsdb/QueryCatalogue.h"

namespace vexa {

QString noPatientFoundText()
{
    return QStringLiteral("Aucun patient trouvé");
}

DateSearchResult runDateSearch(
    RecordSet& seriesData, const QString& conquestPath, const QDate& from, const QDate& to)
{
    seriesData.setDatabasePath(conquestPath);
    seriesData.setRecordSource(sql::seriesBetween(from, to));
    seriesData.setHighlight({});
    DateSearchResult result;
    if (!seriesData.requery(RecordSet::OnFailure::Empty)) {
        result.seriesCountText = databaseFailureText(seriesData.lastError());
        return result;
    }
    seriesData.moveLast();
    result.count = seriesData.count();
    result.seriesCountText = seriesCountText(result.count);
    result.viewButtonVisible = result.count > 0;
    return result;
}

PatientSearchResult runPatientSearch(
    RecordSet& patientSeries, const QString& conquestPath, const QString& text)
{
    return showPatientSearch(patientSeries, conquestPath, text, readPatientSearch(conquestPath, text));
}

RecordRows readPatientSearch(const QString& conquestPath, const QString& text)
{
    return readRecordRows(conquestPath, sql::seriesByPatientName(text));
}

PatientSearchResult showPatientSearch(
    RecordSet& patientSeries, const QString& conquestPath, const QString& text, RecordRows rows)
{
    patientSeries.setDatabasePath(conquestPath);
    PatientSearchResult result;
    if (!patientSeries.showRows(std::move(rows), RecordSet::OnFailure::Empty)) {
        result.statusText = databaseFailureText(patientSeries.lastError());
        return result;
    }
    patientSeries.moveFirst();
    result.viewButtonVisible = patientSeries.count() > 0;
    if (!result.viewButtonVisible && !text.isEmpty())
        result.statusText = noPatientFoundText();
    return result;
}

} // namespace vexa
