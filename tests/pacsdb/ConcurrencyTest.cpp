#include "PacsTestDb.h"
#include "pacsdb/ExamNaming.h"
#include "pacsdb/NewExamMonitor.h"
#include "pacsdb/PacsUpgrade.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <cstdio>

using namespace vexa;
using namespace vexa::test;

namespace {

class Concurrency : public BackendTest { };

} // namespace

// Conquest (another process) inserts series and images while the monitor
// ticks and names them: nothing fails on locks, nothing is lost.
TEST_P(Concurrency, TicksRunWhileConquestWrites)
{
    ASSERT_EQ(openAndUpgrade(pacs().path()), QString());
    MainRecordSets sets;
    sets.setDatabasePath(pacs().path());
    NewExamMonitor monitor(sets, pacs().path());
    monitor.tick();

    const int series = 12, images = 6;
    QProcess conquest;
    conquest.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    conquest.start(QStringLiteral(VEXA_CONQUEST_WRITER_PATH),
        {pacs().path(), QString::number(series), QString::number(images), "40", "C"});
    ASSERT_TRUE(conquest.waitForStarted());
    QStringList errors;
    int ticks = 0;
    while (conquest.state() != QProcess::NotRunning) {
        monitor.tick();
        const QString naming = monitor.nameNewRows();
        if (!naming.isEmpty())
            errors << naming;
        if (!sets.notBurnedSeries.lastError().isEmpty())
            errors << sets.notBurnedSeries.lastError();
        ++ticks;
        QThread::msleep(250);
        conquest.waitForFinished(1);
    }
    ASSERT_EQ(conquest.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(conquest.exitCode(), 0);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_GT(ticks, 3);

    for (int i = 0; i < 3; ++i)
        monitor.tick();
    EXPECT_EQ(monitor.notBurnedCount(), series);
    EXPECT_EQ(sets.notBurnedSeries.count(), series);
    EXPECT_EQ(monitor.notice(), NoticeState::NewSettled);
    EXPECT_EQ(pacs().scalar("SELECT COUNT(*) FROM DICOMImages").toInt(), series * images);
    EXPECT_EQ(
        pacs().scalar("SELECT COUNT(*) FROM DICOMImages WHERE Burned = 0 OR PatientName IS NULL").toInt(), 0);
    EXPECT_EQ(pacs().scalar("SELECT COUNT(DISTINCT Compteur) FROM DICOMImages").toInt(), series * images);
    EXPECT_EQ(pacs().scalar("SELECT COUNT(*) FROM DICOMSeries WHERE ScanDate IS NULL").toInt(), 0);
}

// The first naming of a database Conquest filled before the program ever
// ran, while Conquest keeps receiving images. Conquest, on a locked database,
// retries with random pauses and gives up after 60 tries: the naming must
// leave it room, so no insert is lost, and name its images as well.
TEST_P(Concurrency, FirstNamingOfAFullDatabaseLosesNoInsert)
{
    const int oldSeries = 600, oldImages = 10;
    ASSERT_TRUE(pacs().db().transaction());
    for (int s = 0; s < oldSeries; ++s) {
        const QString uid = QStringLiteral("OLD%1").arg(s);
        const QString patient = QStringLiteral("OLDP%1").arg(s / 4);
        if (s % 4 == 0)
            pacs().insertPatient(patient, QStringLiteral("ANCIEN^%1").arg(s / 4));
        pacs().insertSeries(uid, patient, "20230301");
        for (int i = 0; i < oldImages; ++i)
            pacs().insertImage(uid + QStringLiteral(".%1").arg(i), uid, patient, "20230301");
    }
    ASSERT_TRUE(pacs().db().commit());
    ASSERT_EQ(openAndUpgrade(pacs().path()), QString());

    const int series = 6, images = 5;
    QProcess conquest;
    conquest.start(QStringLiteral(VEXA_CONQUEST_WRITER_PATH),
        {pacs().path(), QString::number(series), QString::number(images), "5", "N"});
    ASSERT_TRUE(conquest.waitForStarted());
    MainRecordSets sets;
    QStringList errors;
    for (bool first = true; first || conquest.state() != QProcess::NotRunning; first = false) {
        const QString naming = nameNewRows(sets, pacs().path());
        if (!naming.isEmpty())
            errors << naming;
        conquest.waitForFinished(50);
    }
    const QString report = QString::fromUtf8(conquest.readAllStandardOutput()).trimmed();
    std::printf("Conquest during the first naming: %s\n", qPrintable(report));
    EXPECT_EQ(conquest.exitCode(), 0) << conquest.readAllStandardError().toStdString();
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    ASSERT_EQ(nameNewRows(sets, pacs().path()), QString());

    EXPECT_EQ(pacs().scalar("SELECT COUNT(*) FROM DICOMImages WHERE SOPInstanc LIKE 'NS%'").toInt(),
        series * images);
    EXPECT_EQ(
        pacs().scalar("SELECT COUNT(*) FROM DICOMImages").toInt(), oldSeries * oldImages + series * images);
    EXPECT_EQ(
        pacs().scalar("SELECT COUNT(*) FROM DICOMImages WHERE Burned = 0 OR PatientName IS NULL").toInt(), 0);
    EXPECT_EQ(pacs().scalar("SELECT COUNT(*) FROM DICOMSeries WHERE ScanDate IS NULL").toInt(), 0);
}

VEXA_BACKENDS(Concurrency);

// Three workstations start in the same second on a database never upgraded:
// each upgrades and names. All succeed, the schema is changed once (every
// row has one number, no number twice), every row is named, and the
// PostgreSQL server logged no ERROR for the database.
TEST_P(Concurrency, WorkstationsStartingTogetherUpgradeOnceAndNameEverything)
{
    for (int s = 0; s < 30; ++s) {
        const QString uid = QStringLiteral("S%1").arg(s);
        pacs().insertPatient(QStringLiteral("P%1").arg(s), QStringLiteral("NOM%1^PRENOM").arg(s));
        pacs().insertSeries(uid, QStringLiteral("P%1").arg(s), "20240110");
        for (int i = 0; i < 20; ++i)
            pacs().insertImage(
                uid + QStringLiteral(".%1").arg(i), uid, QStringLiteral("P%1").arg(s), "20240110");
    }
    const QString path = pacs().path();
    QString failures[3];
    std::vector<std::unique_ptr<QThread>> workstations;
    for (QString& failure : failures) {
        workstations.emplace_back(QThread::create([&failure, path] {
            failure = openAndUpgrade(path);
            MainRecordSets sets;
            if (failure.isEmpty())
                failure = nameNewRows(sets, path);
        }));
    }
    for (auto& workstation : workstations)
        workstation->start();
    for (auto& workstation : workstations)
        workstation->wait();
    for (const QString& failure : failures)
        EXPECT_EQ(failure, QString());

    MainRecordSets sets;
    EXPECT_EQ(nameNewRows(sets, path), QString()); // the passes another one skipped
    for (const char* table : {"DICOMImages", "DICOMSeries"}) {
        SCOPED_TRACE(table);
        EXPECT_EQ(pacs().scalar(QStringLiteral("SELECT COUNT(DISTINCT Compteur) FROM %1").arg(table)),
            pacs().scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)));
        EXPECT_EQ(pacs()
                      .scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE PatientName IS NULL "
                                             "OR ScanDate IS NULL")
                                  .arg(table))
                      .toInt(),
            0);
    }
    EXPECT_EQ(pacs().scalar("SELECT COUNT(*) FROM DICOMImages WHERE Burned = 0").toInt(), 0);
    if (GetParam() == SqlBackend::Postgres) {
        EXPECT_EQ(postgresErrorsOf(path), QStringList());
    }
}
