#include "PacsConnection.h"

#include "ConquestSchema.h"

namespace vexa {

namespace {

QString ConnectionName(const QString& conquestPath)
{
    return QStringLiteral("vexa-pacs:") + conquestPath;
}

} // namespace

QSqlDatabase PacsConnection(const QString& conquestPath, QString* error)
{
    const QString name = ConnectionName(conquestPath);
    if (QSqlDatabase::contains(name)) {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen())
            return db;
    }
    return OpenConquestDatabase(conquestPath, name, error);
}

void ClosePacsConnection(const QString& conquestPath)
{
    const QString name = ConnectionName(conquestPath);
    if (!QSqlDatabase::contains(name))
        return;
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
}

} // namespace vexa
