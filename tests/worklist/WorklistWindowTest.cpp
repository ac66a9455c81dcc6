// The worklist window on a SQLite test database: what it shows at opening,
// the practitioner list kept between openings, and sending from it.
#include "worklist/WorklistWindow.h"
#include "WorklistTestSupport.h"
#include "worklist/WorklistEntry.h"
#include "worklist/WorklistSentNotice.h"

#include "ScriptedDialogService.h"
#include "base/core/AppValues.h"
#include "base/core/DialogService.h"
#include "pacsdb/PacsUpgrade.h"
#include "pacsdb/QueryCatalogue.h"
#include "pacsdb/RecordSet.h"
#include "viewer/window/ViewerLoadingNotice.h"
#include "worklist/PractitionerList.h"

#include <brixel/Button.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace vexa;
using namespace vexa::test;

namespace {

class WorklistWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pacs_.ok()) << pacs_.error().toStdString();
        ASSERT_EQ(openAndUpgrade(pacs_.path()), QString());
        ASSERT_TRUE(netpix_.isValid());
        saved_ = appValues();
        AppValues& v = appValues();
        v.conquestPath = pacs_.path();
        v.fujiCheminNetpix = netpix_.path() + u'/';
        v.fujiPraticien = QStringLiteral("VD");
        v.dicomWorklistFolder.clear();
        QFile::remove(practitionerListFile());
        setLastPractitioner({});
        identities_.setDatabasePath(pacs_.path());
    }
    void TearDown() override { appValues() = saved_; }

    // The patient lookup pointed at a patient, as the main window does before opening the window.
    void pointAt(const QString& patientId)
    {
        identities_.setRecordSource(sql::patientById(patientId));
        ASSERT_TRUE(identities_.requery()) << identities_.lastError().toStdString();
    }
    void addPatient(const QString& id, const QString& name, const QString& sex, const QString& birth)
    {
        pacs_.insertPatient(id, name);
        pacs_.exec(QStringLiteral(
            "UPDATE DICOMPatients SET PatientSex = '%1', PatientBir = '%2' WHERE PatientID = '%3'")
                       .arg(sex, birth, id));
    }
    // A patient unknown to the database, typed in by the user.
    static void typeNewPatient(WorklistWindow& window, const QString& birthDate)
    {
        window.familyNameBox->setText(QStringLiteral("PETIT"));
        window.firstNameBox->setText(QStringLiteral("LUC"));
        window.birthDateBox->setText(birthDate);
    }
    // Clicks the send button; the confirmation, if it comes, is seen and left to close itself.
    void clickSend(WorklistWindow& window)
    {
        noticeSeen_.clear();
        QTimer::singleShot(5, [this] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* notice = qobject_cast<WorklistSentNotice*>(w); notice && notice->isVisible())
                    noticeSeen_ = notice->messageLabel->text();
        });
        // Spaced out so that two clicks in a row are never taken for a double click.
        QTest::mouseClick(
            window.sendButton, Qt::LeftButton, {}, QPoint(), QApplication::doubleClickInterval());
    }
    QStringList netpixFiles() const { return QDir(netpix_.path()).entryList(QDir::Files); }
    QString netpixLine(const QString& name) const
    {
        QFile file(QDir(netpix_.path()).filePath(name));
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
    }

    PacsTestDb pacs_{SqlBackend::Sqlite};
    QTemporaryDir netpix_;
    RecordSet identities_{QStringLiteral("DataIdentities")};
    AppValues saved_;
    QString noticeSeen_;
};

} // namespace

TEST_F(WorklistWindowTest, BlankEntryShowsEveryControlWithItsCaption)
{
    pointAt(QStringLiteral("VexaConcept"));
    WorklistWindow window(identities_);
    EXPECT_EQ(window.titleLabel->text(), QStringLiteral("Envoi vers la WorkList..."));
    EXPECT_EQ(window.familyNameLabel->text(), QStringLiteral("Nom :"));
    EXPECT_EQ(window.firstNameLabel->text(), QStringLiteral("Prénom :"));
    EXPECT_EQ(window.sexLabel->text(), QStringLiteral("Sexe :"));
    EXPECT_EQ(window.patientNumberLabel->text(), QStringLiteral("ID Patient : "));
    EXPECT_EQ(window.birthDateLabel->text(), QStringLiteral("Date Naissance :"));
    EXPECT_EQ(window.practitionerLabel->text(), QStringLiteral("Praticien executant :"));
    EXPECT_EQ(window.requestingPractitionerLabel->text(), QStringLiteral("Praticien Demandeur :"));
    EXPECT_EQ(window.addPractitionerButton->text(), QStringLiteral("+"));
    EXPECT_EQ(window.addPractitionerButton->toolTip(), QStringLiteral("Ajouter un praticien..."));
    EXPECT_EQ(window.sendButton->caption(), QStringLiteral("Envoyer vers la WorkList NetPix..."));
    EXPECT_EQ(window.quitButton->caption(), QStringLiteral("Quitter ..."));
    EXPECT_EQ(window.sendButton->backColor(), QColor(0, 0, 0));
    EXPECT_EQ(window.sendButton->backColorOver(), QColor(0, 0, 0));
    EXPECT_EQ(window.sendButton->backColorDown(), QColor(0, 0, 0));
    EXPECT_FALSE(window.requestingPractitionerBox->isEnabled());

    QStringList sexes;
    for (int i = 0; i < window.sexBox->count(); ++i)
        sexes << window.sexBox->itemText(i);
    EXPECT_EQ(sexes, (QStringList{"O", "M", "F"}));
    EXPECT_EQ(window.sexBox->currentText(), QStringLiteral("O"));
    EXPECT_EQ(window.patientNumberBox->text(), QStringLiteral("0000000000"));
    EXPECT_TRUE(window.familyNameBox->text().isEmpty());
    EXPECT_TRUE(window.firstNameBox->text().isEmpty());
    EXPECT_TRUE(window.birthDateBox->text().isEmpty());
    EXPECT_EQ(window.practitionerBox->count(), 0);

    window.show();
    QApplication::processEvents();
    EXPECT_EQ(window.focusWidget(), window.familyNameBox);
}

TEST_F(WorklistWindowTest, KnownPatientIsPrefilledAndKeepsHisNumber)
{
    addPatient(QStringLiteral("PAT-4711"), QStringLiteral("DURAND^MARIE^LOUISE"), QStringLiteral("F"),
        QStringLiteral("19650201"));
    pointAt(QStringLiteral("PAT-4711"));
    writePractitioners(practitionerListFile(), {QStringLiteral("Dr Blanc"), QStringLiteral("Dr Roux")});
    // An older file of the same name, 10000 accession numbers earlier, is replaced.
    QFile old(QDir(netpix_.path()).filePath(QStringLiteral("FUJI0001.txt")));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older patient, long since examined\r\n");
    old.close();

    WorklistWindow window(identities_);
    window.setSentNoticeDelay(30);
    EXPECT_EQ(window.familyNameBox->text(), QStringLiteral("DURAND"));
    EXPECT_EQ(window.firstNameBox->text(), QStringLiteral("MARIE"));
    EXPECT_EQ(window.sexBox->currentText(), QStringLiteral("F"));
    EXPECT_EQ(window.patientNumberBox->text(), QStringLiteral("PAT-4711"));
    EXPECT_EQ(window.birthDateBox->text(), QStringLiteral("01/02/1965"));
    EXPECT_EQ(window.practitionerBox->currentText(), QStringLiteral("Dr Blanc"));
    window.show();
    QApplication::processEvents();
    EXPECT_EQ(window.focusWidget(), window.sendButton);

    window.practitionerBox->setCurrentText(QStringLiteral("Dr Roux"));
    clickSend(window);
    EXPECT_EQ(noticeSeen_, QStringLiteral("Envoi vers la Worklist effectué"));
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(window.requestingPractitionerBox->text(), QStringLiteral("Dr Roux"));
    EXPECT_EQ(pacs_.scalar("SELECT COUNT(*) FROM DICOMCompteur").toInt(), 0);
    EXPECT_EQ(netpixFiles(), QStringList{QStringLiteral("FUJI0001.txt")});
    const QStringList fields = netpixLine(QStringLiteral("FUJI0001.txt")).split(u',');
    ASSERT_EQ(fields.size(), 11);
    EXPECT_EQ(
        fields.mid(0, 6), (QStringList{"DURAND^MARIE", "F", "PAT-4711", "01/02/1965", "Dr Roux", "Dr Roux"}));
    EXPECT_EQ(fields[8], QStringLiteral("VD000000001"));
    EXPECT_EQ(fields[9], QStringLiteral("CR"));
}

// A stored name without "^" fills the family name only; the rest keeps its
// defaults, so sending draws a new patient number.
TEST_F(WorklistWindowTest, NameWithoutCaretFillsTheFamilyNameOnly)
{
    addPatient(
        QStringLiteral("PAT-9"), QStringLiteral("DURAND"), QStringLiteral("F"), QStringLiteral("19650201"));
    pointAt(QStringLiteral("PAT-9"));
    WorklistWindow window(identities_);
    window.setSentNoticeDelay(30);
    EXPECT_EQ(window.familyNameBox->text(), QStringLiteral("DURAND"));
    EXPECT_EQ(window.firstNameBox->text(), QString());
    EXPECT_EQ(window.sexBox->currentText(), QStringLiteral("O"));
    EXPECT_EQ(window.patientNumberBox->text(), QStringLiteral("0000000000"));
    EXPECT_EQ(window.birthDateBox->text(), QString());

    window.show();
    window.firstNameBox->setText(QStringLiteral("ANNE"));
    window.birthDateBox->setText(QStringLiteral("05/06/1970"));
    clickSend(window);
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(window.patientNumberBox->text(), QStringLiteral("VD000000001"));
    EXPECT_EQ(netpixLine(QStringLiteral("FUJI0001.txt")).section(u',', 2, 2), QStringLiteral("VD000000001"));
}

TEST_F(WorklistWindowTest, RefusalsSayWhatToCorrectAndDigitsMakeADate)
{
    pointAt(QStringLiteral("VexaConcept"));
    ScriptedDialogService dialogs;
    WorklistWindow window(identities_);
    window.setSentNoticeDelay(30);
    window.show();
    QApplication::processEvents();

    // Required fields missing: said, and nothing sent.
    clickSend(window);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(netpixFiles().isEmpty());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, missingFieldText());

    typeNewPatient(window, QStringLiteral("1/2/1965"));
    window.familyNameBox->setFocus();
    clickSend(window);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.focusWidget(), window.birthDateBox);
    EXPECT_TRUE(netpixFiles().isEmpty());
    EXPECT_EQ(window.patientNumberBox->text(), QStringLiteral("0000000000"));
    EXPECT_TRUE(noticeSeen_.isEmpty());
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text, badBirthDateText());

    window.birthDateBox->setText(QStringLiteral("01021965"));
    clickSend(window);
    EXPECT_EQ(noticeSeen_, QStringLiteral("Envoi vers la Worklist effectué"));
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(netpixLine(QStringLiteral("FUJI0001.txt")).section(u',', 0, 3),
        QStringLiteral("PETIT^LUC,O,VD000000001,01/02/1965"));
}

TEST_F(WorklistWindowTest, PractitionerAddedWithPlusIsPreselectedAtTheNextOpening)
{
    pointAt(QStringLiteral("VexaConcept"));
    writePractitioners(practitionerListFile(), {QStringLiteral("Dr Blanc"), QStringLiteral("Dr Roux")});
    ScriptedDialogService dialogs;
    dialogs.answerInput(QStringLiteral("Dr Lefèvre"));
    dialogs.answerInput(QString()); // an empty answer adds nothing
    {
        WorklistWindow window(identities_);
        window.show();
        QTest::mouseClick(window.addPractitionerButton, Qt::LeftButton);
        QTest::mouseClick(window.addPractitionerButton, Qt::LeftButton);
        ASSERT_EQ(dialogs.inputs.size(), 2u);
        EXPECT_EQ(dialogs.inputs[0].prompt, QStringLiteral("Saisir le nom du praticien"));
        EXPECT_EQ(dialogs.inputs[0].title, QStringLiteral("Nouveau Praticien"));
        EXPECT_EQ(dialogs.inputs[0].defaultText, QString());
        EXPECT_EQ(window.practitionerBox->currentText(), QStringLiteral("Dr Lefèvre"));
        EXPECT_EQ(window.practitionerBox->count(), 3);
        QTest::mouseClick(window.quitButton, Qt::LeftButton);
        EXPECT_FALSE(window.isVisible());
    }
    EXPECT_EQ(lastPractitioner(), QStringLiteral("Dr Lefèvre"));
    EXPECT_EQ(readPractitioners(practitionerListFile()),
        (QStringList{"Dr Blanc", "Dr Roux", QStringLiteral("Dr Lefèvre")}));

    WorklistWindow next(identities_);
    EXPECT_EQ(next.practitionerBox->currentText(), QStringLiteral("Dr Lefèvre"));
    EXPECT_EQ(next.practitionerBox->count(), 3);
}

// The NetPix share unreachable: said in French with the folder, no
// confirmation, the window stays open; the numbers drawn stay consumed and
// the patient keeps his for the next try.
TEST_F(WorklistWindowTest, UnreachableNetpixFolderIsSaidAndTheWindowStaysOpen)
{
    pointAt(QStringLiteral("VexaConcept"));
    const QString missing = netpix_.path() + QStringLiteral("/share-not-mounted/");
    appValues().fujiCheminNetpix = missing;
    ScriptedDialogService dialogs;
    WorklistWindow window(identities_);
    window.setSentNoticeDelay(30);
    window.show();
    typeNewPatient(window, QStringLiteral("01/02/1965"));
    clickSend(window);

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Erreur"));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("« ") + missing + QStringLiteral(" »")))
        << dialogs.messages[0].text.toStdString();
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("n'a pas été envoyé")));
    EXPECT_TRUE(noticeSeen_.isEmpty());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.patientNumberBox->text(), QStringLiteral("VD000000001"));

    appValues().fujiCheminNetpix = netpix_.path() + u'/';
    clickSend(window);
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(netpixFiles(), QStringList{QStringLiteral("FUJI0002.txt")});
    EXPECT_EQ(netpixLine(QStringLiteral("FUJI0002.txt")).section(u',', 2, 2), QStringLiteral("VD000000001"));
}

TEST(WorklistNotices, SentNoticeClosesItselfAndLoadingNoticeWaits)
{
    WorklistSentNotice sent;
    EXPECT_EQ(sent.closeDelay(), 4000);
    EXPECT_TRUE(sent.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    sent.setCloseDelay(20);
    QTimer::singleShot(2000, &sent, &QDialog::reject); // a safety net only
    EXPECT_EQ(sent.exec(), QDialog::Accepted);

    ViewerLoadingNotice loading;
    EXPECT_EQ(loading.messageLabel->text(),
        QStringLiteral("Veuillez patienter :  Chargement de l'image en cours..."));
    EXPECT_TRUE(loading.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    loading.show();
    QTest::qWait(50);
    EXPECT_TRUE(loading.isVisible());
}

// The console has the patient but the DICOM worklist folder cannot be made:
// said as such, and the sending still ends with its confirmation.
TEST_F(WorklistWindowTest, DicomWorklistFailureIsSaidAfterTheConsoleGotThePatient)
{
    pointAt(QStringLiteral("VexaConcept"));
    QFile blocker(netpix_.filePath(QStringLiteral("not-a-folder")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    appValues().dicomWorklistFolder = blocker.fileName() + QStringLiteral("/VEXAWL");
    ScriptedDialogService dialogs;
    WorklistWindow window(identities_);
    window.setSentNoticeDelay(30);
    window.show();
    typeNewPatient(window, QStringLiteral("01/02/1965"));
    clickSend(window);

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(dialogs.messages[0].text.contains(appValues().dicomWorklistFolder))
        << dialogs.messages[0].text.toStdString();
    EXPECT_EQ(noticeSeen_, QStringLiteral("Envoi vers la Worklist effectué"));
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_TRUE(QFile::exists(netpix_.filePath(QStringLiteral("FUJI0001.txt"))));
}

// A "\" or a control character pasted into a name would split or break the
// worklist's value: the window says so and sends nothing.
TEST_F(WorklistWindowTest, NameWithABackslashIsRefusedWithAFrenchMessage)
{
    pointAt(QStringLiteral("VexaConcept"));
    ScriptedDialogService dialogs;
    WorklistWindow window(identities_);
    window.setSentNoticeDelay(30);
    window.show();
    typeNewPatient(window, QStringLiteral("01/02/1965"));
    window.familyNameBox->setText(QStringLiteral("PE\\TIT"));
    clickSend(window);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, badCharacterText());
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(netpixFiles().isEmpty());
    EXPECT_EQ(window.focusWidget(), window.familyNameBox);
}

// A name typed over a filled patient's: the number goes with the patient only
// when the user says it is the same one; otherwise a new number is drawn.
TEST_F(WorklistWindowTest, ANewNameOverAFilledPatientKeepsItsNumberOnlyForTheSamePatient)
{
    addPatient(QStringLiteral("PAT-4711"), QStringLiteral("DURAND^MARIE"), QStringLiteral("F"),
        QStringLiteral("19650201"));
    struct Case {
        const char* what;
        MsgResult answer;
        QString sentNumber;
    };
    const Case cases[] = {
        {"another patient", MsgResult::No, QStringLiteral("VD000000001")},
        {"the same patient, name corrected", MsgResult::Yes, QStringLiteral("PAT-4711")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(netpix_.path()).removeRecursively();
        QDir().mkpath(netpix_.path());
        pointAt(QStringLiteral("PAT-4711"));
        ScriptedDialogService dialogs;
        dialogs.answerMessage(c.answer);
        WorklistWindow window(identities_);
        window.setSentNoticeDelay(30);
        window.show();
        window.familyNameBox->setText(QStringLiteral("DURANT"));
        clickSend(window);
        EXPECT_EQ(window.result(), QDialog::Accepted);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("même patient")));
        EXPECT_EQ(dialogs.messages[0].defaultButton, MsgResult::No);
        const QStringList files = netpixFiles();
        ASSERT_EQ(files.size(), 1);
        EXPECT_EQ(netpixLine(files[0]).section(u',', 0, 2), QStringLiteral("DURANT^MARIE,F,") + c.sentNumber);
    }
}
