#include "pacsdb/SeriesContent.h"

#include "pacsdb/ConquestColumns.h"
#include "pacsdb/ImageFiles.h"
#include "pacsdb/QueryCatalogue.h"

#include <QFileInfo>

namespace vexa {

QStringList filesOfImage(const QString& imagePath)
{
    return {imagePath, imagePath + QStringLiteral(".dgr"), previewPicturePath(imagePath),
        fullSizePicturePath(imagePath)};
}

QString examReportPath(const QString& firstImagePath, const QString& seriesUid)
{
    return seriesReportPath(firstImagePath, seriesUid);
}

bool readSeriesContent(RecordSet& images, const QString& conquestPath, const QString& imageRoot,
    const QString& seriesUid, SeriesContent& content, QString& error)
{
    content = SeriesContent();
    images.setDatabasePath(conquestPath);
    images.setRecordSource(sql::imagesOfSeries(seriesUid));
    if (!images.requery()) {
        error = images.lastError();
        return false;
    }
    auto noteArrival = [&content](const QDateTime& when) {
        if (when.isValid() && (!content.newestImage.isValid() || when > content.newestImage))
            content.newestImage = when;
    };
    bool reportListed = false;
    for (images.moveFirst(); !images.eof(); images.moveNext()) {
        ++content.imageCount;
        // Conquest stamps each row with the time it stored it; the file's own
        // time covers a row written without one.
        const qint64 accessTime = images.field(QStringLiteral("AccessTime")).toLongLong();
        if (accessTime > 0)
            noteArrival(QDateTime::fromSecsSinceEpoch(accessTime));
        // A row naming no file has none to delete (its path would be the store's root).
        const QString objectFile = images.fieldText(col::ObjectFile);
        if (objectFile.trimmed().isEmpty())
            continue;
        const QString imagePath = storedImagePath(imageRoot, objectFile);
        if (!reportListed)
            content.files << examReportPath(imagePath, seriesUid);
        reportListed = true;
        content.files << filesOfImage(imagePath);
        const QFileInfo file(imagePath);
        if (file.exists())
            noteArrival(file.lastModified());
    }
    images.close();
    return true;
}

bool stillReceiving(const SeriesContent& content, const QDateTime& now)
{
    return content.newestImage.isValid() && content.newestImage.secsTo(now) < ReceivingSettleSeconds;
}

} // namespace vexa
