#pragma once
// The searches of the first page, on the main window's record sets: by a
// range of exam dates and by the beginning of a word of the patient's name.
// A search whose query fails empties its list and says why: the rows of the
// search before are never shown as its answer.
#include "pacsdb/MainRecordSets.h"

#include <QDate>

namespace vexa {

struct DateSearchResult {
    int count = 0; // the new SeriesListCount
    QString seriesCountText; // "12 dossiers.", "Pas de dossier trouvé" or the database's failure
    bool viewButtonVisible = false; // viewButtons(0)
};

// Both days are included; the newest series is left current.
DateSearchResult runDateSearch(
    RecordSet& seriesData, const QString& conquestPath, const QDate& from, const QDate& to);

struct PatientSearchResult {
    bool viewButtonVisible = false; // viewButtons(1): the list has rows
    // "" when the list has rows or nothing was typed, "Aucun patient trouvé",
    // or the database's failure.
    QString statusText;
};

// Lists the series whose patient name has a word starting with `text`
// (accents and letter case ignored, "*" and "?" wild cards); an empty text
// lists only series without a name.
PatientSearchResult runPatientSearch(
    RecordSet& patientSeries, const QString& conquestPath, const QString& text);
// The same search's rows, read on any thread (they are shown by ShowPatientSearch).
RecordRows readPatientSearch(const QString& conquestPath, const QString& text);
PatientSearchResult showPatientSearch(
    RecordSet& patientSeries, const QString& conquestPath, const QString& text, RecordRows rows);

QString noPatientFoundText(); // "Aucun patient trouvé"

} // namespace vexa
