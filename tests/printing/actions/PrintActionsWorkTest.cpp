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
        ASSERT_EQ(openAndUpgrade(pacs().path()), QString());
        appValues().conquestPath = pacs().path();
        appValues().conquestImagePath = QStringLiteral("/store/");
        pacs().insertPatient(QStringLiteral("PA"), QStringLiteral("ALPHA^ANNE"));
        pacs().insertPatient(QStringLiteral("PB"), QStringLiteral("BRAVO^BRUNO"));
        for (const char* series : {"SA", "SB"})
            pacs().insertSeries(
                QString::fromLatin1(series), QStringLiteral("P") + QLatin1Char(series[1]), Day);
        for (const char* image : {"A1", "A2", "A3"})
            pacs().insertImage(QString::fromLatin1(image), QStringLiteral("SA"), QStringLiteral("PA"), Day);
        for (const char* image : {"B1", "B2"})
            pacs().insertImage(QString::fromLatin1(image), QStringLiteral("SB"), QStringLiteral("PB"), Day);
        sets_.setDatabasePath(pacs().path());
        showOnPage2(QStringLiteral("SA"));
        actions_.printPage = [this](const PrintActions::Page& page) {
            {
                QMutexLocker lock(&printedMutex_);
                printedPaths_ << page.imagePath;
            }
            if (pause_)
                pause_->pause();
            return true;
        };
    }

    void showOnPage2(const QString& series)
    {
        sets_.examImages.setRecordSource(sql::imagesOfSeries(series));
        ASSERT_TRUE(sets_.examImages.requery());
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

    const Exam examA_{QStringLiteral("SA"), {}, QStringLiteral("PA"), QStringLiteral("ALPHA ANNE"), {}};
    const Exam examB_{QStringLiteral("SB"), {}, QStringLiteral("PB"), QStringLiteral("BRAVO BRUNO"), {}};
    ScriptedDialogService dialogs_;
    MainRecordSets sets_;
    PrintActions actions_{sets_};
    std::unique_ptr<WorkPause> pause_;
    QMutex printedMutex_;
    QStringList printedPaths_;
};

TEST_P(PrintActionsWork, InputDuringThePagesChangesNothingTheyFinishOn)
{
    bool workerThread = false;
    pause_ = std::make_unique<WorkPause>([&] {
        workerThread = backgroundWorkRunning();
        showOnPage2(QStringLiteral("SB")); // another exam opened on page 2
        actions_.printExamAutomatically(examB_); // a second start: refused
        // Another workstation deletes the exam's last image meanwhile.
        pacs().exec(QStringLiteral("DELETE FROM DICOMImages WHERE SOPInstanc = 'A3'"));
    });
    actions_.printExamAutomatically(examA_);

    ASSERT_TRUE(pause_->delivered()) << "the pages let no input through";
    EXPECT_TRUE(workerThread);
    EXPECT_EQ(
        printedPaths_, QStringList({QStringLiteral("/store/PA/A1.v2"), QStringLiteral("/store/PA/A2.v2")}))
        << "A's pages only, and not the image deleted meanwhile";
    EXPECT_EQ(printedImages(), QStringList({QStringLiteral("A1"), QStringLiteral("A2")}));
    EXPECT_TRUE(dialogs_.messages.empty());
    EXPECT_EQ(sets_.examImages.fieldText(QStringLiteral("SeriesInst")), QStringLiteral("SB"))
        << "page 2's rows are left to the exam it shows";
}

// Without a printer the pages go into one PDF; "Annuler" in the waiting
// window stops after the current page: the file keeps the pages done, they
// alone are marked, and one message names the file.
TEST_P(PrintActionsWork, CancelledPdfKeepsAndMarksThePagesDone)
{
    const QTemporaryDir pdfs;
    actions_.installedPrinters = QStringList{};
    actions_.pdfFolder = pdfs.path();
    actions_.printPage = [this](const PrintActions::Page& page) {
        QImage picture(40, 60, QImage::Format_RGB32);
        picture.fill(Qt::gray);
        PicturePrinter printer;
        printer.setPicture(picture);
        const bool added = page.book && page.book->add(printer);
        pause_->pause();
        return added;
    };
    pause_ = std::make_unique<WorkPause>([] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* cancel = window->findChild<QPushButton*>(QStringLiteral("CancelButton")))
                cancel->click();
        }
    });
    dialogs_.answerMessage(MsgResult::Ok);
    actions_.printExamAutomatically(examA_);

    ASSERT_TRUE(pause_->delivered());
    EXPECT_EQ(printedImages(), QStringList{QStringLiteral("A1")});
    const QStringList files = QDir(pdfs.path()).entryList({QStringLiteral("*.pdf")}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files[0].startsWith(QStringLiteral("Examen ALPHA ANNE "))) << files[0].toStdString();
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text,
        PrintActions::ExamPdfText.arg(1) + QDir::toNativeSeparators(QDir(pdfs.path()).filePath(files[0])));
    EXPECT_EQ(dialogs_.unexpected, 0);
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
        printedPaths_.clear();
        dialogs_.messages.clear();
        dialogs_.answerMessage(c.answer);
        actions_.printExamAutomatically(examA_);
        EXPECT_EQ(printedPaths_, c.pages);
        ASSERT_EQ(dialogs_.messages.size(), 1u);
        EXPECT_EQ(dialogs_.messages[0].text, PrintActions::AlreadyPrintedQuestion);
    }
}

TEST_P(PrintActionsWork, AnExamDeletedElsewhereIsRefusedAndNothingIsPrinted)
{
    pacs().exec(QStringLiteral("DELETE FROM DICOMImages WHERE SeriesInst = 'SA'"));
    pacs().exec(QStringLiteral("DELETE FROM DICOMSeries WHERE SeriesInst = 'SA'"));
    int windows = 0;
    actions_.runWindow = [&windows](QDialog&) { return ++windows; };
    for (const auto& start : std::vector<std::function<void()>>{
             [&] { actions_.printExamAutomatically(examA_); }, [&] { actions_.openPrintSheet(examA_); }}) {
        dialogs_.messages.clear();
        start();
        ASSERT_EQ(dialogs_.messages.size(), 1u);
        EXPECT_EQ(dialogs_.messages[0].text, examDeletedElsewhereText());
    }
    EXPECT_TRUE(printedPaths_.isEmpty());
    EXPECT_EQ(windows, 0);
    EXPECT_TRUE(printedImages().isEmpty());
}

VEXA_BACKENDS(PrintActionsWork);

} // namespace
