#include "browser/actions/ExamDeletion.h"

#include "files/FileOperations.h"
#include "pacsdb/ImageFiles.h"
#include "pacsdb/PacsConnection.h"
#include "pacsdb/QueryCatalogue.h"
#include "pacsdb/SqlExec.h"

#include <QFile>
#include <QFileInfo>

namespace vexa {

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
