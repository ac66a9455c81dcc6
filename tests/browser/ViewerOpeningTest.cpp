// The image viewer opened from the exam page on a generated database: the
// gestures that open it, the monitor paused meanwhile, and a single image
// printed in the viewer marked printed by the main window.
#include "PacsFixture.h"

#include "base/core/AppValues.h"
#include "browser/ExamPage.h"
#include "browser/SearchPage.h"
#include "pacsdb/ImageFiles.h"
#include "pacsdb/QueryCatalogue.h"
#include "viewer/view/DicomView.h"
#include "viewer/window/ViewerLoadingNotice.h"
#include "viewer/window/ViewerWindow.h"

#include <brixel/Button.h>

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::test;

namespace {

const QDate examDay(2024, 1, 10);

// What the test saw while the viewer was open.
struct ViewerSeen {
    bool ran = false;
    QString imagePath; // the image shown
    std::optional<ViewerRequest::Start> start; // how the viewer was asked to start
    bool hasImage = false;
    bool navigationShown = false;
    int surveyInterval = -1;
    bool surveyActive = true;
    bool blocksMainWindow = false;
    bool loadingNoticeVisible = false;
};

brixel::Button* viewerButton(ViewerWindow& viewer, const QString& name)
{
    for (auto* button : viewer.findChildren<brixel::Button*>()) {
        if (button->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return button;
    }
    return nullptr;
}

// Counts the times a widget of that object name is shown.
struct ShowCounter : QObject {
    explicit ShowCounter(const QString& objectName)
        : name(objectName)
    {
        qApp->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->objectName() == name)
            ++count;
        return false;
    }
    QString name;
    int count = 0;
};

class ViewerOpeningTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        pacs_.addPatient(QStringLiteral("P20"), QStringLiteral("MARTIN^LUC"));
        pacs_.addSeries(QStringLiteral("S20"), QStringLiteral("P20"), examDay, QStringLiteral("ST20"));
        images_ = pacs_.addImages(QStringLiteral("S20"), QStringLiteral("P20"), examDay, 3);
        pacs_.configure();
        ASSERT_EQ(started_.start(), StartupOutcome::Run);
        // The real viewer, with the request it was opened with noted.
        window().runViewer = [this](const ViewerRequest& request, RecordSet* images) {
            requested_ = request;
            ViewerWindow viewer(request, images, &window());
            viewer.exec();
            return viewer.outcome();
        };
        window().show();
        window().searchPage->setDays(examDay, examDay);
        window().openExamFromList(ExamList::ByDate);
        ASSERT_EQ(window().page(), 2);
    }

    MainWindow& window() { return started_.window; }
    ExamPage& page2() { return *started_.window.examPage; }

    // Once the viewer's modal loop runs and its image is decoded:
    // notes what it shows and how the monitor stands, runs `act`, then closes
    // the viewer if `act` did not.
    std::shared_ptr<ViewerSeen> whenViewerRuns(std::function<void(ViewerWindow&)> act = {})
    {
        auto seen = std::make_shared<ViewerSeen>();
        QObject::disconnect(&viewerPoll_, nullptr, nullptr, nullptr);
        QObject::connect(&viewerPoll_, &QTimer::timeout, [this, seen, act] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* viewer = qobject_cast<ViewerWindow*>(top);
                if (!viewer || !viewer->isVisible() || QThread::currentThread()->loopLevel() == 0
                    || viewer->loading())
                    continue;
                viewerPoll_.stop();
                note(*viewer, *seen);
                if (act)
                    act(*viewer);
                if (viewer->isVisible())
                    viewer->close();
                return;
            }
        });
        viewerPoll_.start(10);
        return seen;
    }

    void note(ViewerWindow& viewer, ViewerSeen& seen)
    {
        seen.ran = true;
        seen.imagePath = viewer.imagePath();
        seen.start = requested_.start;
        EXPECT_EQ(requested_.exam.seriesUid, QStringLiteral("S20"));
        seen.hasImage = viewer.display()->hasImage();
        seen.navigationShown = viewerButton(viewer, QStringLiteral("Button10"))->isVisibleTo(&viewer);
        seen.surveyInterval = window().surveyInterval();
        seen.surveyActive = window().monitorTimer.isActive();
        for (QWidget* top : QApplication::topLevelWidgets())
            seen.loadingNoticeVisible |= qobject_cast<ViewerLoadingNotice*>(top) && top->isVisible();
        seen.blocksMainWindow = QApplication::activeModalWidget() == &viewer;
    }

    // The printed flag and print date of image `n` as stored.
    std::pair<bool, QDate> storedPrint(int n)
    {
        RecordSet check;
        check.setDatabasePath(pacs_.databasePath());
        check.setRecordSource(sql::imagesOfSeries(QStringLiteral("S20")));
        EXPECT_TRUE(check.requery());
        check.goTo(n);
        return {check.fieldBool(QStringLiteral("Printed")), check.fieldDate(QStringLiteral("PrintDate"))};
    }

    QString gridPrinted(int row)
    {
        const QAbstractItemModel* model = page2().imageGrid->model();
        return model->data(model->index(row, 1)).toString();
    }

    QTemporaryDir locks_;
    QTemporaryDir pdf_;
    PacsFixture pacs_;
    StartedWindow started_{locks_.path()};
    QStringList images_;
    ViewerRequest requested_;
    QTimer viewerPoll_; // stops with the test, so it never reaches another one
};

} // namespace

TEST_F(ViewerOpeningTest, ThumbnailDoubleClickShowsThatImageAloneWhileTheMonitorWaits)
{
    window().selectPage(1);
    window().selectPage(2); // the monitor stopped by the page, to see it resumed after the viewer
    ASSERT_EQ(window().surveyInterval(), 0);
    started_.dialogs.answerMessage(MsgResult::Yes); // "Voulez-vous quitter le visualisateur ?"
    const auto seen = whenViewerRuns([](ViewerWindow& viewer) { QTest::keyClick(&viewer, Qt::Key_Escape); });
    // The loading notice shows before the viewer, and the viewer's start closes it.
    ShowCounter loadingNoticeShown(QStringLiteral("ViewerLoadingNotice"));
    QTest::mouseDClick(page2().thumbnailSlots[2], Qt::LeftButton);

    EXPECT_EQ(loadingNoticeShown.count, 1);
    ASSERT_TRUE(seen->ran);
    EXPECT_FALSE(seen->loadingNoticeVisible);
    EXPECT_EQ(seen->imagePath, pacs_.imageRoot() + images_[2]);
    EXPECT_EQ(seen->start, ViewerRequest::Start::SingleFile);
    EXPECT_TRUE(seen->hasImage);
    EXPECT_FALSE(seen->navigationShown);
    EXPECT_EQ(seen->surveyInterval, 0);
    EXPECT_FALSE(seen->surveyActive);
    EXPECT_TRUE(seen->blocksMainWindow);
    ASSERT_EQ(started_.dialogs.messages.size(), 1u);
    EXPECT_EQ(started_.dialogs.messages[0].text, QStringLiteral("Voulez-vous quitter le visualisateur ?"));

    EXPECT_EQ(window().sets.examImages.currentRow(), 2);
    EXPECT_EQ(window().surveyInterval(), appValues().monitorInterval);
    EXPECT_TRUE(window().monitorTimer.isActive());
    EXPECT_EQ(storedPrint(2).first, false); // viewed, not printed
}

TEST_F(ViewerOpeningTest, EmptyThumbnailShowsNothing)
{
    const auto seen = whenViewerRuns();
    QTest::mouseDClick(page2().thumbnailSlots[9], Qt::LeftButton); // three images: slot 9 is empty
    QTest::qWait(50);
    EXPECT_FALSE(seen->ran);
    EXPECT_EQ(window().sets.examImages.currentRow(), 0);
}

TEST_F(ViewerOpeningTest, ASingleImagePrintedInTheViewerIsMarkedPrintedInTheDatabaseAndTheGrid)
{
    BoundGrid& grid = *page2().imageGrid;
    const QPoint row1 = grid.visualRect(grid.model()->index(1, 0)).center();
    struct Case {
        bool print;
        bool marked;
    };
    for (const Case c : {Case{false, false}, Case{true, true}}) {
        const auto seen = whenViewerRuns([&](ViewerWindow& viewer) {
            if (!c.print)
                return;
            viewer.picturePrinter().setInstalledPrinters(QStringList());
            viewer.picturePrinter().setPdfFolder(pdf_.path());
            QTest::mouseClick(viewerButton(viewer, QStringLiteral("Button7")), Qt::LeftButton);
        });
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, row1); // a view wants the press first
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, row1);

        ASSERT_TRUE(seen->ran) << c.print;
        EXPECT_EQ(seen->imagePath, pacs_.imageRoot() + images_[1]);
        EXPECT_EQ(seen->start, ViewerRequest::Start::SingleFile);
        const auto [printed, when] = storedPrint(1);
        EXPECT_EQ(printed, c.marked) << c.print;
        EXPECT_EQ(when, c.marked ? QDate::currentDate() : QDate()) << c.print;
        EXPECT_EQ(gridPrinted(1), c.marked ? QStringLiteral("Oui") : QStringLiteral("Non"));
        EXPECT_EQ(window().sets.examImages.currentRow(), 1);
    }
    EXPECT_FALSE(storedPrint(0).first);
    EXPECT_FALSE(storedPrint(2).first);
    EXPECT_FALSE(QDir(pdf_.path()).isEmpty()); // the page went somewhere
}

TEST_F(ViewerOpeningTest, ViewExamButtonAndEnterShowTheSeriesFromItsFirstImage)
{
    const std::function<void()> gestures[] = {
        [this] { QTest::mouseClick(page2().viewExamButton, Qt::LeftButton); },
        [this] { QTest::keyClick(page2().imageGrid, Qt::Key_Return); },
    };
    for (const auto& gesture : gestures) {
        window().sets.examImages.goTo(2);
        const auto seen = whenViewerRuns([](ViewerWindow& viewer) {
            QTest::mouseClick(viewerButton(viewer, QStringLiteral("Button10")), Qt::LeftButton);
        });
        gesture();

        ASSERT_TRUE(seen->ran);
        EXPECT_EQ(seen->imagePath, pacs_.imageRoot() + images_[0]);
        EXPECT_EQ(seen->start, ViewerRequest::Start::FirstImage);
        EXPECT_TRUE(seen->navigationShown);
        EXPECT_EQ(seen->surveyInterval, 0);
        EXPECT_EQ(window().sets.examImages.currentRow(), 0); // back to the first image
        EXPECT_EQ(window().surveyInterval(), appValues().monitorInterval);
        EXPECT_EQ(window().page(), 2);
    }
}
