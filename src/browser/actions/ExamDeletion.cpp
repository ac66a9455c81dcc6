#include "ExamDeletion.h"

#include "FileOperations.h"
#include "ImageFiles.h"
#include "PacsConnection.h"
#include "QueryCatalogue.h"
#include "SqlExec.h"

#include <QFile>
#include <QFileInfo>

namespace vexa {

QStringList FilesOfImage(const QString& imagePath)
{
    return {imagePath, imagePath + QStringLiteral(".dgr"), previewPicturePath(imagePath),
        fullSizePicturePath(imagePath)};
}

QString ExamReportPath(const QString& firstImagePath, const QString& seriesUid)
{
    return SeriesReportPath(firstImagePath, seriesUid);
}

QStringList RemoveExistingFiles(const QStringList& paths)
{
    QStringList left;
    for (const QString& path : paths) {
        const QFileInfo file(path);
        if (!file.exists() && !file.isSymLink())
            continue;
        // A folder in the way is not one of our files: it is reported, not emptied.
        if (file.isDir() || !QFile::remove(path))
            left << path;
    }
    return left;
}

bool ReadSeriesContent(RecordSet& images, const QString& conquestPath, const QString& imageRoot,
    const QString& seriesUid, SeriesContent& content, QString& error)
{
    content = SeriesContent();
    images.setDatabasePath(conquestPath);
    images.setRecordSource(Sql::ImagesOfSeries(seriesUid));
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
        const QString objectFile = images.fieldText(QStringLiteral("ObjectFile"));
        if (objectFile.trimmed().isEmpty())
            continue;
        const QString imagePath = StoredImagePath(imageRoot, objectFile);
        if (!reportListed)
            content.files << ExamReportPath(imagePath, seriesUid);
        reportListed = true;
        content.files << FilesOfImage(imagePath);
        const QFileInfo file(imagePath);
        if (file.exists())
            noteArrival(file.lastModified());
    }
    images.close();
    return true;
}

bool StillReceiving(const SeriesContent& content, const QDateTime& now)
{
    return content.newestImage.isValid() && content.newestImage.secsTo(now) < ReceivingSettleSeconds;
}

namespace {

// Runs the statements in one write transaction: all of them or none.
QString ExecuteTogether(const QString& conquestPath, const QStringList& statements)
{
    QString error;
    QSqlDatabase db = PacsConnection(conquestPath, &error);
    if (!db.isOpen())
        return error.isEmpty() ? QStringLiteral("base de données fermée") : error;
    if (!BeginWrite(db, &error))
        return error;
    for (const QString& jet : statements) {
        const QSqlError failure = ExecJet(db, jet);
        if (failure.isValid()) {
            RollbackWrite(db);
            return failure.text();
        }
    }
    if (!CommitWrite(db, &error)) {
        RollbackWrite(db);
        return error;
    }
    return {};
}

} // namespace

QString DeleteSeriesRows(const QString& conquestPath, const QString& seriesUid)
{
    return ExecuteTogether(
        conquestPath, {Sql::DeleteImagesOfSeries(seriesUid), Sql::DeleteSeries(seriesUid)});
}

QString DeleteImageRow(const QString& conquestPath, const QString& sopInstance)
{
    return ExecuteTogether(conquestPath, {Sql::DeleteImage(sopInstance)});
}

} // namespace vexa
