// A PostgreSQL password need not be in the settings: libpq's own places
// (~/.pgpass through PGPASSFILE, PGPASSWORD, a service file) supply it.
#include "PacsTestDb.h"
#include "pacsdb/ConquestSchema.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>
#include <vector>

using namespace vexa;
using namespace vexa::test;

namespace {

const QString Role = QStringLiteral("vexa_pgpass");
const QString Secret = QStringLiteral("s3cret'pass");

// The test server trusts every local connection; this one role must give
// its password, so a connection that opens proves the password was found.
// Run once per server: the role and its line of pg_hba.conf stay.
QString passwordRoleUrl(QString* failure)
{
    const QUrl base(postgresBaseUrl());
    QSqlDatabase admin = openConquestDatabase(base.toString(), QStringLiteral("credentials-admin"));
    if (!admin.isOpen()) {
        *failure = admin.lastError().text();
        return {};
    }
    QSqlQuery query(admin);
    query.exec(QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname = '%1'").arg(Role));
    if (!query.next()) {
        query.exec(QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD 's3cret''pass'").arg(Role));
        query.exec(QStringLiteral("SHOW hba_file"));
        query.next();
        QFile hba(query.value(0).toString());
        if (!hba.open(QIODevice::ReadOnly)) {
            *failure = QStringLiteral("pg_hba.conf unreadable: ") + hba.fileName();
            return {};
        }
        const QByteArray rules
            = "host all " + Role.toUtf8() + " 127.0.0.1/32 scram-sha-256\n" + hba.readAll();
        hba.close();
        if (!hba.open(QIODevice::WriteOnly | QIODevice::Truncate) || hba.write(rules) != rules.size()) {
            *failure = QStringLiteral("pg_hba.conf not writable: ") + hba.fileName();
            return {};
        }
        hba.close();
        query.exec(QStringLiteral("SELECT pg_reload_conf()"));
    }
    admin.close();
    admin = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("credentials-admin"));
    QUrl url = base;
    url.setUserName(Role);
    url.setPassword({});
    return url.toString();
}

using Variables = std::vector<std::pair<const char*, QByteArray>>;

// libpq's variables for one case, and none left behind.
struct Environment {
    explicit Environment(const Variables& values)
    {
        for (const char* name : {"PGPASSFILE", "PGPASSWORD", "PGSERVICEFILE", "PGSERVICE"})
            qunsetenv(name);
        for (const auto& [name, value] : values)
            qputenv(name, value);
    }
    ~Environment()
    {
        for (const char* name : {"PGPASSFILE", "PGPASSWORD", "PGSERVICEFILE", "PGSERVICE"})
            qunsetenv(name);
    }
};

QByteArray writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& content)
{
    QFile file(dir.filePath(name));
    // libpq ignores a password file others can read.
    EXPECT_TRUE(file.open(QIODevice::WriteOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    file.write(content);
    return file.fileName().toUtf8();
}

} // namespace

TEST(PostgresCredentialsTest, PasswordComesFromLibpqsOwnPlaces)
{
    QString failure;
    const QString url = passwordRoleUrl(&failure);
    ASSERT_FALSE(url.isEmpty()) << failure.toStdString();
    const QUrl parsed(url);
    const QByteArray host = parsed.host().toUtf8();
    const QByteArray port = QByteArray::number(parsed.port());
    const QByteArray database = parsed.path().mid(1).toUtf8();
    QTemporaryDir dir;
    const QByteArray pgpass
        = writeFile(dir, "pgpass", host + ':' + port + ":*:" + Role.toUtf8() + ":s3cret'pass\n");
    const QByteArray wrongPgpass
        = writeFile(dir, "wrong", host + ':' + port + ":*:" + Role.toUtf8() + ":nope\n");
    const QByteArray services = writeFile(dir, "services",
        "[conquest]\nhost=" + host + "\nport=" + port + "\ndbname=" + database + "\nuser=" + Role.toUtf8()
            + '\n');
    const QString serviceUrl = QStringLiteral("postgresql:///?service=conquest");

    struct Case {
        const char* what;
        QString conquestPath;
        Variables environment;
        bool opens;
    };
    const Case cases[] = {
        {"no password anywhere", url, {}, false},
        {"~/.pgpass (PGPASSFILE)", url, {{"PGPASSFILE", pgpass}}, true},
        {"a wrong ~/.pgpass", url, {{"PGPASSFILE", wrongPgpass}}, false},
        {"PGPASSWORD", url, {{"PGPASSWORD", Secret.toUtf8()}}, true},
        {"service in the URL", serviceUrl, {{"PGSERVICEFILE", services}, {"PGPASSFILE", pgpass}}, true},
        {"service from PGSERVICE", QStringLiteral("postgresql://"),
            {{"PGSERVICEFILE", services}, {"PGSERVICE", "conquest"}, {"PGPASSFILE", pgpass}}, true},
    };
    for (const Case& c : cases) {
        const Environment environment(c.environment);
        QString error;
        QSqlDatabase db = openConquestDatabase(c.conquestPath, QStringLiteral("credentials"), &error);
        EXPECT_EQ(db.isOpen(), c.opens) << c.what << ": " << error.toStdString();
        if (db.isOpen()) {
            QSqlQuery who(db);
            EXPECT_TRUE(who.exec(QStringLiteral("SELECT current_user")) && who.next()) << c.what;
            EXPECT_EQ(who.value(0).toString(), Role) << c.what;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("credentials"));
}
