#include "pacsdb/ExamChecks.h"

#include "pacsdb/PacsConnection.h"

#include <QSqlError>
#include <QSqlQuery>

namespace vexa {

namespace {

// One value of a bound single-row count; -1 on failure (*error set).
int countRows(const QString& conquestPath, const QString& sql, const QString& key, QString* error)
{
    QSqlDatabase db = pacsConnection(conquestPath, error);
    if (!db.isOpen())
        return -1;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        *error = query.lastError().text();
        return -1;
    }
    query.addBindValue(key);
    if (!query.exec() || !query.next()) {
        *error = query.lastError().text();
        return -1;
    }
    return query.value(0).toInt();
}

} // namespace

QString examDeletedElsewhereText()
{
    return QStringLiteral("Ce dossier a été supprimé depuis un autre poste.");
}

SeriesPresence checkSeries(const QString& conquestPath, const QString& seriesUid)
{
    SeriesPresence presence;
    const int series = countRows(conquestPath,
        QStringLiteral("SELECT COUNT(*) FROM DICOMSeries WHERE SeriesInst = ?"), seriesUid, &presence.error);
    if (series < 0)
        return presence;
    const int images = countRows(conquestPath,
        QStringLiteral("SELECT COUNT(*) FROM DICOMImages WHERE SeriesInst = ?"), seriesUid, &presence.error);
    if (images < 0)
        return presence;
    presence.answered = true;
    presence.exists = series > 0;
    presence.imageCount = images;
    return presence;
}

bool imageStillThere(const QString& conquestPath, const QString& sopInstance)
{
    QString error;
    return countRows(conquestPath, QStringLiteral("SELECT COUNT(*) FROM DICOMImages WHERE SOPInstanc = ?"),
               sopInstance, &error)
        > 0;
}

} // namespace vexa
