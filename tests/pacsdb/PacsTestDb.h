#pragma once
// A fresh Conquest database on either backend for one test: a SQLite file in
// a temporary folder, or a new database on the test PostgreSQL server.
#include "pacsdb/ConquestSchema.h"

#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <gtest/gtest.h>

// Failures show texts as texts.
inline void printTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace vexa::test {

class PacsTestDb {
public:
    // pgEncoding: the PostgreSQL database's encoding ("LATIN1", "SQL_ASCII",
    // "UTF8"); the server's default when empty.
    explicit PacsTestDb(SqlBackend backend, const QString& pgEncoding = {});
    ~PacsTestDb();

    const QString& path() const { return path_; } // the ConquestPath
    SqlBackend backend() const { return backend_; }
    QSqlDatabase& db() { return db_; } // the test's own connection
    bool ok() const { return error_.isEmpty(); }
    const QString& error() const { return error_; }

    // Statements on the test's own connection, as Conquest would write them.
    void exec(const QString& sql);
    QVariant scalar(const QString& sql);
    void insertPatient(const QString& id, const QString& name);
    void insertSeries(const QString& uid, const QString& patientId, const QString& date);
    void insertImage(const QString& sop, const QString& seriesUid, const QString& patientId,
        const QString& date, const QString& objectFile = {});
    QStringList columnsOf(const QString& table);
    // A patient whose identifier and name are the bytes the modality sent,
    // stored as Conquest stores them: unchanged, whatever the encoding. False
    // when the database refuses them (a UTF8 PostgreSQL database refuses
    // Latin-1 bytes, as it does Conquest's insert).
    bool insertPatientBytes(const QByteArray& id, const QByteArray& name);
    // The SQL literal of a text column holding exactly these bytes.
    QString storedText(const QByteArray& bytes) const;

private:
    SqlBackend backend_;
    QTemporaryDir dir_;
    QString path_;
    QString dbName_;
    QString connection_;
    QSqlDatabase db_;
    QString error_;
};

// The server's base URL (postgresql://...), or "" with a failure reported.
QString postgresBaseUrl();

// The ERROR lines the test server logged for the database at conquestPath.
QStringList postgresErrorsOf(const QString& conquestPath);

std::string backendName(const ::testing::TestParamInfo<SqlBackend>& info);

class BackendTest : public ::testing::TestWithParam<SqlBackend> {
protected:
    void SetUp() override;
    void TearDown() override;
    PacsTestDb& pacs() { return *pacs_; }

    std::unique_ptr<PacsTestDb> pacs_;
};

#define VEXA_BACKENDS(Suite)                                                                                 \
    INSTANTIATE_TEST_SUITE_P(Backends, Suite, ::testing::Values(SqlBackend::Sqlite, SqlBackend::Postgres),   \
        ::vexa::test::backendName)

} // namespace vexa::test
