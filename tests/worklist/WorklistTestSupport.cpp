#include "WorklistTestSupport.h"

#include "pacsdb/PacsUpgrade.h"

namespace vexa::test {

void WorklistDbTest::SetUp()
{
    BackendTest::SetUp();
    ASSERT_EQ(openAndUpgrade(pacs().path()), QString());
}

void seedCounter(PacsTestDb& pacs, const QString& table, qint64 last)
{
    pacs.exec(QStringLiteral("INSERT INTO %1 (Compteur, Numero) VALUES (%2, %2)").arg(table).arg(last));
    // An explicit value does not move PostgreSQL's sequence; SQLite's AUTOINCREMENT follows it by itself.
    if (pacs.backend() == SqlBackend::Postgres)
        pacs.scalar(QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', 'compteur'), %2)")
                        .arg(table.toLower())
                        .arg(last));
}

QStringList linesOf(const QByteArray& bytes)
{
    QStringList lines = QString::fromLatin1(bytes).split(u'\n', Qt::SkipEmptyParts);
    for (QString& line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    return lines;
}

} // namespace vexa::test
