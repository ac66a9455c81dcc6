#pragma once
// A fresh Conquest database on either backend for one test: a SQLite file in
// a temporary folder, or a new database on the test PostgreSQL server.
#include "ConquestSchema.h"

#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <gtest/gtest.h>

// Failures show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace vexa::test {

class PacsTestDb {
public:
    explicit PacsTestDb(SqlBackend backend);
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
QString PostgresBaseUrl();

std::string BackendName(const ::testing::TestParamInfo<SqlBackend>& info);

class BackendTest : public ::testing::TestWithParam<SqlBackend> {
protected:
    void SetUp() override;
    void TearDown() override;
    PacsTestDb& pacs() { return *pacs_; }

    std::unique_ptr<PacsTestDb> pacs_;
};

#define VEXA_BACKENDS(Suite)                                                                                 \
    INSTANTIATE_TEST_SUITE_P(Backends, Suite, ::testing::Values(SqlBackend::Sqlite, SqlBackend::Postgres),   \
        ::vexa::test::BackendName)

} // namespace vexa::test
