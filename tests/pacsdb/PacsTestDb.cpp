#include "PacsTestDb.h"

#include "pacsdb/PacsConnection.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

namespace vexa::test {

namespace {

QAtomicInt counter;

QString uniqueName()
{
    return QStringLiteral("vexa_t%1_%2")
        .arg(QCoreApplication::applicationPid())
        .arg(counter.fetchAndAddRelaxed(1));
}

// Runs one statement on the server's base database (create/drop databases).
QString adminExec(const QString& sql)
{
    const QString name = uniqueName();
    QString error;
    {
        QSqlDatabase admin = openConquestDatabase(postgresBaseUrl(), name, &error);
        if (admin.isOpen()) {
            QSqlQuery query(admin);
            if (!query.exec(sql))
                error = query.lastError().text();
        }
        admin.close();
    }
    QSqlDatabase::removeDatabase(name);
    return error;
}

} // namespace

QString postgresBaseUrl()
{
    QFile file(qEnvironmentVariable("VEXA_PG_URL_FILE", QStringLiteral(VEXA_PG_URL_FILE_DEFAULT)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).trimmed();
}

QStringList postgresErrorsOf(const QString& conquestPath)
{
    const QString urlFile
        = qEnvironmentVariable("VEXA_PG_URL_FILE", QStringLiteral(VEXA_PG_URL_FILE_DEFAULT));
    QFile dataDir(QFileInfo(urlFile).dir().filePath(QStringLiteral("pg_datadir")));
    if (!dataDir.open(QIODevice::ReadOnly))
        return {QStringLiteral("no server data folder")};
    QFile log(QDir(QString::fromUtf8(dataDir.readAll()).trimmed()).filePath(QStringLiteral("server.log")));
    if (!log.open(QIODevice::ReadOnly))
        return {QStringLiteral("no server log")};
    const QString marker = u' ' + QUrl(conquestPath).path().mid(1) + u' ';
    QStringList errors;
    for (const QString& line : QString::fromUtf8(log.readAll()).split(u'\n'))
        if (line.contains(marker) && line.contains(QStringLiteral("ERROR")))
            errors << line;
    return errors;
}

std::string backendName(const ::testing::TestParamInfo<SqlBackend>& info)
{
    return info.param == SqlBackend::Sqlite ? "Sqlite" : "Postgres";
}

PacsTestDb::PacsTestDb(SqlBackend backend, const QString& pgEncoding)
    : backend_(backend)
    , connection_(uniqueName())
{
    if (backend == SqlBackend::Sqlite) {
        path_ = dir_.filePath(QStringLiteral("conquest.db3"));
    } else {
        const QString base = postgresBaseUrl();
        if (base.isEmpty()) {
            error_ = QStringLiteral("no PostgreSQL test server (VEXA_PG_URL_FILE)");
            return;
        }
        dbName_ = uniqueName();
        error_ = adminExec(QStringLiteral("CREATE DATABASE ") + dbName_
            + (pgEncoding.isEmpty()
                    ? QString()
                    : QStringLiteral(" ENCODING '%1' LC_COLLATE 'C' LC_CTYPE 'C' TEMPLATE template0")
                          .arg(pgEncoding)));
        QUrl url(base);
        url.setPath(u'/' + dbName_);
        path_ = url.toString();
    }
    if (!error_.isEmpty())
        return;
    db_ = openConquestDatabase(path_, connection_, &error_, MissingFile::Create);
    if (db_.isOpen())
        error_ = createConquestTables(db_);
}

PacsTestDb::~PacsTestDb()
{
    closePacsConnection(path_);
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
    // Forced: a worker thread of the pool may still hold a connection of its own.
    if (!dbName_.isEmpty())
        adminExec(QStringLiteral("DROP DATABASE IF EXISTS ") + dbName_ + QStringLiteral(" WITH (FORCE)"));
}

void PacsTestDb::exec(const QString& sql)
{
    QSqlQuery query(db_);
    ASSERT_TRUE(query.exec(sql)) << sql.toStdString() << ": " << query.lastError().text().toStdString();
}

QVariant PacsTestDb::scalar(const QString& sql)
{
    QSqlQuery query(db_);
    if (!query.exec(sql) || !query.next()) {
        ADD_FAILURE() << sql.toStdString() << ": " << query.lastError().text().toStdString();
        return {};
    }
    return query.value(0);
}

void PacsTestDb::insertPatient(const QString& id, const QString& name)
{
    QSqlQuery query(db_);
    query.prepare(QStringLiteral("INSERT INTO DICOMPatients (PatientID, PatientNam) VALUES (?, ?)"));
    query.addBindValue(id);
    query.addBindValue(name);
    ASSERT_TRUE(query.exec()) << query.lastError().text().toStdString();
}

QString PacsTestDb::storedText(const QByteArray& bytes) const
{
    const QString hex = QString::fromLatin1(bytes.toHex());
    return backend_ == SqlBackend::Sqlite
        ? QStringLiteral("CAST(X'%1' AS TEXT)").arg(hex)
        : QStringLiteral("convert_from('\\x%1'::bytea, getdatabaseencoding())").arg(hex);
}

bool PacsTestDb::insertPatientBytes(const QByteArray& id, const QByteArray& name)
{
    QSqlQuery query(db_);
    return query.exec(QStringLiteral("INSERT INTO DICOMPatients (PatientID, PatientNam) VALUES (%1, %2)")
                          .arg(storedText(id), storedText(name)));
}

void PacsTestDb::insertSeries(const QString& uid, const QString& patientId, const QString& date)
{
    QSqlQuery query(db_);
    query.prepare(
        QStringLiteral("INSERT INTO DICOMSeries (SeriesInst, SeriesPat, SeriesDate, StudyInsta, Modality) "
                       "VALUES (?, ?, ?, ?, 'CR')"));
    query.addBindValue(uid);
    query.addBindValue(patientId);
    query.addBindValue(date);
    query.addBindValue(uid + QStringLiteral(".study"));
    ASSERT_TRUE(query.exec()) << query.lastError().text().toStdString();
}

void PacsTestDb::insertImage(const QString& sop, const QString& seriesUid, const QString& patientId,
    const QString& date, const QString& objectFile)
{
    QSqlQuery query(db_);
    query.prepare(
        QStringLiteral("INSERT INTO DICOMImages (SOPInstanc, SeriesInst, ImagePat, ImageDate, ObjectFile, "
                       "DeviceName) VALUES (?, ?, ?, ?, ?, 'MAG0')"));
    query.addBindValue(sop);
    query.addBindValue(seriesUid);
    query.addBindValue(patientId);
    query.addBindValue(date);
    query.addBindValue(objectFile.isEmpty() ? patientId + u'/' + sop + QStringLiteral(".v2") : objectFile);
    ASSERT_TRUE(query.exec()) << query.lastError().text().toStdString();
}

QStringList PacsTestDb::columnsOf(const QString& table)
{
    QStringList names;
    const QSqlRecord record = db_.record(backend_ == SqlBackend::Postgres ? table.toLower() : table);
    for (int i = 0; i < record.count(); ++i)
        names << record.fieldName(i).toLower();
    return names;
}

void BackendTest::SetUp()
{
    pacs_ = std::make_unique<PacsTestDb>(GetParam());
    ASSERT_TRUE(pacs_->ok()) << pacs_->error().toStdString();
}

void BackendTest::TearDown()
{
    pacs_.reset();
}

} // namespace vexa::test
