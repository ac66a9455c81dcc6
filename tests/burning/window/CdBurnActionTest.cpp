// PacsTestDb.h prints QString values already.
#include "PacsTestDb.h"
#define VEXA_TEST_PRINTS_QSTRING

#include "CdFixtures.h"
#include "ScriptedDialogService.h"
#include "base/core/AppValues.h"
#include "base/core/DialogService.h"
#include "base/core/Settings.h"
#include "base/ui/BackgroundWork.h"
#include "burning/engine/LibburnEngine.h"
#include "burning/window/BurnWindow.h"
#include "burning/window/CdBurnAction.h"
#include "pacsdb/ExamChecks.h"
#include "pacsdb/PacsConnection.h"
#include "pacsdb/PacsUpgrade.h"
#include "pacsdb/RecordSet.h"
#include "pacsdb/SeriesContent.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>
#include <mutex>

using namespace vexa;
using namespace vexa::test;

namespace {

const QString imageDate = "20240102";

// Converters that write a few bytes, slowly enough for input to arrive while
// the CD is prepared; `duringConversion` runs on the converting thread.
class SlowConverters : public TinyConverters {
public:
    std::function<void()> duringConversion;
    DicomResult makeStandardDicomFile(const QString& imagePath, const QString& targetPath) override
    {
        QThread::msleep(30);
        if (duringConversion)
            duringConversion();
        return TinyConverters::makeStandardDicomFile(imagePath, targetPath);
    }
};

// What Conquest writes for one received image: its file in the store, then
// its row stamped with the time, on the calling thread's own connection.
void receiveImage(const QString& database, const QString& store, const QString& series, int number)
{
    const QString patient = "PAT" + series;
    const QString objectFile = QString("%1/%2_%3.v2").arg(patient, series).arg(number);
    QDir().mkpath(store + patient);
    QFile file(store + objectFile);
    if (file.open(QIODevice::WriteOnly))
        file.write("image");
    file.close();
    QSqlQuery insert(pacsConnection(database));
    insert.prepare("INSERT INTO DICOMImages (SOPInstanc, SeriesInst, ImagePat, ImageDate, ObjectFile, "
                   "AccessTime, DeviceName) VALUES (?, ?, ?, ?, ?, ?, 'MAG0')");
    for (const QVariant& value :
        {QVariant(QString("1.2.%1.%2").arg(series).arg(number)), QVariant("1.2." + series), QVariant(patient),
            QVariant(imageDate), QVariant(objectFile), QVariant(QDateTime::currentSecsSinceEpoch())})
        insert.addBindValue(value);
    EXPECT_TRUE(insert.exec()) << insert.lastError().text().toStdString();
}

QWidget* shownBurnWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == "BurnWindow" && widget->isVisible())
            return widget;
    }
    return nullptr;
}

// The burn action on both engines, burning to an ISO file through libburn:
// exam A (3 images) is burned, exam B (2 images) stands for the exam the user
// opens meanwhile.
class CdBurnActionTest : public BackendTest {
protected:
    CdFolders cd_;
    QString store_ = cd_.dir.filePath("store/");
    LibburnEngine engine_;
    SlowConverters converters_;
    ScriptedDialogService dialogs_;
    QStringList events_;
    int dicomFilesWhenShown_ = -1;

    void SetUp() override
    {
        BackendTest::SetUp();
        ASSERT_TRUE(pacs().ok()) << pacs().error().toStdString();
        ASSERT_EQ(openAndUpgrade(pacs().path()), "");
        setSettingsFile(cd_.dir.filePath("settings.ini"));
        saveSetting("Drive", "Device", LibburnEngine::ImageFileWriterName);
        addExam("A", 3);
        addExam("B", 2);
    }
    void TearDown() override
    {
        setSettingsFile({});
        closePacsConnection(pacs().path());
        BackendTest::TearDown();
    }

    void addExam(const QString& name, int images)
    {
        pacs().insertPatient("PAT" + name, "PATIENT^" + name);
        pacs().insertSeries("1.2." + name, "PAT" + name, imageDate);
        for (int i = 1; i <= images; ++i)
            receiveImage(pacs().path(), store_, name, i);
    }

    // Exam A again as it was received: its series and its three images.
    void resetExamA()
    {
        pacs().exec("DELETE FROM DICOMImages WHERE SeriesInst = '1.2.A'");
        pacs().exec("DELETE FROM DICOMSeries WHERE SeriesInst = '1.2.A'");
        pacs().insertSeries("1.2.A", "PATA", imageDate);
        for (int i = 1; i <= 3; ++i)
            receiveImage(pacs().path(), store_, "A", i);
    }

    CdBurnRequest request(const QString& name)
    {
        CdBurnRequest r;
        r.cd.exam = {"1.2." + name, "", "PAT" + name, "PATIENT " + name, "02/01/2024"};
        r.cd.conquestPath = pacs().path();
        r.cd.imageRoot = store_;
        r.cd.folders = cd_.folders;
        // The images arrived a minute ago: the reception is over.
        r.cd.now = [] { return QDateTime::currentDateTime().addSecs(60); };
        r.autoPrintLabels = true;
        r.labelCount = 2;
        return r;
    }

    CdBurnCallbacks callbacks()
    {
        return {[this](bool on) { events_ << (on ? "shortcuts on" : "shortcuts off"); },
            [this](const Exam& exam, int count) {
                events_ << QString("labels %1 %2").arg(exam.patientName).arg(count);
            },
            [this] { events_ << "monitor resumed"; }};
    }

    // Whether the series is marked burned; false once it is gone.
    bool burned(const QString& name)
    {
        const QString where = " FROM DICOMSeries WHERE SeriesInst = '1.2." + name + "'";
        return pacs().scalar("SELECT COUNT(*)" + where).toInt() > 0
            && pacs().scalar("SELECT Burned" + where).toInt() != 0;
    }

    // Once the burning window shows: notes the CD's DICOM files, runs
    // `beforeBurn`, presses "Graver..."; `afterBurn` runs when the burn has ended.
    void pressBurnWhenShown(std::function<void()> beforeBurn = {}, std::function<void()> afterBurn = {})
    {
        auto* poll = new QTimer;
        poll->setInterval(20);
        QObject::connect(poll, &QTimer::timeout, [this, poll, beforeBurn, afterBurn] {
            auto* window = qobject_cast<BurnWindow*>(shownBurnWindow());
            if (!window || window->preparing())
                return;
            poll->stop();
            poll->deleteLater();
            dicomFilesWhenShown_ = dicomFilesOnCd(cd_.folders.cdFolder);
            if (beforeBurn)
                beforeBurn();
            if (afterBurn)
                QObject::connect(&engine_, &BurnEngine::burnDone, window,
                    [afterBurn] { QTimer::singleShot(0, afterBurn); });
            window->findChild<QPushButton*>("Burn")->click();
        });
        poll->start();
    }

    // Burns exam A to an ISO file, answering "no other copy".
    bool burnA(std::function<void()> beforeBurn = {}, QWidget* parent = nullptr)
    {
        dialogs_.answerMessage(MsgResult::Yes); // burn the images?
        dialogs_.answerFile(cd_.dir.filePath("patient.iso"));
        dialogs_.answerMessage(MsgResult::No); // another copy?
        pressBurnWhenShown(beforeBurn);
        return burnExamToCd(request("A"), callbacks(), engine_, converters_, parent);
    }
};

} // namespace

// While the CD is prepared the user closes the exam, opens B, clicks the
// burn button again and the monitor ticks: the CD, the mark and the labels
// stay A's, the second start is refused and B is not marked.
TEST_P(CdBurnActionTest, inputDuringThePreparationLeavesTheBurnOnItsExam)
{
    QWidget mainWindow;
    auto* burnButton = new QPushButton("Graver", &mainWindow);
    QString shownExam = "A";
    QList<bool> secondStarts;
    QObject::connect(burnButton, &QPushButton::clicked, [&] {
        secondStarts << burnExamToCd(request(shownExam), callbacks(), engine_, converters_, &mainWindow);
    });
    mainWindow.show();
    RecordSet monitorList("NotBurned");
    monitorList.setDatabasePath(pacs().path());
    monitorList.setRecordSource("SELECT * FROM DICOMSeries WHERE Burned = 0 OR Burned IS NULL");
    int ticksDuringWork = 0;
    QTimer input;
    input.setInterval(5);
    QObject::connect(&input, &QTimer::timeout, [&] {
        if (!backgroundWorkRunning())
            return;
        input.stop();
        shownExam = "B"; // the exam closed, another opened
        QTest::mouseClick(burnButton, Qt::LeftButton); // kept away by the modal waiting window
        burnButton->click(); // the same action reached another way (a shortcut)
        if (monitorList.requery())
            ++ticksDuringWork;
    });
    input.start();

    EXPECT_TRUE(burnA({}, &mainWindow));
    EXPECT_FALSE(secondStarts.isEmpty());
    EXPECT_FALSE(secondStarts.contains(true));
    EXPECT_EQ(ticksDuringWork, 1);
    EXPECT_EQ(dicomFilesWhenShown_, 3);
    EXPECT_TRUE(burned("A"));
    EXPECT_FALSE(burned("B"));
    EXPECT_EQ(
        events_, QStringList({"shortcuts off", "labels PATIENT A 2", "shortcuts on", "monitor resumed"}));
    EXPECT_TRUE(QFile::exists(cd_.dir.filePath("patient.iso")));
    EXPECT_TRUE(QDir(cd_.folders.cdFolder).isEmpty());
    EXPECT_EQ(dialogs_.messages.size(), 2u) << "the refused start asked nothing";
    EXPECT_EQ(dialogs_.unexpected, 0);
}

TEST_P(CdBurnActionTest, aFailedBurnLeavesTheExamAndPrintsNothing)
{
    dialogs_.answerMessage(MsgResult::Yes);
    dialogs_.answerFile(cd_.dir.filePath("missing/folder/patient.iso"));
    dialogs_.answerMessage(MsgResult::Yes); // leave without a burned CD
    pressBurnWhenShown({}, [] {
        if (QWidget* window = shownBurnWindow())
            window->findChild<QPushButton*>("Button2")->click();
        else
            ADD_FAILURE() << "the burning window closed by itself after a failed burn";
    });

    EXPECT_FALSE(burnExamToCd(request("A"), callbacks(), engine_, converters_));
    EXPECT_EQ(events_, QStringList({"shortcuts off", "shortcuts on", "monitor resumed"}));
    EXPECT_FALSE(burned("A"));
    EXPECT_TRUE(QFile::exists(cd_.cd("DICOMDIR")));
    EXPECT_EQ(dialogs_.unexpected, 0);
}

TEST_P(CdBurnActionTest, answeringNoDoesNothing)
{
    dialogs_.answerMessage(MsgResult::No);
    EXPECT_FALSE(burnExamToCd(request("A"), callbacks(), engine_, converters_));
    EXPECT_TRUE(events_.isEmpty());
    EXPECT_FALSE(QDir(cd_.folders.cdFolder).exists());
}

// An exam that cannot go on a CD as it stands is refused with its reason,
// and no burning window opens.
TEST_P(CdBurnActionTest, anExamNotReadyToBurnIsRefused)
{
    const struct {
        const char* name;
        std::function<void(CdBurnRequest&)> arrange;
        QString message;
    } cases[] = {
        {"deleted on another workstation",
            [this](CdBurnRequest&) {
                pacs().exec("DELETE FROM DICOMImages WHERE SeriesInst = '1.2.A'");
                pacs().exec("DELETE FROM DICOMSeries WHERE SeriesInst = '1.2.A'");
            },
            examDeletedElsewhereText()},
        {"without images",
            [this](CdBurnRequest&) { pacs().exec("DELETE FROM DICOMImages WHERE SeriesInst = '1.2.A'"); },
            cdWithoutImageText()},
        {"still received", [](CdBurnRequest& r) { r.cd.now = [] { return QDateTime::currentDateTime(); }; },
            cdStillReceivingText()},
        {"an image arriving during the preparation",
            [this](CdBurnRequest&) {
                auto once = std::make_shared<std::once_flag>();
                converters_.duringConversion = [this, once] {
                    std::call_once(*once, [this] { receiveImage(pacs().path(), store_, "A", 4); });
                };
            },
            "Le nombre d'images de ce dossier a changé pendant la préparation du CD (3 au départ, 4 "
            "maintenant).\nVeuillez recommencer la gravure."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        resetExamA();
        CdBurnRequest r = request("A");
        c.arrange(r);
        dialogs_.answerMessage(MsgResult::Yes);
        dialogs_.answerMessage(MsgResult::Ok);
        bool windowShown = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (QWidget* window = shownBurnWindow()) {
                windowShown = true;
                window->close();
            }
        });
        watch.start(20);

        EXPECT_FALSE(burnExamToCd(r, callbacks(), engine_, converters_));
        EXPECT_FALSE(windowShown);
        ASSERT_EQ(dialogs_.messages.size(), 2u);
        EXPECT_EQ(dialogs_.messages[1].text, c.message);
        EXPECT_EQ(dialogs_.messages[1].icon, MsgIcon::Critical);
        EXPECT_FALSE(burned("A"));
        EXPECT_FALSE(burned("B"));
        EXPECT_EQ(dialogs_.unexpected, 0);
        dialogs_.messages.clear();
        converters_.duringConversion = {};
    }
}

// Conquest still receives exam A when the burn is asked: refused. Once the
// reception has settled, the CD holds every image.
TEST_P(CdBurnActionTest, aSeriesBeingReceivedIsBurnedOnlyWhenComplete)
{
    const QString database = pacs().path();
    const QString images = store_;
    QThread* conquest = QThread::create([database, images] {
        for (int i = 4; i <= 9; ++i) {
            receiveImage(database, images, "A", i);
            QThread::msleep(150);
        }
    });
    conquest->start();
    QTest::qWait(200);
    CdBurnRequest during = request("A");
    during.cd.now = [] { return QDateTime::currentDateTime(); };
    dialogs_.answerMessage(MsgResult::Yes);
    dialogs_.answerMessage(MsgResult::Ok);
    EXPECT_FALSE(burnExamToCd(during, callbacks(), engine_, converters_));
    ASSERT_GE(dialogs_.messages.size(), 2u);
    EXPECT_EQ(dialogs_.messages[1].text, cdStillReceivingText());
    EXPECT_FALSE(burned("A"));
    ASSERT_TRUE(conquest->wait(10000));
    delete conquest;

    dialogs_.messages.clear();
    EXPECT_TRUE(burnA()); // its `now` is a minute later: the reception has settled
    EXPECT_EQ(dicomFilesWhenShown_, 9);
    EXPECT_TRUE(burned("A"));
    EXPECT_EQ(dialogs_.unexpected, 0);
}

// The exam deleted on another workstation while its CD burns: the CD is
// made, the failed mark is said and nothing else is marked.
TEST_P(CdBurnActionTest, aFailedMarkAfterAGoodBurnIsSaid)
{
    dialogs_.answerMessage(MsgResult::Yes); // burn the images?
    dialogs_.answerFile(cd_.dir.filePath("patient.iso"));
    dialogs_.answerMessage(MsgResult::No); // another copy?
    dialogs_.answerMessage(MsgResult::Ok); // the failed mark
    pressBurnWhenShown([this] {
        pacs().exec("DELETE FROM DICOMImages WHERE SeriesInst = '1.2.A'");
        pacs().exec("DELETE FROM DICOMSeries WHERE SeriesInst = '1.2.A'");
    });
    EXPECT_TRUE(burnExamToCd(request("A"), callbacks(), engine_, converters_));
    ASSERT_EQ(dialogs_.messages.size(), 3u);
    EXPECT_EQ(dialogs_.messages[2].text,
        "Le CD a été gravé, mais le dossier n'a pas pu être considéré comme gravé :\n"
            + examDeletedElsewhereText());
    EXPECT_FALSE(burned("B"));
    EXPECT_TRUE(events_.contains("labels PATIENT A 2"));
}

VEXA_BACKENDS(CdBurnActionTest);

// Labels are printed at burning only on a workstation that has labels: with
// the default settings (labels off, printing at burning on) a good burn used
// to end with a warning about the missing label printer.
TEST(CdBurnRequest, printsLabelsOnlyWhereLabelsAreEnabled)
{
    const struct {
        bool labels, atBurning, printed;
    } cases[] = {{false, true, false}, {true, true, true}, {true, false, false}, {false, false, false}};
    for (const auto& c : cases) {
        AppValues values;
        values.isEtiquette = c.labels;
        values.etiquetteAutoPrint = c.atBurning;
        values.nbEtiquette = 3;
        Exam exam;
        exam.seriesUid = "1.2.3";
        const CdBurnRequest request = makeCdBurnRequest(exam, values);
        EXPECT_EQ(request.autoPrintLabels, c.printed) << c.labels << c.atBurning;
        EXPECT_EQ(request.labelCount, 3);
        EXPECT_EQ(request.cd.exam.seriesUid, "1.2.3");
    }
}
