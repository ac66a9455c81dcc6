#pragma once
// The searches of the first page, on the main window's record sets: by a
// range of exam dates and by the beginning of the patient's name.
#include "MainRecordSets.h"

#include <QDate>

namespace vexa {

struct DateSearchResult {
    int count = 0; // the new SeriesListCount
    QString seriesCountText; // "12 dossiers." or "Pas de dossier trouvé"
    bool viewButtonVisible = false; // viewButtons(0)
};

// Both days are included; the newest series is left current.
DateSearchResult RunDateSearch(
    RecordSet& seriesData, const QString& conquestPath, const QDate& from, const QDate& to);

// Lists the series whose readable name starts with `text` (letter case
// ignored); an empty text lists only series without a name. True when the
// list has rows (viewButtons(1) shown).
bool RunPatientSearch(RecordSet& patientSeries, const QString& conquestPath, const QString& text);

// The count label for a number of series.
QString SeriesCountText(int count);

} // namespace vexa
