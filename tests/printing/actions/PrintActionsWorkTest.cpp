// Printing an exam automatically on both database engines, the pages made on
// a worker: input while the pages print (page 2 moved to another exam, the
// same print started again, an image deleted by another workstation), the
// printed marks written on the exam the print started on only, and an exam
// deleted elsewhere refused.
#include "PacsTestDb.h"
#include "ScriptedDialogService.h"
#include "WorkPause.h"
#include "base/core/AppValues.h"
#include "base/core/DialogService.h"
#include "base/ui/BackgroundWork.h"
#include "output/picture/PicturePrinter.h"
#include "pacsdb/ExamChecks.h"
#include "pacsdb/MainRecordSets.h"
#include "pacsdb/PacsUpgrade.h"
#include "pacsdb/QueryCatalogue.h"
#include "printing/actions/PrintActions.h"

#include <QApplication>
#include <QDir>
#include <QMutex>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::test;

namespace {

const QString Day = QStringLiteral("20260314");

class PrintActionsWork : public BackendTest {
protected:
    void SetUp() override
    {
        BackendTest::SetUp();
        ASSERT_EQ(OpenAndUpgrade(pacs().path()), QString());
        appValues().ConquestPath = pacs().path();
        appValues().ConquestImagePath = QStringLiteral("/store/");
        pacs().insertPatient(QStringLiteral("PA"), QStringLiteral("ALPHA^ANNE"));
        pacs().insertPatient(QStringLiteral("PB"), QStringLiteral("BRAVO^BRUNO"));
        for (const char* series : {"SA", "SB"})
            pacs().insertSeries(
                QString::fromLatin1(series), QStringLiteral("P") + QLatin1Char(series[1]), Day);
        for (const char* image : {"A1", "A2", "A3"})
            pacs().insertImage(QString::fromLatin1(image), QStringLiteral("SA"), QStringLiteral("PA"), Day);
        for (const char* image : {"B1", "B2"})
            pacs().insertImage(QString::fromLatin1(image), QStringLiteral("SB"), QStringLiteral("PB"), Day);
        sets.setDatabasePath(pacs().path());
        showOnPage2(QStringLiteral("SA"));
        actions.printPage = [this](const PrintActions::Page& page) {
            {
                QMutexLocker lock(&printedMutex);
                printedPaths << page.imagePath;
            }
            if (pause)
                pause->pause();
            return true;
        };
    }

    void showOnPage2(const QString& series)
    {
        sets.examImages.setRecordSource(Sql::ImagesOfSeries(series));
        ASSERT_TRUE(sets.examImages.requery());
    }

    QStringList printedImages()
    {
        QStringList images;
        RecordSet rows;
        rows.setDatabasePath(pacs().path());
        rows.setRecordSource(
            QStringLiteral("SELECT * FROM DICOMImages WHERE Printed <> 0 ORDER BY SOPInstanc"));
        EXPECT_TRUE(rows.requery());
        for (rows.moveFirst(); !rows.eof(); rows.moveNext())
            images << rows.fieldText(QStringLiteral("SOPInstanc"));
        return images;
    }

    const Exam examA{QStringLiteral("SA"), {}, QStringLiteral("PA"), QStringLiteral("ALPHA ANNE"), {}};
    const Exam examB{QStringLiteral("SB"), {}, QStringLiteral("PB"), QStringLiteral("BRAVO BRUNO"), {}};
    ScriptedDialogService dialogs;
    MainRecordSets sets;
    PrintActions actions{sets};
    std::unique_ptr<WorkPause> pause;
    QMutex printedMutex;
    QStringList printedPaths;
};

TEST_P(PrintActionsWork, InputDuringThePagesChangesNothingTheyFinishOn)
{
    bool workerThread = false;
    pause = std::make_unique<WorkPause>([&] {
        workerThread = BackgroundWorkRunning();
        showOnPage2(QStringLiteral("SB")); // another exam opened on page 2
        actions.printExamAutomatically(examB); // a second start: refused
        // Another workstation deletes the exam's last image meanwhile.
        pacs().exec(QStringLiteral("DELETE FROM DICOMImages WHERE SOPInstanc = 'A3'"));
    });
    actions.printExamAutomatically(examA);

    ASSERT_TRUE(pause->delivered()) << "the pages let no input through";
    EXPECT_TRUE(workerThread);
    EXPECT_EQ(
        printedPaths, QStringList({QStringLiteral("/store/PA/A1.v2"), QStringLiteral("/store/PA/A2.v2")}))
        << "A's pages only, and not the image deleted meanwhile";
    EXPECT_EQ(printedImages(), QStringList({QStringLiteral("A1"), QStringLiteral("A2")}));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(sets.examImages.fieldText(QStringLiteral("SeriesInst")), QStringLiteral("SB"))
        << "page 2's rows are left to the exam it shows";
}

// Without a printer the pages go into one PDF; "Annuler" in the waiting
// window stops after the current page: the file keeps the pages done, they
// alone are marked, and one message names the file.
TEST_P(PrintActionsWork, CancelledPdfKeepsAndMarksThePagesDone)
{
    const QTemporaryDir pdfs;
    actions.installedPrinters = QStringList{};
    actions.pdfFolder = pdfs.path();
    actions.printPage = [this](const PrintActions::Page& page) {
        QImage picture(40, 60, QImage::Format_RGB32);
        picture.fill(Qt::gray);
        PicturePrinter printer;
        printer.setPicture(picture);
        const bool added = page.book && page.book->add(printer);
        pause->pause();
        return added;
    };
    pause = std::make_unique<WorkPause>([] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* cancel = window->findChild<QPushButton*>(QStringLiteral("CancelButton")))
                cancel->click();
        }
    });
    dialogs.answerMessage(MsgResult::Ok);
    actions.printExamAutomatically(examA);

    ASSERT_TRUE(pause->delivered());
    EXPECT_EQ(printedImages(), QStringList{QStringLiteral("A1")});
    const QStringList files = QDir(pdfs.path()).entryList({QStringLiteral("*.pdf")}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files[0].startsWith(QStringLiteral("Examen ALPHA ANNE "))) << files[0].toStdString();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
        PrintActions::ExamPdfText.arg(1) + QDir::toNativeSeparators(QDir(pdfs.path()).filePath(files[0])));
    EXPECT_EQ(dialogs.unexpected, 0);
}

TEST_P(PrintActionsWork, AnExamPrintedBeforeAsksOnceAndNoPrintsOnlyThePagesBeforeIt)
{
    pacs().exec(QStringLiteral("UPDATE DICOMImages SET Printed = -1 WHERE SOPInstanc = 'A2'"));
    struct Case {
        MsgResult answer;
        QStringList pages;
    };
    for (const Case& c : {Case{MsgResult::No, {QStringLiteral("/store/PA/A1.v2")}},
             Case{MsgResult::Yes,
                 {QStringLiteral("/store/PA/A1.v2"), QStringLiteral("/store/PA/A2.v2"),
                     QStringLiteral("/store/PA/A3.v2")}}}) {
        printedPaths.clear();
        dialogs.messages.clear();
        dialogs.answerMessage(c.answer);
        actions.printExamAutomatically(examA);
        EXPECT_EQ(printedPaths, c.pages);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text, PrintActions::AlreadyPrintedQuestion);
    }
}

TEST_P(PrintActionsWork, AnExamDeletedElsewhereIsRefusedAndNothingIsPrinted)
{
    pacs().exec(QStringLiteral("DELETE FROM DICOMImages WHERE SeriesInst = 'SA'"));
    pacs().exec(QStringLiteral("DELETE FROM DICOMSeries WHERE SeriesInst = 'SA'"));
    int windows = 0;
    actions.runWindow = [&windows](QDialog&) { return ++windows; };
    for (const auto& start : std::vector<std::function<void()>>{
             [&] { actions.printExamAutomatically(examA); }, [&] { actions.openPrintSheet(examA); }}) {
        dialogs.messages.clear();
        start();
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text, ExamDeletedElsewhereText());
    }
    EXPECT_TRUE(printedPaths.isEmpty());
    EXPECT_EQ(windows, 0);
    EXPECT_TRUE(printedImages().isEmpty());
}

VEXA_BACKENDS(PrintActionsWork);

} // namespace
