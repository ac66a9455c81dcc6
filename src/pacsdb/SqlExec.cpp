#include "pacsdb/SqlExec.h"

#include "base/core/Log.h"
#include "pacsdb/JetDialect.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QSqlDriver>

namespace vexa {

namespace {

// Every failed statement goes to the support log, except the "already
// exists" the schema upgrade expects at each start. Its quoted values may be
// a name typed in a search: they are left out unless names are wanted.
void logFailure(const QSqlDatabase& db, const QString& statement, const QSqlError& error)
{
    if (!error.isValid() || isAlreadyExists(error, backendOf(db)))
        return;
    QString shown = statement;
    if (!logPatientNames()) {
        static const QRegularExpression literal(QStringLiteral("'(?:[^']|'')*'"));
        shown.replace(literal, QStringLiteral("'…'"));
    }
    qCWarning(logDatabase).noquote() << QStringLiteral("%1 : %2").arg(shown, error.text());
}

QSqlError runJet(QSqlDatabase& db, const QString& jet)
{
    const QStringList statements = translateJet(jet, backendOf(db));
    const bool grouped = statements.size() > 1;
    if (grouped && !beginWrite(db))
        return db.lastError();
    QSqlQuery query(db);
    for (const QString& statement : statements) {
        if (!query.exec(statement)) {
            const QSqlError error = query.lastError();
            if (grouped)
                rollbackWrite(db);
            return error;
        }
    }
    if (grouped && !commitWrite(db))
        return db.lastError();
    return {};
}

} // namespace

QSqlError execJet(QSqlDatabase& db, const QString& jet)
{
    const QSqlError error = runJet(db, jet);
    logFailure(db, jet, error);
    return error;
}

bool selectJet(const QSqlDatabase& db, QSqlQuery& query, const QString& jet)
{
    query.setForwardOnly(true);
    const bool ok = query.exec(translateJet(jet, backendOf(db)).value(0));
    if (!ok)
        logFailure(db, jet, query.lastError());
    return ok;
}

bool isAlreadyExists(const QSqlError& error, SqlBackend backend)
{
    if (backend == SqlBackend::Postgres) {
        const QString state = error.nativeErrorCode();
        return state == QStringLiteral("42701") || state == QStringLiteral("42P07");
    }
    const QString text = error.databaseText();
    return text.contains(QStringLiteral("duplicate column name"), Qt::CaseInsensitive)
        || text.contains(QStringLiteral("already exists"), Qt::CaseInsensitive);
}

namespace {

bool report(bool ok, const QSqlError& failure, QString* error)
{
    if (!ok)
        qCWarning(logDatabase).noquote() << QStringLiteral("transaction : ") + failure.text();
    if (!ok && error)
        *error = failure.text();
    return ok;
}

} // namespace

bool beginWrite(QSqlDatabase& db, QString* error)
{
    if (backendOf(db) == SqlBackend::Postgres)
        return report(db.transaction(), db.lastError(), error);
    QSqlQuery query(db);
    return report(query.exec(QStringLiteral("BEGIN IMMEDIATE")), query.lastError(), error);
}

bool commitWrite(QSqlDatabase& db, QString* error)
{
    if (backendOf(db) == SqlBackend::Postgres)
        return report(db.commit(), db.lastError(), error);
    QSqlQuery query(db);
    return report(query.exec(QStringLiteral("COMMIT")), query.lastError(), error);
}

void rollbackWrite(QSqlDatabase& db)
{
    if (backendOf(db) == SqlBackend::Postgres) {
        db.rollback();
        return;
    }
    QSqlQuery query(db);
    query.exec(QStringLiteral("ROLLBACK"));
}

QVariant toStored(const QVariant& value, SqlBackend backend)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? -1 : 0;
    case QMetaType::QDate:
        return backend == SqlBackend::Sqlite ? QVariant(value.toDate().toString(Qt::ISODate)) : value;
    case QMetaType::QDateTime:
        return backend == SqlBackend::Sqlite
            ? QVariant(value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
            : value;
    default:
        return value;
    }
}

QString keyedWriteMissedText(const QVariant& compteur)
{
    return QStringLiteral("L'enregistrement de Compteur %1 est introuvable : rien n'a été enregistré.")
        .arg(compteur.isNull() ? QStringLiteral("(vide)") : compteur.toString());
}

QDate storedDate(const QVariant& value)
{
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QDate)
        return value.toDate();
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().date();
    const QString text = value.toString().trimmed();
    const QDate date = QDate::fromString(text.left(10), Qt::ISODate);
    return date;
}

} // namespace vexa
