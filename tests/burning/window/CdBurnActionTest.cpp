#include "CdBurnAction.h"
#include "CdFixtures.h"
#include "ConquestSchema.h"
#include "DialogService.h"
#include "ScriptedDialogService.h"
#include "LibburnEngine.h"
#include "PacsUpgrade.h"
#include "RecordSet.h"
#include "Settings.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSqlQuery>
#include <QTimer>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::test;

namespace {

// The burn action on a generated PACS, burning to an ISO file through libburn.
class CdBurnActionTest : public ::testing::Test {
protected:
    CdFolders cd;
    QString database = cd.dir.filePath("conquest.db3");
    QStringList store;
    RecordSet series{"ConnExamenSerie"};
    LibburnEngine engine;
    DcmtkImageConverters converters;
    ScriptedDialogService dialogs;
    QStringList events;

    void SetUp() override
    {
        SetSettingsFile(cd.dir.filePath("settings.ini"));
        {
            QSqlDatabase db = OpenConquestDatabase(database, "setup", nullptr, MissingFile::Create);
            ASSERT_TRUE(db.isOpen());
            ASSERT_EQ(CreateConquestTables(db), "");
            QSqlQuery insert(db);
            ASSERT_TRUE(
                insert.exec("INSERT INTO DICOMSeries (SeriesInst, SeriesPat) VALUES ('1.2.3', 'PAT001')"));
            db.close();
        }
        QSqlDatabase::removeDatabase("setup");
        ASSERT_EQ(OpenAndUpgrade(database), "");
        series.setDatabasePath(database);
        series.setRecordSource("SELECT * FROM DICOMSeries WHERE SeriesInst = '1.2.3'");
        ASSERT_TRUE(series.requery());
        store = writeStoreImages(cd.dir.filePath("data/PAT001"), 2);
        SaveSetting("Drive", "Device", LibburnEngine::ImageFileWriterName);
    }
    void TearDown() override { SetSettingsFile({}); }

    CdBurnCallbacks callbacks()
    {
        return {[this](bool on) { events << (on ? "shortcuts on" : "shortcuts off"); },
            [this] { events << (MarkSeriesBurned(series) ? "burned" : "not stored"); },
            [this](int count) { events << QString("labels %1").arg(count); },
            [this] { events << "monitor resumed"; }};
    }

    // Presses "Graver..." once the burning window shows (after the
    // preparation); `afterBurn` runs when the burn has ended.
    void pressBurnWhenShown(std::function<void()> afterBurn = {})
    {
        auto* poll = new QTimer;
        poll->setInterval(20);
        QObject::connect(poll, &QTimer::timeout, [this, poll, afterBurn] {
            QWidget* window = burnWindow();
            if (!window)
                return;
            poll->stop();
            poll->deleteLater();
            if (afterBurn)
                QObject::connect(&engine, &BurnEngine::burnDone, window,
                    [afterBurn] { QTimer::singleShot(0, afterBurn); });
            window->findChild<QPushButton*>("Burn")->click();
        });
        poll->start();
    }

    static QWidget* burnWindow()
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == "BurnWindow" && widget->isVisible())
                return widget;
        }
        return nullptr;
    }

    bool burnedInDatabase()
    {
        EXPECT_TRUE(series.requery());
        return series.fieldBool("Burned");
    }

    CdBurnRequest request()
    {
        CdBurnRequest r;
        r.images = {{store[0]}, {store[1]}};
        r.texts = {"", "DUPONT^JEAN", "02/01/2024"};
        r.folders = cd.folders;
        r.autoPrintLabels = true;
        r.labelCount = 2;
        return r;
    }
};

} // namespace

TEST_F(CdBurnActionTest, aSuccessfulBurnMarksTheExamAndPrintsItsLabels)
{
    const QString iso = cd.dir.filePath("patient.iso");
    dialogs.answerMessage(MsgResult::Yes); // burn the images?
    dialogs.answerFile(iso);
    dialogs.answerMessage(MsgResult::No); // another copy?
    pressBurnWhenShown();

    EXPECT_TRUE(BurnExamToCd(request(), callbacks(), engine, converters));
    EXPECT_EQ(
        events, QStringList({"shortcuts off", "burned", "labels 2", "shortcuts on", "monitor resumed"}));
    EXPECT_TRUE(burnedInDatabase());
    EXPECT_TRUE(QFile::exists(iso));
    EXPECT_TRUE(QDir(cd.folders.cdFolder).isEmpty());
    EXPECT_EQ(dialogs.messages.front().text, "Etes vous sur de vouloir graver les fichiers images ?\n\n");
    EXPECT_EQ(dialogs.unexpected, 0);
}

TEST_F(CdBurnActionTest, aFailedBurnLeavesTheExamAndPrintsNothing)
{
    dialogs.answerMessage(MsgResult::Yes);
    dialogs.answerFile(cd.dir.filePath("missing/folder/patient.iso"));
    dialogs.answerMessage(MsgResult::Yes); // leave without a burned CD
    pressBurnWhenShown([] { burnWindow()->findChild<QPushButton*>("Button2")->click(); });

    EXPECT_FALSE(BurnExamToCd(request(), callbacks(), engine, converters));
    EXPECT_EQ(events, QStringList({"shortcuts off", "shortcuts on", "monitor resumed"}));
    EXPECT_FALSE(burnedInDatabase());
    EXPECT_TRUE(QFile::exists(cd.cd("DICOMDIR")));
    EXPECT_EQ(dialogs.unexpected, 0);
}

TEST_F(CdBurnActionTest, answeringNoDoesNothing)
{
    dialogs.answerMessage(MsgResult::No);
    EXPECT_FALSE(BurnExamToCd(request(), callbacks(), engine, converters));
    EXPECT_TRUE(events.isEmpty());
    EXPECT_FALSE(QDir(cd.folders.cdFolder).exists());
}
