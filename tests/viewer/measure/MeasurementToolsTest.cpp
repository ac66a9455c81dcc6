// The measuring tools driven by panel choices and mouse events, in image pixels.
#include "ScriptedDialogService.h"
#include "base/core/DialogService.h"
#include "viewer/measure/DgrFile.h"
#include "viewer/measure/MeasurementController.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vexa;
using Command = MeasurementController::PanelCommand;

namespace {

class MeasurementTools : public ::testing::Test {
protected:
    MeasurementTools()
    {
        tools_.setLocale(QLocale(QLocale::French, QLocale::France));
        tools_.setImage(QSize(100, 80), {0.5, 0.5, SpacingOrigin::Patient});
    }

    void clickAt(std::initializer_list<QPointF> points)
    {
        for (const QPointF& p : points) {
            tools_.move(p, Qt::NoButton);
            ASSERT_FALSE(tools_.press(p, Qt::LeftButton));
            tools_.move(p, Qt::LeftButton);
            ASSERT_FALSE(tools_.release(p, Qt::LeftButton));
            tools_.click(p, Qt::LeftButton);
        }
    }

    const SceneGraphic* shown(int index) { return tools_.scene().graphic(index); }

    ScriptedDialogService dialogs_;
    MeasurementController tools_;
};

MeasurementRecord record(MeasurementKind kind, std::array<int16_t, 8> p, const char* label)
{
    MeasurementRecord r;
    r.kind = kind;
    r.x1 = p[0], r.y1 = p[1], r.x2 = p[2], r.y2 = p[3], r.x3 = p[4], r.y3 = p[5], r.x4 = p[6], r.y4 = p[7];
    r.label = QString::fromUtf8(label);
    return r;
}

} // namespace

TEST_F(MeasurementTools, EachToolPlacesItsPointsAndLabel)
{
    struct Case {
        Command command;
        std::vector<QPointF> clicks;
        MeasurementRecord expected;
        MeasureTool toolAfter;
    };
    const Case cases[] = {
        {Command::Distance, {{0, 0}, {3.4, 4.5}}, record(MeasurementKind::Distance, {0, 0, 3, 4}, "2,50 mm"),
            MeasureTool::Distance},
        {Command::Distance, {{7, 7}, {7, 7}}, record(MeasurementKind::Distance, {7, 7, 7, 7}, "0,00 mm"),
            MeasureTool::Distance},
        {Command::VertexAngle, {{110, 105}, {100, 100}, {97, 107}},
            record(MeasurementKind::VertexAngle, {110, 105, 100, 100, 100, 100, 97, 107}, " 86,63 ° "),
            MeasureTool::VertexAngle},
        {Command::LinesAngle, {{10, 10}, {0, 0}, {0, 10}, {10, 0}},
            record(MeasurementKind::LinesAngle, {10, 10, 0, 0, 0, 10, 10, 0}, " 90,00 ° "),
            MeasureTool::LinesAngle},
        {Command::HeightDifference, {{10, 20}, {55, 60}},
            record(MeasurementKind::HeightDifference, {10, 20, 10, 60}, "20,00 mm"), MeasureTool::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected.label.toStdString());
        tools_.graphics().deleteAllGraphics();
        ASSERT_TRUE(tools_.choose(c.command));
        EXPECT_EQ(tools_.state().currentSlot, 1);
        for (size_t i = 0; i < c.clicks.size(); ++i) {
            EXPECT_EQ(tools_.state().step, int(i));
            clickAt({c.clicks[i]});
        }
        EXPECT_EQ(tools_.table()[1], c.expected);
        EXPECT_EQ(tools_.state().step, 0);
        EXPECT_EQ(tools_.state().tool, c.toolAfter);
        EXPECT_EQ(tools_.state().currentSlot, 2);
        ASSERT_TRUE(shown(1) && shown(1)->text);
        EXPECT_EQ(shown(1)->text->text, c.expected.label);
    }
}

TEST_F(MeasurementTools, DistanceShowsARubberBandThenItsSegmentAndHandles)
{
    tools_.choose(Command::Distance);
    clickAt({{10, 10}});
    tools_.move({20, 5}, Qt::NoButton);
    const auto& band = shown(1)->segments[0];
    ASSERT_TRUE(band);
    EXPECT_EQ(band->to, ScenePoint::at({20, 5}, {4, -1})); // kept off the pointer
    clickAt({{20, 5}});
    EXPECT_EQ(shown(1)->segments[0]->to, ScenePoint::at({20, 5}));
    EXPECT_EQ(tools_.scene().handle({1, HandleArray::L11})->tag, QStringLiteral("1_1"));
    EXPECT_EQ(tools_.scene().handle({1, HandleArray::L12})->tag, QStringLiteral("1_2"));
    EXPECT_EQ(tools_.cursor(), Qt::CrossCursor); // distance stays armed
}

TEST_F(MeasurementTools, HeightDifferenceDrawsItsGuidesToTheImageEdge)
{
    tools_.choose(Command::HeightDifference);
    tools_.move({30, 40}, Qt::NoButton);
    EXPECT_EQ(shown(1)->segments[0]->from, ScenePoint::displayLeft(40));
    clickAt({{30, 40}, {70, 10}});
    const SceneGraphic& g = *shown(1);
    EXPECT_EQ(g.segments[2]->to, ScenePoint::at({30, 10})); // vertical: under the first point
    EXPECT_EQ(g.segments[1]->to, ScenePoint::at({100, 10})); // to the right edge of the image
    EXPECT_EQ(g.text->at, ScenePoint::at({30, 25}, {5, -5}));
    EXPECT_EQ(tools_.cursor(), Qt::ArrowCursor);
}

TEST_F(MeasurementTools, TextToolStoresTextCutTo128AndItsSize)
{
    tools_.setTextToPlace(QString(200, QLatin1Char('x')));
    tools_.setTextSize(QStringLiteral("99"));
    tools_.choose(Command::Text);
    clickAt({{5, 6}});
    EXPECT_EQ(tools_.table()[1].label, QString(128, QLatin1Char('x')));
    EXPECT_EQ(tools_.table()[1].x2, 10);
    EXPECT_EQ(tools_.scene().handle({1, HandleArray::L11})->backColour, TextHandleGrey);

    tools_.choosePreset(6);
    EXPECT_EQ(tools_.text(), QStringLiteral("Couché"));
    EXPECT_EQ(tools_.state().tool, MeasureTool::Text);
    clickAt({{8, 9}});
    EXPECT_EQ(tools_.table()[2], record(MeasurementKind::Text, {8, 9, 18, 0}, "Couché"));
    EXPECT_EQ(tools_.state().tool, MeasureTool::None);
}

TEST_F(MeasurementTools, RightClickCancelsTheGraphicBeingPlaced)
{
    tools_.choose(Command::VertexAngle);
    clickAt({{1, 1}, {5, 5}});
    tools_.move({9, 2}, Qt::NoButton);
    tools_.click({9, 2}, Qt::RightButton);
    EXPECT_FALSE(tools_.table()[1].isUsed());
    EXPECT_EQ(shown(1), nullptr);
    EXPECT_EQ(tools_.state().tool, MeasureTool::None);
    EXPECT_EQ(tools_.state().currentSlot, 1);
    EXPECT_EQ(tools_.cursor(), Qt::ArrowCursor);

    // Before the first point of a height difference: the guide line goes.
    tools_.choose(Command::HeightDifference);
    tools_.move({30, 40}, Qt::NoButton);
    ASSERT_NE(shown(1), nullptr);
    tools_.click({30, 40}, Qt::RightButton);
    EXPECT_EQ(shown(1), nullptr);
}

TEST_F(MeasurementTools, DraggingAHandleMovesThePointAndRecomputesTheLabel)
{
    // Display zoomed twice, panned by (10, 10) image pixels: handles are caught on screen.
    tools_.setMapping([](QPointF p) { return (p - QPointF(10, 10)) * 2.0; });
    tools_.choose(Command::Distance);
    clickAt({{10, 10}, {13, 14}});
    tools_.click({0, 0}, Qt::RightButton); // disarm

    ASSERT_TRUE(tools_.press({13.2, 14.1}, Qt::LeftButton));
    tools_.move({16.2, 18.1}, Qt::LeftButton);
    EXPECT_EQ(shown(1)->text->text, QStringLiteral("5,00 mm")); // follows while dragging
    EXPECT_EQ(tools_.table()[1].x2, 13); // not stored yet
    ASSERT_TRUE(tools_.release({16.2, 18.1}, Qt::LeftButton));
    EXPECT_EQ(tools_.table()[1], record(MeasurementKind::Distance, {10, 10, 16, 18}, "5,00 mm"));
    EXPECT_EQ(shown(1)->segments[0]->to.image, QPointF(16, 18));

    EXPECT_FALSE(tools_.press({40, 40}, Qt::LeftButton)); // no handle there
}

TEST_F(MeasurementTools, DraggingTheVertexOrTheHeightFootKeepsTheirLinkedPoints)
{
    auto& table = tools_.graphics().table();
    table[1] = record(MeasurementKind::VertexAngle, {20, 10, 10, 10, 10, 10, 10, 20}, "");
    table[2] = record(MeasurementKind::HeightDifference, {50, 10, 50, 30}, "");
    tools_.graphics().redrawAllGraphics();

    ASSERT_TRUE(tools_.press({10, 10}, Qt::LeftButton));
    ASSERT_TRUE(tools_.release({0, 10}, Qt::LeftButton));
    EXPECT_EQ(table[1], record(MeasurementKind::VertexAngle, {20, 10, 0, 10, 0, 10, 10, 20}, " 45,00 ° "));

    ASSERT_TRUE(tools_.press({49, 30}, Qt::LeftButton)); // the foot's square sits left of the line
    ASSERT_TRUE(tools_.release({80, 50}, Qt::LeftButton));
    EXPECT_EQ(table[2], record(MeasurementKind::HeightDifference, {50, 10, 50, 50}, "20,00 mm"));
}

TEST_F(MeasurementTools, The51stGraphicIsRefusedButDeletingStillWorks)
{
    for (int i = 1; i <= 50; ++i)
        tools_.graphics().table()[i] = record(MeasurementKind::Distance, {0, 0, 1, 1}, "x");

    EXPECT_FALSE(tools_.choose(Command::Distance));
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text,
        QStringLiteral("Votre image est surchargée ! Veuillez supprimer des mesures."));
    EXPECT_EQ(dialogs_.messages[0].title, QStringLiteral("Mesures..."));
    EXPECT_EQ(dialogs_.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(tools_.state().currentSlot, -1);

    tools_.choosePreset(0); // a preset silently does not arm
    EXPECT_EQ(tools_.state().tool, MeasureTool::None);
    EXPECT_EQ(dialogs_.messages.size(), 1u);

    EXPECT_TRUE(tools_.choose(Command::DeleteLast));
    EXPECT_FALSE(tools_.table()[50].isUsed());
    EXPECT_TRUE(tools_.choose(Command::Distance));
    EXPECT_EQ(tools_.state().currentSlot, 50);
}

TEST_F(MeasurementTools, ArmedToolWithNoSlotLeftSaysSoOnTheNextClick)
{
    for (int i = 1; i <= 49; ++i)
        tools_.graphics().table()[i] = record(MeasurementKind::Distance, {0, 0, 1, 1}, "x");
    tools_.choose(Command::Distance);
    clickAt({{10, 10}, {20, 20}});
    EXPECT_EQ(tools_.state().currentSlot, -1);
    clickAt({{30, 30}});
    EXPECT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(tools_.state().tool, MeasureTool::None);
}

TEST_F(MeasurementTools, DeleteLastRemovesTheGraphicBeingPlacedFirst)
{
    tools_.choose(Command::Distance);
    clickAt({{10, 10}, {20, 20}, {30, 30}, {40, 40}, {50, 50}}); // graphics 1 and 2, graphic 3 half made
    tools_.graphics().table()[7] = record(MeasurementKind::Text, {90, 9, 10, 0}, "G");

    tools_.choose(Command::DeleteLast);
    EXPECT_FALSE(tools_.table()[3].isUsed());
    EXPECT_TRUE(tools_.table()[7].isUsed());
    EXPECT_EQ(tools_.state().tool, MeasureTool::None);
    EXPECT_EQ(tools_.state().currentSlot, 0);

    tools_.choose(Command::DeleteLast);
    EXPECT_FALSE(tools_.table()[7].isUsed());
    EXPECT_TRUE(tools_.table()[2].isUsed());
}

TEST_F(MeasurementTools, DeleteAllAsksFirst)
{
    tools_.graphics().table()[4] = record(MeasurementKind::Text, {9, 9, 10, 0}, "G");
    tools_.graphics().redrawAllGraphics();
    dialogs_.answerMessage(MsgResult::No);
    dialogs_.answerMessage(MsgResult::Yes);

    tools_.choose(Command::DeleteAll);
    EXPECT_TRUE(tools_.table()[4].isUsed());
    tools_.choose(Command::DeleteAll);
    EXPECT_EQ(tools_.table(), MeasurementTable{});
    EXPECT_TRUE(tools_.scene().graphics().empty());
    ASSERT_EQ(dialogs_.messages.size(), 2u);
    EXPECT_EQ(
        dialogs_.messages[0].text, QStringLiteral("Etes-vous sur de vouloir effacer toutes les mesures ? "));
    EXPECT_EQ(dialogs_.messages[0].buttons, MsgButtons::YesNo);
}

TEST_F(MeasurementTools, RedrawAllLeavesTheGraphicBeingPlacedAlone)
{
    tools_.choose(Command::Distance);
    clickAt({{10, 10}, {20, 20}, {30, 30}});
    tools_.move({40, 40}, Qt::NoButton);
    const SceneSegment band = *shown(2)->segments[0];
    tools_.graphics().redrawAllGraphics();
    EXPECT_EQ(*shown(2)->segments[0], band);
    EXPECT_FALSE(shown(2)->text);
}

TEST_F(MeasurementTools, SavingDropsAHalfMadeGraphicAndLoadingShowsTheFile)
{
    QTemporaryDir dir;
    const QString image = dir.filePath(QStringLiteral("x.v2"));
    tools_.choose(Command::Distance);
    clickAt({{0, 0}, {3, 4}, {30, 30}});
    ASSERT_TRUE(tools_.saveMeasurements(image));

    MeasurementController other;
    other.loadMeasurements(image);
    EXPECT_TRUE(other.table()[1].isUsed());
    EXPECT_FALSE(other.table()[2].isUsed());
    ASSERT_NE(other.scene().graphic(1), nullptr);
    EXPECT_EQ(other.scene().graphic(1)->text->text, QStringLiteral("2,50 mm"));
    EXPECT_EQ(other.scene().graphic(1)->segments[0]->to, ScenePoint::at({3, 4}, {-1, 0}));
}

TEST_F(MeasurementTools, UncalibratedImageMeasuresInPixels)
{
    tools_.setImage(QSize(100, 80), PixelSpacing::uncalibrated());
    tools_.choose(Command::Distance);
    clickAt({{0, 0}, {3, 4}});
    EXPECT_EQ(tools_.table()[1].label, QStringLiteral("5,00 px (non calibré)"));
}
