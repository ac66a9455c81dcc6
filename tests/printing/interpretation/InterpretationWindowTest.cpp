// The interpretation window driven like a user on small exams (offscreen).
#include "printing/interpretation/InterpretationWindow.h"
#include "ScriptedDialogService.h"
#include "SheetTestExam.h"
#include "base/core/DialogService.h"
#include "viewer/view/DicomView.h"

#include <brixel/Button.h>

#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <gtest/gtest.h>

using namespace vexa;
using namespace vexa::test;

QT_BEGIN_NAMESPACE
inline void PrintTo(const QRect& r, std::ostream* out)
{
    *out << '(' << r.x() << ", " << r.y() << ' ' << r.width() << 'x' << r.height() << ')';
}
QT_END_NAMESPACE

namespace {

class InterpretationWindowTest : public ::testing::Test {
protected:
    // An exam of `count` images, its image query and the window opened on it.
    std::unique_ptr<InterpretationWindow> open(int count)
    {
        pacs_ = std::make_unique<PacsTestDb>(SqlBackend::Sqlite);
        EXPECT_TRUE(pacs_->ok()) << pacs_->error().toStdString();
        root_ = QTemporaryDir().path();
        images_ = std::make_unique<QTemporaryDir>();
        EXPECT_EQ(writeExam(*pacs_, images_->path(), numberedImages(count)), QString());
        auto window = std::make_unique<InterpretationWindow>(
            Exam{.seriesUid = ExamSeriesUid}, pacs_->path(), images_->path());
        window->resize(1200, 800);
        if (count > 0) {
            window->show();
            EXPECT_TRUE(QTest::qWaitFor([&] { return window->built(); }, 10000));
            settle(*window);
        }
        return window;
    }

    // A page's images are decoded on the worker threads: waits until the
    // page asked for last is shown.
    static void settle(InterpretationWindow& window)
    {
        EXPECT_TRUE(QTest::qWaitFor([&window] { return !window.loading(); }, 10000));
        QCoreApplication::processEvents();
    }

    static QWidget* slot(InterpretationWindow& window, int index) { return window.page()->slotView(index); }
    static bool showsImage(InterpretationWindow& window, int index, int image)
    {
        const DicomView* view = window.page()->slotView(index);
        return view && view->hasImage()
            && view->displayFile().endsWith(QStringLiteral("/PAT1/image_%1.dcm").arg(image));
    }

    std::unique_ptr<PacsTestDb> pacs_;
    std::unique_ptr<QTemporaryDir> images_;
    QString root_;
    ScriptedDialogService dialogs_;
};

TEST_F(InterpretationWindowTest, FirstPageFollowsTheImageCountAndPagesThroughTheExam)
{
    const struct {
        int images;
        PageShape shape;
        bool scrollBar;
    } cases[] = {{1, {1, 1}, false}, {5, {3, 2}, false}, {8, {4, 2}, false}, {13, {4, 2}, true}};
    for (const auto& c : cases) {
        const auto window = open(c.images);
        EXPECT_EQ(window->page()->sheet.shape(), c.shape) << c.images << " images";
        EXPECT_EQ(window->imagesPerPage(), c.shape.count());
        EXPECT_EQ(window->pageScrollBar()->isVisible(), c.scrollBar) << c.images << " images";
        EXPECT_TRUE(window->page()->isVisible());
        EXPECT_FALSE(window->waitingPanel()->isVisible()) << "the waiting panel is gone";
        for (int i = 1; i <= std::min(c.images, c.shape.count()); ++i)
            EXPECT_TRUE(showsImage(*window, i, i)) << c.images << " images, slot " << i;
        // Every slot is a square centred in its cell.
        EXPECT_EQ(slot(*window, 1)->width(), slot(*window, 1)->height());
        if (c.images == 5) {
            EXPECT_FALSE(window->page()->slotView(6)->hasImage()) << "the sixth slot stays empty";
        }
    }

    const auto window = open(13);
    EXPECT_EQ(window->pageScrollBar()->maximum(), 1);
    window->pageScrollBar()->setValue(1);
    settle(*window);
    for (int i = 1; i <= 5; ++i)
        EXPECT_TRUE(showsImage(*window, i, 8 + i)) << "slot " << i;
    for (int i = 6; i <= 8; ++i) {
        ASSERT_NE(window->page()->slotView(i), nullptr);
        EXPECT_FALSE(window->page()->slotView(i)->hasImage()) << "slot " << i;
    }
    // A portrait layout keeps the images per page and the scroll bar.
    QTest::mouseClick(window->layoutOption(PageOrientation::Portrait, 1), Qt::LeftButton);
    settle(*window);
    EXPECT_EQ(window->page()->sheet.shape(), (PageShape{1, 2}));
    EXPECT_EQ(window->imagesPerPage(), 8);
    EXPECT_TRUE(showsImage(*window, 1, 3)) << "two slots of page 2 start at image 3";
    EXPECT_EQ(window->pageScrollBar()->maximum(), 1);
}

// A click on the picture over a layout picks it.
TEST_F(InterpretationWindowTest, ClickOnALayoutsPicturePicksTheLayout)
{
    const auto window = open(4);
    const struct {
        const char* picture; // its object name
        PageOrientation orientation;
        int layout;
    } clicks[] = {{"Image3_1", PageOrientation::Portrait, 1}, {"Image4_0", PageOrientation::Landscape, 0}};
    for (const auto& c : clicks) {
        auto* picture = window->findChild<QLabel*>(QString::fromLatin1(c.picture));
        ASSERT_NE(picture, nullptr) << c.picture;
        QTest::mouseClick(picture, Qt::LeftButton);
        settle(*window);
        EXPECT_TRUE(window->layoutOption(c.orientation, c.layout)->isChecked()) << c.picture;
        EXPECT_EQ(window->page()->sheet.shape(), layoutShape(c.orientation, c.layout)) << c.picture;
    }
}

TEST_F(InterpretationWindowTest, RightClickEnlargesToThePageAndBackLeftClickNever)
{
    const auto window = open(4);
    QWidget* second = slot(*window, 2);
    const QRect before = second->geometry();
    QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(window->page()->sheet.selected(), 2);
    EXPECT_FALSE(window->enlarged());
    EXPECT_EQ(second->geometry(), before) << "a left click never enlarges";

    QTest::mouseClick(second, Qt::RightButton, {}, QPoint(5, 5));
    ASSERT_TRUE(window->enlarged());
    const QRect inner = window->page()->contentsRect();
    EXPECT_EQ(second->geometry(), inner.adjusted(2, 2, -2, -2))
        << "the page area less 30 twips on every side";
    QTest::mouseClick(second, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_FALSE(window->enlarged());
    EXPECT_EQ(second->geometry(), before);

    QTest::keyClick(window.get(), Qt::Key_Space);
    QTest::keyClick(window.get(), Qt::Key_Space);
    QTest::keyClick(window.get(), Qt::Key_Space);
    EXPECT_EQ(window->page()->sheet.selected(), 1) << "Space moves on and wraps after the last slot";
}

TEST_F(InterpretationWindowTest, ToolsInversionAndResetReachEverySlotUntilThePageChanges)
{
    const auto window = open(13);
    const auto tools = [&] {
        std::vector<int> found;
        for (int i = 1; i <= 8; ++i)
            found.push_back(window->page()->slotView(i)->pointerTool());
        return found;
    };
    EXPECT_EQ(tools(), std::vector<int>(8, 3)) << "new slots start with the magnifier";
    for (const int tool : {1, 5, 3}) {
        QTest::mouseClick(window->toolButton(tool), Qt::LeftButton);
        EXPECT_EQ(tools(), std::vector<int>(8, tool));
        for (const int other : InterpretationWindow::ToolButtons) {
            EXPECT_EQ(window->toolButton(other)->backColor(),
                other == tool ? InterpretationWindow::PressedToolColour : InterpretationWindow::ToolColour);
        }
    }
    QTest::mouseClick(window->toolButton(5), Qt::LeftButton);
    QTest::mouseClick(window->invertButton(), Qt::LeftButton);
    for (int i = 1; i <= 8; ++i)
        EXPECT_EQ(window->page()->slotView(i)->polarity(), -1) << "slot " << i;
    window->page()->slotView(3)->setZoomLevel(400);
    QTest::mouseClick(window->restoreButton(), Qt::LeftButton);
    EXPECT_TRUE(window->page()->slotView(3)->fitMode()) << "reset gives the image back its first display";

    window->pageScrollBar()->setValue(1);
    settle(*window);
    EXPECT_EQ(tools(), std::vector<int>(8, 3)) << "a page change starts every slot with the magnifier again";
    EXPECT_EQ(window->page()->slotView(1)->polarity(), 1);
}

// Holding the scroll bar's arrow pages faster than the images decode: the
// window ends on the page the scroll bar shows, every slot with that page's
// image, none left from a page passed over.
TEST_F(InterpretationWindowTest, HeldArrowEndsOnTheRightPageWithItsOwnImages)
{
    const auto window = open(72);
    QScrollBar* bar = window->pageScrollBar();
    ASSERT_EQ(bar->maximum(), 8);
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    const QRect arrow
        = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarAddLine, bar);
    ASSERT_FALSE(arrow.isEmpty());
    QTest::mousePress(bar, Qt::LeftButton, {}, arrow.center());
    QTest::qWait(900);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, arrow.center());
    settle(*window);
    const int page = bar->value();
    EXPECT_GE(page, 2) << "the arrow repeated while held";
    for (int slot = 1; slot <= 8; ++slot)
        EXPECT_TRUE(showsImage(*window, slot, 8 * page + slot)) << "page " << page << ", slot " << slot;
    EXPECT_EQ(window->page()->sheet.selected(), 1);
}

TEST_F(InterpretationWindowTest, ExamWithoutImagesClosesAtOnce)
{
    const auto window = open(0);
    EXPECT_EQ(window->imageCount(), 0);
    EXPECT_EQ(window->exec(), QDialog::Rejected);
    EXPECT_FALSE(window->isVisible());
}

// The window names its patient; the invert button keeps its icon while
// pressed; Escape and the close box ask before the images go.
TEST_F(InterpretationWindowTest, ShowsItsPatientAndAsksBeforeClosing)
{
    const auto window = open(2);
    EXPECT_EQ(window->patientLabel()->text(),
        QStringLiteral("Patient : DUPONT JEAN ; Date de l'examen : 15/03/2026"));
    EXPECT_TRUE(window->patientLabel()->isVisible());
    EXPECT_TRUE(window->windowTitle().contains(QStringLiteral("DUPONT JEAN")));
    QTest::mousePress(window->invertButton(), Qt::LeftButton);
    EXPECT_FALSE(window->invertButton()->shownPicture().isNull()) << "the sunk invert button keeps its icon";
    QTest::mouseRelease(window->invertButton(), Qt::LeftButton);

    const struct {
        bool escape; // else the close box
        MsgResult answer;
        bool stays;
    } cases[] = {{true, MsgResult::No, true}, {false, MsgResult::No, true}, {false, MsgResult::Yes, false}};
    for (const auto& c : cases) {
        window->show();
        dialogs_.answerMessage(c.answer);
        if (c.escape)
            QTest::keyClick(window.get(), Qt::Key_Escape);
        else
            window->close();
        EXPECT_EQ(window->isVisible(), c.stays) << c.escape;
    }
    ASSERT_EQ(dialogs_.messages.size(), 3u);
    EXPECT_EQ(dialogs_.messages[0].text, InterpretationWindow::CloseQuestion);
    EXPECT_EQ(dialogs_.messages[0].defaultButton, MsgResult::No);
    EXPECT_EQ(dialogs_.unexpected, 0);
}

} // namespace
