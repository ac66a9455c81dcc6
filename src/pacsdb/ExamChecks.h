#pragma once
// What an action checks before it writes: that the exam it started on (and
// its images) still exist. Another workstation may have deleted it, and a new
// series may have taken its place in the lists.
#include <QString>

namespace vexa {

// "Ce dossier a été supprimé depuis un autre poste."
QString examDeletedElsewhereText();

struct SeriesPresence {
    bool answered = false; // false: the database failed, error says why
    bool exists = false; // the series row is there
    int imageCount = 0; // its rows in DICOMImages
    QString error;
};

// Looks the series up by its UID (an exact key) on the calling thread's
// connection to conquestPath.
SeriesPresence checkSeries(const QString& conquestPath, const QString& seriesUid);

// True when the image row (SOPInstanc) is still there; false when it is gone
// or the database did not answer.
bool imageStillThere(const QString& conquestPath, const QString& sopInstance);

} // namespace vexa
