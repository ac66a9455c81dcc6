// The first start on a large database never upgraded nor named: the main
// window shows before the work ends, its lists fill, nothing Conquest
// inserts meanwhile is lost or left unnamed; and three workstations started
// together all reach their window on a database upgraded once.
#include "PacsTestDb.h"
#include "ScriptedDialogService.h"
#include "base/core/AppValues.h"
#include "base/core/Settings.h"
#include "pacsdb/PacsUpgrade.h"
#include "shell/main/MainWindow.h"
#include "shell/main/SingleInstance.h"
#include "shell/main/Startup.h"
#include "shell/main/StartupSteps.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTest>
#include <cstdio>

using namespace vexa;
using namespace vexa::test;

namespace {

constexpr int kSeries = 60;
constexpr int kImages = 40; // 2 400 images: above the start's background threshold

class FirstStart : public BackendTest {
protected:
    // Conquest's rows as it writes them, today's exams, never named.
    void fill()
    {
        static_assert(kSeries * kImages >= kBackgroundStartFrom);
        const QString today = QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
        ASSERT_TRUE(pacs().db().transaction());
        for (int s = 0; s < kSeries; ++s) {
            const QString uid = QStringLiteral("S%1").arg(s), patient = QStringLiteral("P%1").arg(s);
            pacs().insertPatient(patient, QStringLiteral("NOM%1^PRENOM").arg(s));
            pacs().insertSeries(uid, patient, today);
            for (int i = 0; i < kImages; ++i)
                pacs().insertImage(uid + QStringLiteral(".%1").arg(i), uid, patient, today);
        }
        ASSERT_TRUE(pacs().db().commit());
    }

    // Every row named, each with its own number.
    void expectAllNamed(int images)
    {
        EXPECT_EQ(pacs().scalar("SELECT COUNT(*) FROM DICOMImages").toInt(), images);
        EXPECT_EQ(pacs().scalar("SELECT COUNT(DISTINCT Compteur) FROM DICOMImages").toInt(), images);
        EXPECT_EQ(
            pacs().scalar("SELECT COUNT(*) FROM DICOMImages WHERE Burned = 0 OR PatientName IS NULL").toInt(),
            0);
        EXPECT_EQ(pacs().scalar("SELECT COUNT(*) FROM DICOMSeries WHERE ScanDate IS NULL").toInt(), 0);
        if (GetParam() == SqlBackend::Postgres) {
            EXPECT_EQ(postgresErrorsOf(pacs().path()), QStringList());
        }
    }

    QTemporaryDir dir_;
};

} // namespace

TEST_P(FirstStart, WindowComesFirstListsFillAndConquestsInsertsAreNamed)
{
    fill();
    setSettingsFile(dir_.filePath(QStringLiteral("settings.ini")));
    saveSetting(QStringLiteral("Conquest"), QStringLiteral("ConquestPath"), pacs().path());

    ScriptedDialogService dialogs;
    SingleInstance instance(dir_.path());
    MainWindow window;
    ASSERT_EQ(runStartup(window, instance, {}), StartupOutcome::Run);
    // Conquest goes on receiving while the first start works.
    const int series = 5, images = 4;
    QProcess conquest;
    conquest.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    conquest.start(QStringLiteral(VEXA_CONQUEST_WRITER_PATH),
        {pacs().path(), QString::number(series), QString::number(images), "20", "W"});
    ASSERT_TRUE(conquest.waitForStarted());
    window.show();
    // The window is up with the work still running (its end arrives queued).
    EXPECT_TRUE(window.startupWorkRunning());
    EXPECT_EQ(window.noticeLabel->text(), upgradeProgressText(0, kSeries * kImages));

    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.startupWorkRunning(); }, 60000));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(window.sets.seriesByDate.count(), kSeries); // today's exams, dated by the naming
    EXPECT_TRUE(QTest::qWaitFor([&] { return conquest.state() == QProcess::NotRunning; }, 60000));
    EXPECT_EQ(conquest.exitCode(), 0);
    std::printf(
        "Conquest during the first start: %s\n", conquest.readAllStandardOutput().trimmed().constData());
    window.monitorTick(); // the everyday tick names what arrived meanwhile
    expectAllNamed(kSeries * kImages + series * images);
}

// An upgrade that fails behind the shown window gives the messages of a
// failed opening and names nothing (here Conquest's worklist table is gone).
TEST_P(FirstStart, AFailedUpgradeBehindTheWindowSaysSoAsAtAnyStart)
{
    fill();
    pacs().exec(QStringLiteral("DROP TABLE DICOMWorkList"));
    setSettingsFile(dir_.filePath(QStringLiteral("settings.ini")));
    saveSetting(QStringLiteral("Conquest"), QStringLiteral("ConquestPath"), pacs().path());
    ScriptedDialogService dialogs;
    dialogs.answerMessage(MsgResult::Ok);
    dialogs.answerMessage(MsgResult::No);
    SingleInstance instance(dir_.path());
    MainWindow window;
    ASSERT_EQ(runStartup(window, instance, {}), StartupOutcome::Run);

    EXPECT_TRUE(QTest::qWaitFor([&] { return dialogs.messages.size() >= 2; }, 60000));
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].title, openErrorTitle());
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(openErrorText(QString())));
    EXPECT_EQ(dialogs.messages[1].text, databaseNotFoundText());
    EXPECT_EQ(dialogs.unexpected, 0);
    EXPECT_FALSE(window.startupWorkRunning());
    EXPECT_EQ(pacs().scalar("SELECT COUNT(*) FROM DICOMSeries WHERE ScanDate IS NOT NULL").toInt(), 0);
}

// Three programs started in the same second, each with its own settings and
// user folders (so the single-instance guard lets them be). They are watched
// until each has named (15 s at most, a few seconds in practice): a failed
// upgrade would show its message and end its program well within that.
TEST_P(FirstStart, ThreeWorkstationsStartingTogetherAllReachTheirWindow)
{
    fill();
    std::vector<std::unique_ptr<QProcess>> owned;
    QList<QProcess*> stations;
    for (int i = 0; i < 3; ++i) {
        const QString home = dir_.filePath(QStringLiteral("station%1").arg(i));
        const QString settings = home + QStringLiteral("/settings.ini");
        setSettingsFile(settings);
        saveSetting(QStringLiteral("Conquest"), QStringLiteral("ConquestPath"), pacs().path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* variable : {"XDG_RUNTIME_DIR", "XDG_STATE_HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"})
            env.insert(QString::fromLatin1(variable), home + u'/' + QString::fromLatin1(variable));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess* station = owned.emplace_back(std::make_unique<QProcess>()).get();
        station->setProcessEnvironment(env);
        station->setProcessChannelMode(QProcess::MergedChannels);
        QDir().mkpath(home + QStringLiteral("/XDG_RUNTIME_DIR"));
        QFile::setPermissions(home + QStringLiteral("/XDG_RUNTIME_DIR"),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        station->setProperty("log", home + QStringLiteral("/XDG_STATE_HOME/VexaDICOM/vexadicom.log"));
        stations << station;
    }
    for (int i = 0; i < 3; ++i)
        stations[i]->start(QStringLiteral(VEXA_PROGRAM_PATH),
            {QStringLiteral("--settings"), dir_.filePath(QStringLiteral("station%1/settings.ini").arg(i))});
    const auto logOf = [](QProcess* station) {
        QFile file(station->property("log").toString());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    const auto allLogged = [&](const QString& line) {
        return std::all_of(
            stations.begin(), stations.end(), [&](QProcess* s) { return logOf(s).contains(line); });
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return allLogged(QStringLiteral("base à jour")); }, 15000));
    for (QProcess* station : stations) {
        const QString log = logOf(station);
        EXPECT_TRUE(log.contains(QStringLiteral("fenêtre principale affichée"))) << log.toStdString();
        EXPECT_FALSE(log.contains(QStringLiteral("base non ouverte"))) << log.toStdString();
        EXPECT_EQ(station->state(), QProcess::Running) << station->readAll().toStdString();
        station->terminate();
        station->waitForFinished(5000);
    }
    expectAllNamed(kSeries * kImages);
}

VEXA_BACKENDS(FirstStart);
