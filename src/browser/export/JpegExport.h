#pragma once
// The JPEG export of one series: a preview and a full-size picture beside
// every image not yet exported, then the image marked JpegExported.
#include "browser/export/ExportProgress.h"
#include "burning/export/ImageConverters.h"

#include <QString>

class QThreadPool;

namespace vexa {

class RecordSet;

// Walks the series' images in Compteur order with the work record set `conn`
// (bound to conquestPath). Images not yet exported are converted on `pool`
// (the work pool when null) while the database stays on this thread; an
// image is marked exported only when both of its pictures exist, so a bad
// image is tried again next time and does not stop the others. Returns true
// when the series was processed to the end (also when it has no image), false
// when a database error interrupted it.
bool exportSeriesJpeg(const QString& seriesUid, RecordSet& conn, const QString& conquestPath,
    const QString& conquestImagePath, ImageConverters& converters, ExportProgress& progress,
    QThreadPool* pool = nullptr);

} // namespace vexa
