#pragma once
// What a series holds on disk and when its last image arrived, read from its
// image rows: deleting an exam removes those files, and an exam that Conquest
// is still receiving is neither deleted nor burned.
#include "pacsdb/NewExamMonitor.h"
#include "pacsdb/RecordSet.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace vexa {

// A series counts as still being received until this long after its newest
// image: the monitor needs two ticks to see that the not-burned list has
// stopped growing and to settle its notice.
constexpr int ReceivingSettleSeconds = 2 * NewExamMonitor::MonitorInterval / 1000;

// An image's file, its measurements (".dgr") and its two pictures.
QStringList filesOfImage(const QString& imagePath);

// The exam's report: the folder of its first image, then the series UID and ".rtf".
QString examReportPath(const QString& firstImagePath, const QString& seriesUid);

// What deleting an exam touches, read from the images of the series.
struct SeriesContent {
    QStringList files; // the report, then every image's files, in image order
    QDateTime newestImage; // the latest arrival (row access time or file time); invalid without images
    int imageCount = 0;
};

// Reads the images of the series through `images` (a scratch record set).
// False, with the database's text in `error`, when the query fails.
bool readSeriesContent(RecordSet& images, const QString& conquestPath, const QString& imageRoot,
    const QString& seriesUid, SeriesContent& content, QString& error);

// Whether an image arrived less than ReceivingSettleSeconds before `now`.
bool stillReceiving(const SeriesContent& content, const QDateTime& now);

} // namespace vexa
