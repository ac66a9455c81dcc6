#include "NewExamMonitor.h"
#include "PacsTestDb.h"
#include "PacsUpgrade.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

using namespace vexa;
using namespace vexa::test;

namespace {

class Concurrency : public BackendTest { };

} // namespace

// Conquest (another process) inserts series and images while the monitor
// ticks and names them: nothing fails on locks, nothing is lost.
TEST_P(Concurrency, TicksRunWhileConquestWrites)
{
    ASSERT_EQ(OpenAndUpgrade(pacs().path()), QString());
    MainRecordSets sets;
    sets.setDatabasePath(pacs().path());
    NewExamMonitor monitor(sets, pacs().path());
    monitor.tick();

    const int series = 12, images = 6;
    QProcess conquest;
    conquest.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    conquest.start(QStringLiteral(VEXA_CONQUEST_WRITER_PATH),
        {pacs().path(), QString::number(series), QString::number(images), "15", "C"});
    ASSERT_TRUE(conquest.waitForStarted());
    QStringList errors;
    int ticks = 0;
    while (conquest.state() != QProcess::NotRunning) {
        monitor.tick();
        const QString naming = monitor.SetName();
        if (!naming.isEmpty())
            errors << naming;
        if (!sets.notBurnedSeries.lastError().isEmpty())
            errors << sets.notBurnedSeries.lastError();
        ++ticks;
        QThread::msleep(40);
        conquest.waitForFinished(1);
    }
    ASSERT_EQ(conquest.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(conquest.exitCode(), 0);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_GT(ticks, 3);

    for (int i = 0; i < 3; ++i)
        monitor.tick();
    EXPECT_EQ(monitor.NotBurnedCount(), series);
    EXPECT_EQ(sets.notBurnedSeries.count(), series);
    EXPECT_EQ(monitor.notice(), NoticeState::NewSettled);
    EXPECT_EQ(pacs().scalar("SELECT COUNT(*) FROM DICOMImages").toInt(), series * images);
    EXPECT_EQ(
        pacs().scalar("SELECT COUNT(*) FROM DICOMImages WHERE Burned = 0 OR PatientName IS NULL").toInt(), 0);
    EXPECT_EQ(pacs().scalar("SELECT COUNT(DISTINCT Compteur) FROM DICOMImages").toInt(), series * images);
    EXPECT_EQ(pacs().scalar("SELECT COUNT(*) FROM DICOMSeries WHERE ScanDate IS NULL").toInt(), 0);
}

VEXA_BACKENDS(Concurrency);
