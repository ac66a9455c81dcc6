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
        pacs_.addPatient(QStringLiteral("P7"), QStringLiteral("ROUX^ANNE"));
        pacs_.addSeries(QStringLiteral("S7"), QStringLiteral("P7"), examDay, QStringLiteral("ST7"));
        pacs_.exec(QStringLiteral("INSERT INTO DICOMStudies (StudyInsta, PatientID) VALUES ('ST7', 'P7')"));
        images_ = pacs_.addImages(QStringLiteral("S7"), QStringLiteral("P7"), examDay, 3);
        pacs_.configure();
        ASSERT_EQ(started_.start(), StartupOutcome::Run);
        SearchPage& page1 = *started_.window.searchPage;
        page1.setDays(examDay, examDay);
        started_.window.sets.seriesByDate.findFirst(QStringLiteral("SeriesInst = 'S7'"));
        started_.window.openExamFromList(ExamList::ByDate);
        ASSERT_EQ(started_.window.page(), 2);
        actions_.runWindow = [](QDialog& window) {
            static_cast<DeleteImageDialog&>(window).yesButton->click();
            return window.result();
        };
    }

    QString stored(const QString& objectFile, const char* suffix = "") const
    {
        return pacs_.imageRoot() + objectFile + QString::fromLatin1(suffix);
    }

    QTemporaryDir locks_;
    PacsFixture pacs_;
    StartedWindow started_{locks_.path()};
    ExamActions actions_{started_.window.sets, &started_.window};
    QStringList images_;
};

TEST_F(ExamActionsOnScreen, DeletingAnImageRefillsThePageThumbnails)
{
    QFile(stored(images_[1], ".dgr")).open(QIODevice::WriteOnly);
    started_.window.examPage->thumbnailSlots[1]->clicked(images_[1]);
    ASSERT_EQ(started_.window.sets.examImages.currentRow(), 1);

    ASSERT_TRUE(
        actions_.deleteSelectedImage(started_.window.openedExam(), started_.window.examPage->thumbnails()));

    QString stem = stored(images_[1]);
    stem.chop(3);
    for (const QString& file : {stored(images_[1]), stored(images_[1], ".dgr"),
             stem + QStringLiteral(".jpeg"), stem + QStringLiteral(".jpg")})
        EXPECT_FALSE(QFileInfo::exists(file)) << file.toStdString();
    for (const QString& kept : {images_[0], images_[2]})
        EXPECT_TRUE(QFileInfo::exists(stored(kept))) << kept.toStdString();
    EXPECT_EQ(started_.window.sets.examImages.count(), 2);
    ExamPage& page2 = *started_.window.examPage;
    EXPECT_EQ(page2.thumbnailSlots[0]->tag(), images_[0]);
    EXPECT_EQ(page2.thumbnailSlots[1]->tag(), images_[2]);
    EXPECT_FALSE(page2.thumbnailSlots[1]->pixmap().isNull());
    EXPECT_EQ(page2.thumbnailSlots[2]->tag(), QString());
    EXPECT_TRUE(started_.dialogs.messages.empty());
}

TEST_F(ExamActionsOnScreen, AnExamJustReceivedIsKeptUntilConquestHasFinished)
{
    started_.dialogs.answerMessage(MsgResult::Yes);
    EXPECT_FALSE(actions_.deleteExam(started_.window.openedExam())); // its files were written a moment ago
    ASSERT_EQ(started_.dialogs.messages.size(), 2u);
    EXPECT_EQ(started_.dialogs.messages[1].text, ExamActions::StillReceivingText);
    EXPECT_TRUE(QFileInfo::exists(stored(images_[0])));

    actions_.now = [] { return QDateTime::currentDateTime().addSecs(60); };
    started_.dialogs.answerMessage(MsgResult::Yes);
    ASSERT_TRUE(actions_.deleteExam(started_.window.openedExam()));
    started_.window.selectPage(1);

    EXPECT_EQ(started_.window.page(), 1);
    EXPECT_EQ(started_.dialogs.messages.size(), 3u);
    for (const QString& image : images_)
        EXPECT_FALSE(QFileInfo::exists(stored(image))) << image.toStdString();
    started_.window.dateSearch();
    EXPECT_EQ(started_.window.sets.seriesByDate.count(), 0);
}

} // namespace
