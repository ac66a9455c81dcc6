// The deleting actions on the main window itself, on a generated PACS: the
// exam opened from page 1, the image deleted with the thumbnails of page 2
// refilled, and the exam deleted once Conquest has finished receiving it.
#include "PacsFixture.h"

#include "browser/ExamPage.h"
#include "browser/SearchPage.h"
#include "browser/actions/ExamActions.h"
#include "viewer/window/DeleteImageDialog.h"

#include <QDateEdit>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::test;

namespace {

const QDate examDay(2024, 3, 5);

class ExamActionsOnScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        pacs.addPatient(QStringLiteral("P7"), QStringLiteral("ROUX^ANNE"));
        pacs.addSeries(QStringLiteral("S7"), QStringLiteral("P7"), examDay, QStringLiteral("ST7"));
        pacs.exec(QStringLiteral("INSERT INTO DICOMStudies (StudyInsta, PatientID) VALUES ('ST7', 'P7')"));
        images = pacs.addImages(QStringLiteral("S7"), QStringLiteral("P7"), examDay, 3);
        pacs.configure();
        ASSERT_EQ(started.start(), StartupOutcome::Run);
        SearchPage& page1 = *started.window.searchPage;
        page1.setDays(examDay, examDay);
        started.window.sets.seriesByDate.findFirst(QStringLiteral("SeriesInst = 'S7'"));
        started.window.OpenExamFromList(ExamList::ByDate);
        ASSERT_EQ(started.window.page(), 2);
        actions.runWindow = [](QDialog& window) {
            static_cast<DeleteImageDialog&>(window).yesButton->click();
            return window.result();
        };
    }

    QString stored(const QString& objectFile, const char* suffix = "") const
    {
        return pacs.imageRoot() + objectFile + QString::fromLatin1(suffix);
    }

    QTemporaryDir locks;
    PacsFixture pacs;
    StartedWindow started{locks.path()};
    ExamActions actions{started.window.sets, &started.window};
    QStringList images;
};

TEST_F(ExamActionsOnScreen, DeletingAnImageRefillsThePageThumbnails)
{
    QFile(stored(images[1], ".dgr")).open(QIODevice::WriteOnly);
    started.window.examPage->Thumbnails[1]->clicked(images[1]);
    ASSERT_EQ(started.window.sets.examImages.currentRow(), 1);

    ASSERT_TRUE(
        actions.deleteSelectedImage(started.window.openedExam(), started.window.examPage->thumbnails()));

    QString stem = stored(images[1]);
    stem.chop(3);
    for (const QString& file : {stored(images[1]), stored(images[1], ".dgr"), stem + QStringLiteral(".jpeg"),
             stem + QStringLiteral(".jpg")})
        EXPECT_FALSE(QFileInfo::exists(file)) << file.toStdString();
    for (const QString& kept : {images[0], images[2]})
        EXPECT_TRUE(QFileInfo::exists(stored(kept))) << kept.toStdString();
    EXPECT_EQ(started.window.sets.examImages.count(), 2);
    ExamPage& page2 = *started.window.examPage;
    EXPECT_EQ(page2.Thumbnails[0]->tag(), images[0]);
    EXPECT_EQ(page2.Thumbnails[1]->tag(), images[2]);
    EXPECT_FALSE(page2.Thumbnails[1]->pixmap().isNull());
    EXPECT_EQ(page2.Thumbnails[2]->tag(), QString());
    EXPECT_TRUE(started.dialogs.messages.empty());
}

TEST_F(ExamActionsOnScreen, AnExamJustReceivedIsKeptUntilConquestHasFinished)
{
    started.dialogs.answerMessage(MsgResult::Yes);
    EXPECT_FALSE(actions.deleteExam(started.window.openedExam())); // its files were written a moment ago
    ASSERT_EQ(started.dialogs.messages.size(), 2u);
    EXPECT_EQ(started.dialogs.messages[1].text, ExamActions::StillReceivingText);
    EXPECT_TRUE(QFileInfo::exists(stored(images[0])));

    actions.now = [] { return QDateTime::currentDateTime().addSecs(60); };
    started.dialogs.answerMessage(MsgResult::Yes);
    ASSERT_TRUE(actions.deleteExam(started.window.openedExam()));
    started.window.SelectPage(1);

    EXPECT_EQ(started.window.page(), 1);
    EXPECT_EQ(started.dialogs.messages.size(), 3u);
    for (const QString& image : images)
        EXPECT_FALSE(QFileInfo::exists(stored(image))) << image.toStdString();
    started.window.DateSearch();
    EXPECT_EQ(started.window.sets.seriesByDate.count(), 0);
}

} // namespace
