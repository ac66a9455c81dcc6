#include "pacsdb/ExamChecks.h"
#include "PacsTestDb.h"
#include "pacsdb/PacsConnection.h"
#include "pacsdb/PacsUpgrade.h"

#include <QSqlDatabase>
#include <QThread>

using namespace vexa;
using namespace vexa::test;

namespace {

class ExamChecks : public BackendTest {
protected:
    void SetUp() override
    {
        BackendTest::SetUp();
        ASSERT_EQ(openAndUpgrade(pacs().path()), QString());
        pacs().insertPatient("P1", "DUPONT^JEAN");
        pacs().insertSeries("S-1", "P1", "20240101");
        pacs().insertImage("I-1", "S-1", "P1", "20240101");
        pacs().insertImage("I-2", "S-1", "P1", "20240101");
        pacs().insertSeries("S-'2", "P1", "20240102"); // a quote in a key
    }

    QStringList workerConnections() const
    {
        return QSqlDatabase::connectionNames().filter(QStringLiteral("@thread:"));
    }
};

TEST_P(ExamChecks, SeriesAndImagesAreFoundByTheirWholeKey)
{
    const struct {
        const char* uid;
        bool exists;
        int images;
    } cases[] = {{"S-1", true, 2}, {"S-'2", true, 0}, {"S-", false, 0}, {"s-1", false, 0}, {"S-%", false, 0}};
    for (const auto& c : cases) {
        const SeriesPresence presence = checkSeries(pacs().path(), QString::fromUtf8(c.uid));
        ASSERT_TRUE(presence.answered) << c.uid << ": " << presence.error.toStdString();
        EXPECT_EQ(presence.exists, c.exists) << c.uid;
        EXPECT_EQ(presence.imageCount, c.images) << c.uid;
    }
    EXPECT_TRUE(imageStillThere(pacs().path(), "I-2"));
    EXPECT_FALSE(imageStillThere(pacs().path(), "I-_"));
}

TEST_P(ExamChecks, AWorkerThreadQueriesOnItsOwnConnectionRemovedWhenItEnds)
{
    const QStringList before = workerConnections();
    SeriesPresence fromWorker;
    QStringList duringWork;
    QThread* worker = QThread::create([&] {
        fromWorker = checkSeries(pacs().path(), "S-1");
        duringWork = workerConnections();
    });
    worker->start();
    ASSERT_TRUE(worker->wait(30000));
    delete worker;
    EXPECT_TRUE(fromWorker.answered) << fromWorker.error.toStdString();
    EXPECT_EQ(fromWorker.imageCount, 2);
    EXPECT_EQ(duringWork.size(), before.size() + 1);
    EXPECT_EQ(workerConnections(), before);
    // The user-interface thread's connection is untouched by the worker's end.
    EXPECT_TRUE(pacsConnection(pacs().path()).isOpen());
}

TEST_P(ExamChecks, AMissingDatabaseIsNoAnswer)
{
    const SeriesPresence presence = checkSeries(pacs().path() + QStringLiteral("-missing/x.db3"), "S-1");
    EXPECT_FALSE(presence.answered);
    EXPECT_FALSE(presence.error.isEmpty());
}

VEXA_BACKENDS(ExamChecks);

} // namespace
