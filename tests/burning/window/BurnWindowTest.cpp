#include "burning/window/BurnWindow.h"
#include "CdFixtures.h"
#include "ScriptedDialogService.h"
#include "base/core/DialogService.h"
#include "base/core/Settings.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <atomic>
#include <deque>
#include <gtest/gtest.h>

using namespace vexa;

namespace {

// An engine whose answers the test writes and whose ends the test sends.
class ScriptedBurnEngine : public BurnEngine {
public:
    QList<BurnWriter> writerList{{"Graveur A"}, {"Graveur B"}};
    std::deque<QList<int>> speedAnswers; // then {4, 8} once they run out
    int nonBlankAnswers = 0; // how many of the empty answers are a written disc
    QStringList calls;
    BurnJob lastJob;
    int aborts = 0;
    std::atomic_int driveCallsOnTheUiThread{0};
    QSemaphore scanEnds{1}; // the test takes it to hold the search for writers

    QList<BurnWriter> writers() override
    {
        noteDriveCall();
        scanEnds.acquire();
        scanEnds.release();
        return writerList;
    }
    void eject(int writer) override
    {
        noteDriveCall();
        calls << QString("eject %1").arg(writer);
    }
    QList<int> writeSpeeds(int writer) override
    {
        noteDriveCall();
        calls << QString("speeds %1").arg(writer);
        if (speedAnswers.empty())
            return {4, 8};
        QList<int> answer = speedAnswers.front();
        speedAnswers.pop_front();
        if (answer.isEmpty() && nonBlankAnswers > 0) {
            --nonBlankAnswers;
            emit nonBlankDisc();
        }
        return answer;
    }
    void startBurn(const BurnJob& job) override
    {
        calls << "burn";
        lastJob = job;
    }
    bool startErase(int writer, QString&) override
    {
        noteDriveCall();
        calls << QString("erase %1").arg(writer);
        return true;
    }
    void abort() override { ++aborts; }
    QStringList diagnostics() const override { return {"Moteur de test", "Aucune erreur signalée."}; }
    void end(int status) { emit burnDone(status); }

private:
    // A drive may take seconds to answer: the window must never wait on one.
    void noteDriveCall()
    {
        if (QThread::currentThread() == qApp->thread())
            ++driveCallsOnTheUiThread;
    }
};

void touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("x");
}

template <typename T> T* child(QWidget& window, const char* name)
{
    T* widget = window.findChild<T*>(name);
    EXPECT_TRUE(widget) << name;
    return widget;
}

// Waits for the folder shown to be listed, as the window does it off the
// user-interface thread.
void waitListed(BurnWindow& window)
{
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.preparing(); }, 5000));
}

QString enabledButtons(QWidget& window)
{
    QStringList names;
    for (const char* name : {"AvailableDevices", "Browse", "Burn", "EraseBtn", "btnAbort", "Button2"}) {
        QWidget* widget = window.findChild<QWidget*>(name);
        if (widget && widget->isEnabled())
            names << name;
    }
    return names.join(' ');
}

class BurnWindowTest : public ::testing::Test {
protected:
    QTemporaryDir dir_;
    QString cd_ = dir_.filePath("ToBurn.tmp");
    ScriptedBurnEngine engine_;
    ScriptedDialogService dialogs_;

    void SetUp() override
    {
        setSettingsFile(dir_.filePath("settings.ini"));
        for (const char* name : {"DICOM/00000001", "Index.htm", "DICOMDIR"})
            touch(cd_ + "/" + name);
    }
    void TearDown() override { setSettingsFile({}); }

    QStringList messageTexts() const
    {
        QStringList texts;
        for (const MessageRequest& request : dialogs_.messages)
            texts << request.title + ": " + request.text;
        return texts;
    }

    // Presses "Graver..." with a disc in the writer.
    void burn(BurnWindow& window)
    {
        dialogs_.answerMessage(MsgResult::Ok);
        child<QPushButton>(window, "Burn")->click();
        ASSERT_TRUE(engine_.calls.contains("burn"));
    }
};

const QString insertDisc
    = "Gravure du CD: Veuillez déposer un CD Vierge dans le lecteur, fermer la trappe du "
      "lecteur, \npuis cliquer sur OK";
const QString noDisc = "Vérifiez le CD !: Il ne semble pas y avoir de CD dans le lecteur.";
const QString notBlank = "Vérifiez le CD !: Le CD du lecteur n'est pas vierge : déposez un CD vierge, ou "
                         "effacez ce CD-RW avec « Effacer un CD-RW... ».";

} // namespace

TEST_F(BurnWindowTest, theDeviceSettingPreselectsItsWriterOrTheFirst)
{
    const std::pair<QString, int> cases[] = {{"Graveur B", 1}, {"Graveur inconnu", 0}, {"", 0}};
    for (const auto& [device, expected] : cases) {
        saveSetting("Drive", "Device", device);
        BurnWindow window(engine_, cd_);
        waitListed(window);
        EXPECT_EQ(child<QComboBox>(window, "AvailableDevices")->currentIndex(), expected)
            << device.toStdString();
    }
}

TEST_F(BurnWindowTest, listsRootFilesFirstAndBurnsTheTreeAtTheFastestSpeed)
{
    saveSetting("Drive", "Device", "Graveur B");
    BurnWindow window(engine_, cd_);
    waitListed(window);
    EXPECT_EQ(child<QLineEdit>(window, "edtFileName")->text(), cd_ + "/");
    EXPECT_EQ(window.filesToBurn(), QStringList({"DICOMDIR", "Index.htm", "DICOM\\00000001"}));
    EXPECT_EQ(enabledButtons(window), "AvailableDevices Browse Burn EraseBtn Button2");
    child<QComboBox>(window, "AvailableDevices")->setCurrentIndex(0);

    burn(window);
    EXPECT_EQ(engine_.calls, QStringList({"eject 0", "speeds 0", "burn"}));
    EXPECT_EQ(messageTexts(), QStringList{insertDisc});
    EXPECT_EQ(engine_.lastJob.writer, 0);
    EXPECT_EQ(engine_.lastJob.speed, 8);
    EXPECT_EQ(engine_.lastJob.volumeName, "Dicom");
    EXPECT_EQ(engine_.lastJob.tree.folders, QStringList{"DICOM"});
    ASSERT_EQ(engine_.lastJob.tree.files.size(), 3);
    EXPECT_EQ(engine_.lastJob.tree.files[2].source, cd_ + "/DICOM/00000001");
    EXPECT_EQ(getSetting("Drive", "Device"), "Graveur A");
    EXPECT_EQ(enabledButtons(window), "AvailableDevices btnAbort");

    // Progress and messages from the engine show at once, the last line in view.
    emit engine_.progressChanged(42);
    EXPECT_EQ(child<QProgressBar>(window, "ProgressBar")->value(), 42);
    emit engine_.nonBlankDisc();
    EXPECT_TRUE(window.messageLog().endsWith("Le CD-RW n'est pas vierge !\r\n"));
}

TEST_F(BurnWindowTest, anEmptyFolderCannotBeBurned)
{
    QDir(cd_).removeRecursively();
    QDir().mkpath(cd_);
    BurnWindow window(engine_, cd_);
    waitListed(window);
    EXPECT_TRUE(window.filesToBurn().isEmpty());
    EXPECT_FALSE(child<QPushButton>(window, "Burn")->isEnabled());

    // Another folder chosen with "Parcourir..." is listed at once.
    touch(dir_.filePath("other/LISEZMOI.TXT"));
    dialogs_.answerFile(dir_.filePath("other"));
    child<QPushButton>(window, "Browse")->click();
    waitListed(window);
    EXPECT_EQ(child<QLineEdit>(window, "edtFileName")->text(), dir_.filePath("other/"));
    EXPECT_EQ(window.filesToBurn(), QStringList{"LISEZMOI.TXT"});
    EXPECT_TRUE(child<QPushButton>(window, "Burn")->isEnabled());
}

// A written disc is named as such, an empty drive as empty.
TEST_F(BurnWindowTest, noDiscRetryThenCancelEndsTheAttemptUntilAnnuler)
{
    engine_.speedAnswers = {{}, {}};
    engine_.nonBlankAnswers = 1;
    BurnWindow window(engine_, cd_);
    waitListed(window);
    for (MsgResult answer : {MsgResult::Ok, MsgResult::Retry, MsgResult::Ok, MsgResult::Cancel})
        dialogs_.answerMessage(answer);
    child<QPushButton>(window, "Burn")->click();

    EXPECT_EQ(engine_.calls, QStringList({"eject 0", "speeds 0", "eject 0", "speeds 0"}));
    EXPECT_EQ(messageTexts(), QStringList({insertDisc, notBlank, insertDisc, noDisc}));
    EXPECT_EQ(dialogs_.messages[1].buttons, MsgButtons::RetryCancel);
    EXPECT_EQ(enabledButtons(window), "AvailableDevices btnAbort");
    child<QPushButton>(window, "btnAbort")->click();
    EXPECT_EQ(enabledButtons(window), "AvailableDevices Browse Burn EraseBtn Button2");
    EXPECT_EQ(engine_.aborts, 1);
}

TEST_F(BurnWindowTest, aFailedBurnIsLoggedAsksNothingAndKeepsTheCdWhenClosed)
{
    BurnWindow window(engine_, cd_);
    waitListed(window);
    window.show();
    burn(window);
    emit engine_.progressChanged(60);
    engine_.end(7);

    EXPECT_TRUE(window.messageLog().endsWith("\r\nMoteur de test\r\nAucune erreur signalée.\r\n"
                                             "ECHEC de la Gravure ! (7)\r\n"));
    EXPECT_EQ(messageTexts(), QStringList{insertDisc});
    EXPECT_FALSE(window.burnSucceeded());
    EXPECT_EQ(child<QProgressBar>(window, "ProgressBar")->value(), 0);
    EXPECT_EQ(enabledButtons(window), "AvailableDevices Browse Burn EraseBtn Button2");

    dialogs_.answerMessage(MsgResult::No);
    child<QPushButton>(window, "Button2")->click();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(dialogs_.messages.back().text,
        "Votre gravure n'a pas été effectuée : êtes-vous sûr de vouloir quitter ?");
    EXPECT_EQ(dialogs_.messages.back().title, "Gravure non terminée...");
    dialogs_.answerMessage(MsgResult::Yes);
    child<QPushButton>(window, "Button2")->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(QFile::exists(cd_ + "/DICOMDIR"));
    EXPECT_GE(engine_.aborts, 1);
    EXPECT_EQ(dialogs_.unexpected, 0);
}

TEST_F(BurnWindowTest, aSuccessAsksForAnotherCopyThenClosingEmptiesTheCdFolder)
{
    BurnWindow window(engine_, cd_);
    waitListed(window);
    window.show();
    burn(window);
    dialogs_.answerMessage(MsgResult::Yes); // another copy
    engine_.end(0);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.burnSucceeded());
    EXPECT_TRUE(window.messageLog().endsWith("Gravure terminée avec succès !\r\n"));
    EXPECT_EQ(child<QProgressBar>(window, "ProgressBar")->value(), 100);
    EXPECT_EQ(messageTexts().back(),
        "Gravure...: Gravure effectuée avec succès.\n\nVoulez-vous graver un autre CD ?");
    EXPECT_EQ(dialogs_.messages.back().defaultButton, MsgResult::No);

    burn(window);
    dialogs_.answerMessage(MsgResult::No);
    engine_.end(0);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(QDir(cd_).exists());
    EXPECT_TRUE(QDir(cd_).isEmpty());
    EXPECT_GE(engine_.aborts, 1);
    EXPECT_EQ(dialogs_.unexpected, 0);
}

TEST_F(BurnWindowTest, imagesMissingFromTheCdAreLoggedAndAskedAbout)
{
    BurnWindow window(
        engine_, cd_, {"Image non gravée, son fichier DICOM n'a pas pu être créé : /pacs/a.v2 (illisible)"});
    waitListed(window);
    EXPECT_TRUE(window.messageLog().contains("Image non gravée, son fichier DICOM n'a pas pu être créé"));
    dialogs_.answerMessage(MsgResult::No);
    child<QPushButton>(window, "Burn")->click();
    EXPECT_TRUE(engine_.calls.isEmpty());
    EXPECT_EQ(dialogs_.messages.back().text,
        "Il manque des images sur ce CD (voir les messages de contrôle).\n\nVoulez-vous graver ce CD quand "
        "même ?");
    EXPECT_EQ(enabledButtons(window), "AvailableDevices Browse Burn EraseBtn Button2");
}

// Typing lists nothing until the typing pauses, then only the folder typed
// last; the burn waits for that listing.
TEST_F(BurnWindowTest, typingListsTheFolderOnceTypingPauses)
{
    touch(dir_.filePath("other/LISEZMOI.TXT"));
    BurnWindow window(engine_, cd_);
    waitListed(window);
    QSignalSpy listed(&window, &BurnWindow::folderListed);
    auto* edit = child<QLineEdit>(window, "edtFileName");
    edit->clear();
    QTest::keyClicks(edit, dir_.filePath("other"));
    EXPECT_TRUE(window.filesToBurn().isEmpty());
    EXPECT_FALSE(child<QPushButton>(window, "Burn")->isEnabled());
    EXPECT_EQ(listed.size(), 0);

    ASSERT_TRUE(listed.wait(BurnWindow::ListingPauseMs + 5000));
    EXPECT_EQ(window.filesToBurn(), QStringList{"LISEZMOI.TXT"});
    EXPECT_TRUE(child<QPushButton>(window, "Burn")->isEnabled());
    QTest::qWait(BurnWindow::ListingPauseMs + 100);
    EXPECT_EQ(listed.size(), 1) << "one listing for the whole typing";

    burn(window);
    EXPECT_EQ(engine_.lastJob.tree.files.size(), 1);
    EXPECT_EQ(engine_.lastJob.tree.files[0].source, dir_.filePath("other/LISEZMOI.TXT"));
}

// A drive that takes its time (spinning up, or a slow bus) never freezes the
// window: it opens while the writers are looked for, burning waits for them,
// and the tray, the disc and the erase are asked about off the interface
// thread.
TEST_F(BurnWindowTest, theWindowNeverWaitsOnADrive)
{
    engine_.scanEnds.acquire();
    BurnWindow window(engine_, cd_);
    auto* writers = child<QComboBox>(window, "AvailableDevices");
    EXPECT_EQ(writers->currentText(), "Recherche des graveurs...");
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.filesToBurn().size() == 3; }, 5000));
    EXPECT_TRUE(window.preparing());
    EXPECT_EQ(enabledButtons(window), "Browse Button2");

    engine_.scanEnds.release();
    waitListed(window);
    EXPECT_EQ(writers->count(), 2);
    EXPECT_EQ(enabledButtons(window), "AvailableDevices Browse Burn EraseBtn Button2");
    burn(window);
    engine_.end(7);
    child<QPushButton>(window, "EraseBtn")->click();
    EXPECT_EQ(engine_.calls, QStringList({"eject 0", "speeds 0", "burn", "erase 0"}));
    EXPECT_EQ(engine_.driveCallsOnTheUiThread, 0);
}
