#pragma once
// Deleting an image or a whole exam from the PACS, without widgets: the files
// the program keeps beside each image, the rows, and the check that Conquest
// is not still receiving the series. Rows go first, in one transaction, then
// the files: an interruption leaves files nobody lists, never rows whose
// files are gone.
#include "MainRecordSets.h"
#include "NewExamMonitor.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace vexa {

// A series counts as still being received until this long after its newest
// image: the monitor needs two ticks to see that the not-burned list has
// stopped growing and to settle its notice.
constexpr int ReceivingSettleSeconds = 2 * NewExamMonitor::MonitorInterval / 1000;

// An image's file, its measurements (".dgr") and its two pictures.
QStringList FilesOfImage(const QString& imagePath);

// The exam's report: the folder of its first image, then the series UID and ".rtf".
QString ExamReportPath(const QString& firstImagePath, const QString& seriesUid);

// Removes each path that exists; returns those that could not be removed.
QStringList RemoveExistingFiles(const QStringList& paths);

// What deleting an exam touches, read from the images of the series.
struct SeriesContent {
    QStringList files; // the report, then every image's files, in image order
    QDateTime newestImage; // the latest arrival (row access time or file time); invalid without images
    int imageCount = 0;
};

// Reads the images of the series through `images` (the scratch record set).
// False, with the database's text in `error`, when the query fails.
bool ReadSeriesContent(RecordSet& images, const QString& conquestPath, const QString& imageRoot,
    const QString& seriesUid, SeriesContent& content, QString& error);

// Whether an image arrived less than ReceivingSettleSeconds before `now`.
bool StillReceiving(const SeriesContent& content, const QDateTime& now);

// Deletes the images and the series row of the series in one transaction
// (also for a series without images). "" or the database's text.
QString DeleteSeriesRows(const QString& conquestPath, const QString& seriesUid);
// Deletes one image row by its SOP instance. "" or the database's text.
QString DeleteImageRow(const QString& conquestPath, const QString& sopInstance);

} // namespace vexa
