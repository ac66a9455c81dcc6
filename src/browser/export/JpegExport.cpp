#include "browser/export/JpegExport.h"

#include "base/core/Paths.h"
#include "base/core/WorkPool.h"
#include "pacsdb/ConquestColumns.h"
#include "pacsdb/ImageFiles.h"
#include "pacsdb/QueryCatalogue.h"
#include "pacsdb/RecordSet.h"

#include <QEventLoop>
#include <QFile>
#include <QFutureWatcher>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>
#include <vector>

namespace vexa {

namespace {

constexpr int bitTrue = -1; // how the database stores a true BIT

struct PendingImage {
    int row = 0;
    QString path;
};

std::vector<PendingImage> pendingImages(RecordSet& conn, const QString& conquestImagePath)
{
    std::vector<PendingImage> pending;
    for (conn.moveFirst(); !conn.eof(); conn.moveNext()) {
        if (!conn.fieldBool(col::JpegExported))
            pending.push_back(
                {conn.currentRow(), storedImagePath(conquestImagePath, conn.fieldText(col::ObjectFile))});
    }
    return pending;
}

// The preview first, then the full size, as the two converters always ran.
bool convertImage(ImageConverters& converters, const QString& imagePath)
{
    const bool preview = converters.makePreviewPicture(imagePath).ok;
    const bool fullSize = converters.makeFullSizePicture(imagePath).ok;
    return preview && fullSize && QFile::exists(previewPicturePath(imagePath))
        && QFile::exists(fullSizePicturePath(imagePath));
}

// Converts on the pool while this thread's event loop keeps the waiting
// window painting; results come back in the order of `pending`.
QList<bool> convertAll(const std::vector<PendingImage>& pending, ImageConverters& converters,
    ExportProgress& progress, QThreadPool* pool)
{
    const int total = static_cast<int>(pending.size());
    progress.advance(0, total);
    QFuture<bool> future = QtConcurrent::mapped(pool ? pool : &workPool(), pending,
        [&converters](const PendingImage& image) { return convertImage(converters, image.path); });
    QFutureWatcher<bool> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcherBase::progressValueChanged,
        [&](int done) { progress.advance(done, total); });
    QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(future);
    if (!watcher.isFinished())
        loop.exec();
    progress.advance(total, total);
    return future.results();
}

bool markExported(RecordSet& conn, int row)
{
    if (!conn.goTo(row))
        return false;
    conn.edit();
    return conn.setField(col::JpegExported, bitTrue) && conn.update();
}

bool walkSeries(const QString& seriesUid, RecordSet& conn, const QString& conquestPath,
    const QString& conquestImagePath, ImageConverters& converters, ExportProgress& progress,
    QThreadPool* pool)
{
    conn.setDatabasePath(conquestPath);
    conn.setRecordSource(sql::imagesOfSeries(seriesUid));
    if (!conn.requery())
        return false;
    const std::vector<PendingImage> pending = pendingImages(conn, conquestImagePath);
    if (pending.empty())
        return true;
    const QList<bool> converted = convertAll(pending, converters, progress, pool);
    for (std::size_t i = 0; i < pending.size(); ++i) {
        if (converted.value(static_cast<qsizetype>(i)) && !markExported(conn, pending[i].row))
            return false;
    }
    return true;
}

} // namespace

bool exportSeriesJpeg(const QString& seriesUid, RecordSet& conn, const QString& conquestPath,
    const QString& conquestImagePath, ImageConverters& converters, ExportProgress& progress,
    QThreadPool* pool)
{
    progress.begin();
    const bool processed
        = walkSeries(seriesUid, conn, conquestPath, conquestImagePath, converters, progress, pool);
    conn.close();
    progress.end();
    return processed;
}

} // namespace vexa
