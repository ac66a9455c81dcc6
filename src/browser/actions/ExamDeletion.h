#pragma once
// Deleting an image or a whole exam from the PACS, without widgets: the files
// the program keeps beside each image, the rows, and the check that Conquest
// is not still receiving the series. Rows go first, in one transaction, then
// the files: an interruption leaves files nobody lists, never rows whose
// files are gone.
#include "pacsdb/MainRecordSets.h"
#include "pacsdb/SeriesContent.h"

#include <QString>
#include <QStringList>

namespace vexa {

// Removes each path that exists; returns those that could not be removed.
QStringList removeExistingFiles(const QStringList& paths);

// Deletes the images and the series row of the series in one transaction
// (also for a series without images). "" or the database's text.
QString deleteSeriesRows(const QString& conquestPath, const QString& seriesUid);
// Deletes one image row by its SOP instance. "" or the database's text.
QString deleteImageRow(const QString& conquestPath, const QString& sopInstance);

} // namespace vexa
