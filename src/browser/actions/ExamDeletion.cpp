#include "browser/actions/ExamDeletion.h"

#include "files/FileOperations.h"
#include "pacsdb/ImageFiles.h"
#include "pacsdb/PacsConnection.h"
#include "pacsdb/QueryCatalogue.h"
#include "pacsdb/SqlExec.h"

#include <QFile>
#include <QFileInfo>

namespace vexa {

QStringList removeExistingFiles(const QStringList& paths)
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

namespace {

// Runs the statements in one write transaction: all of them or none.
QString executeTogether(const QString& conquestPath, const QStringList& statements)
{
    QString error;
    QSqlDatabase db = pacsConnection(conquestPath, &error);
    if (!db.isOpen())
        return error.isEmpty() ? QStringLiteral("base de données fermée") : error;
    if (!beginWrite(db, &error))
        return error;
    for (const QString& jet : statements) {
        const QSqlError failure = execJet(db, jet);
        if (failure.isValid()) {
            rollbackWrite(db);
            return failure.text();
        }
    }
    if (!commitWrite(db, &error)) {
        rollbackWrite(db);
        return error;
    }
    return {};
}

} // namespace

QString deleteSeriesRows(const QString& conquestPath, const QString& seriesUid)
{
    return executeTogether(
        conquestPath, {sql::deleteImagesOfSeries(seriesUid), sql::deleteSeries(seriesUid)});
}

QString deleteImageRow(const QString& conquestPath, const QString& sopInstance)
{
    return executeTogether(conquestPath, {sql::deleteImage(sopInstance)});
}

} // namespace vexa
