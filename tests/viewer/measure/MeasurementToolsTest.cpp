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
        tools.setLocale(QLocale(QLocale::French, QLocale::France));
        tools.setImage(QSize(100, 80), {0.5, 0.5, SpacingOrigin::Patient});
    }

    void clickAt(std::initializer_list<QPointF> points)
    {
        for (const QPointF& p : points) {
            tools.move(p, Qt::NoButton);
            ASSERT_FALSE(tools.press(p, Qt::LeftButton));
            tools.move(p, Qt::LeftButton);
            ASSERT_FALSE(tools.release(p, Qt::LeftButton));
            tools.click(p, Qt::LeftButton);
        }
    }

    const SceneGraphic* shown(int index) { return tools.scene().graphic(index); }

    ScriptedDialogService dialogs;
    MeasurementController tools;
};

MeasurementRecord Record(MeasurementKind kind, std::array<int16_t, 8> p, const char* label)
{
    MeasurementRecord r;
    r.Kind = kind;
    r.X1 = p[0], r.Y1 = p[1], r.X2 = p[2], r.Y2 = p[3], r.X3 = p[4], r.Y3 = p[5], r.X4 = p[6], r.Y4 = p[7];
    r.Label = QString::fromUtf8(label);
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
        {Command::Distance, {{0, 0}, {3.4, 4.5}}, Record(MeasurementKind::Distance, {0, 0, 3, 4}, "2,50 mm"),
            MeasureTool::Distance},
        {Command::Distance, {{7, 7}, {7, 7}}, Record(MeasurementKind::Distance, {7, 7, 7, 7}, "0,00 mm"),
            MeasureTool::Distance},
        {Command::VertexAngle, {{110, 105}, {100, 100}, {97, 107}},
            Record(MeasurementKind::VertexAngle, {110, 105, 100, 100, 100, 100, 97, 107}, " 86,63 ° "),
            MeasureTool::VertexAngle},
        {Command::LinesAngle, {{10, 10}, {0, 0}, {0, 10}, {10, 0}},
            Record(MeasurementKind::LinesAngle, {10, 10, 0, 0, 0, 10, 10, 0}, " 90,00 ° "),
            MeasureTool::LinesAngle},
        {Command::HeightDifference, {{10, 20}, {55, 60}},
            Record(MeasurementKind::HeightDifference, {10, 20, 10, 60}, "20,00 mm"), MeasureTool::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected.Label.toStdString());
        tools.graphics().DeleteAllGraphics();
        ASSERT_TRUE(tools.choose(c.command));
        EXPECT_EQ(tools.state().currentSlot, 1);
        for (size_t i = 0; i < c.clicks.size(); ++i) {
            EXPECT_EQ(tools.state().step, int(i));
            clickAt({c.clicks[i]});
        }
        EXPECT_EQ(tools.table()[1], c.expected);
        EXPECT_EQ(tools.state().step, 0);
        EXPECT_EQ(tools.state().tool, c.toolAfter);
        EXPECT_EQ(tools.state().currentSlot, 2);
        ASSERT_TRUE(shown(1) && shown(1)->text);
        EXPECT_EQ(shown(1)->text->text, c.expected.Label);
    }
}

TEST_F(MeasurementTools, DistanceShowsARubberBandThenItsSegmentAndHandles)
{
    tools.choose(Command::Distance);
    clickAt({{10, 10}});
    tools.move({20, 5}, Qt::NoButton);
    const auto& band = shown(1)->segments[0];
    ASSERT_TRUE(band);
    EXPECT_EQ(band->to, ScenePoint::at({20, 5}, {4, -1})); // kept off the pointer
    clickAt({{20, 5}});
    EXPECT_EQ(shown(1)->segments[0]->to, ScenePoint::at({20, 5}));
    EXPECT_EQ(tools.scene().handle({1, HandleArray::L1_1})->tag, QStringLiteral("1_1"));
    EXPECT_EQ(tools.scene().handle({1, HandleArray::L1_2})->tag, QStringLiteral("1_2"));
    EXPECT_EQ(tools.cursor(), Qt::CrossCursor); // distance stays armed
}

TEST_F(MeasurementTools, HeightDifferenceDrawsItsGuidesToTheImageEdge)
{
    tools.choose(Command::HeightDifference);
    tools.move({30, 40}, Qt::NoButton);
    EXPECT_EQ(shown(1)->segments[0]->from, ScenePoint::displayLeft(40));
    clickAt({{30, 40}, {70, 10}});
    const SceneGraphic& g = *shown(1);
    EXPECT_EQ(g.segments[2]->to, ScenePoint::at({30, 10})); // vertical: under the first point
    EXPECT_EQ(g.segments[1]->to, ScenePoint::at({100, 10})); // to the right edge of the image
    EXPECT_EQ(g.text->at, ScenePoint::at({30, 25}, {5, -5}));
    EXPECT_EQ(tools.cursor(), Qt::ArrowCursor);
}

TEST_F(MeasurementTools, TextToolStoresTextCutTo128AndItsSize)
{
    tools.setTextToPlace(QString(200, QLatin1Char('x')));
    tools.setTextSize(QStringLiteral("99"));
    tools.choose(Command::Text);
    clickAt({{5, 6}});
    EXPECT_EQ(tools.table()[1].Label, QString(128, QLatin1Char('x')));
    EXPECT_EQ(tools.table()[1].X2, 10);
    EXPECT_EQ(tools.scene().handle({1, HandleArray::L1_1})->backColour, TextHandleGrey);

    tools.choosePreset(6);
    EXPECT_EQ(tools.text(), QStringLiteral("Couché"));
    EXPECT_EQ(tools.state().tool, MeasureTool::Text);
    clickAt({{8, 9}});
    EXPECT_EQ(tools.table()[2], Record(MeasurementKind::Text, {8, 9, 18, 0}, "Couché"));
    EXPECT_EQ(tools.state().tool, MeasureTool::None);
}

TEST_F(MeasurementTools, RightClickCancelsTheGraphicBeingPlaced)
{
    tools.choose(Command::VertexAngle);
    clickAt({{1, 1}, {5, 5}});
    tools.move({9, 2}, Qt::NoButton);
    tools.click({9, 2}, Qt::RightButton);
    EXPECT_FALSE(tools.table()[1].isUsed());
    EXPECT_EQ(shown(1), nullptr);
    EXPECT_EQ(tools.state().tool, MeasureTool::None);
    EXPECT_EQ(tools.state().currentSlot, 1);
    EXPECT_EQ(tools.cursor(), Qt::ArrowCursor);

    // Before the first point of a height difference: the guide line goes.
    tools.choose(Command::HeightDifference);
    tools.move({30, 40}, Qt::NoButton);
    ASSERT_NE(shown(1), nullptr);
    tools.click({30, 40}, Qt::RightButton);
    EXPECT_EQ(shown(1), nullptr);
}

TEST_F(MeasurementTools, DraggingAHandleMovesThePointAndRecomputesTheLabel)
{
    // Display zoomed twice, panned by (10, 10) image pixels: handles are caught on screen.
    tools.setMapping([](QPointF p) { return (p - QPointF(10, 10)) * 2.0; });
    tools.choose(Command::Distance);
    clickAt({{10, 10}, {13, 14}});
    tools.click({0, 0}, Qt::RightButton); // disarm

    ASSERT_TRUE(tools.press({13.2, 14.1}, Qt::LeftButton));
    tools.move({16.2, 18.1}, Qt::LeftButton);
    EXPECT_EQ(shown(1)->text->text, QStringLiteral("5,00 mm")); // follows while dragging
    EXPECT_EQ(tools.table()[1].X2, 13); // not stored yet
    ASSERT_TRUE(tools.release({16.2, 18.1}, Qt::LeftButton));
    EXPECT_EQ(tools.table()[1], Record(MeasurementKind::Distance, {10, 10, 16, 18}, "5,00 mm"));
    EXPECT_EQ(shown(1)->segments[0]->to.image, QPointF(16, 18));

    EXPECT_FALSE(tools.press({40, 40}, Qt::LeftButton)); // no handle there
}

TEST_F(MeasurementTools, DraggingTheVertexOrTheHeightFootKeepsTheirLinkedPoints)
{
    auto& table = tools.graphics().table();
    table[1] = Record(MeasurementKind::VertexAngle, {20, 10, 10, 10, 10, 10, 10, 20}, "");
    table[2] = Record(MeasurementKind::HeightDifference, {50, 10, 50, 30}, "");
    tools.graphics().RedrawAllGraphics();

    ASSERT_TRUE(tools.press({10, 10}, Qt::LeftButton));
    ASSERT_TRUE(tools.release({0, 10}, Qt::LeftButton));
    EXPECT_EQ(table[1], Record(MeasurementKind::VertexAngle, {20, 10, 0, 10, 0, 10, 10, 20}, " 45,00 ° "));

    ASSERT_TRUE(tools.press({49, 30}, Qt::LeftButton)); // the foot's square sits left of the line
    ASSERT_TRUE(tools.release({80, 50}, Qt::LeftButton));
    EXPECT_EQ(table[2], Record(MeasurementKind::HeightDifference, {50, 10, 50, 50}, "20,00 mm"));
}

TEST_F(MeasurementTools, The51stGraphicIsRefusedButDeletingStillWorks)
{
    for (int i = 1; i <= 50; ++i)
        tools.graphics().table()[i] = Record(MeasurementKind::Distance, {0, 0, 1, 1}, "x");

    EXPECT_FALSE(tools.choose(Command::Distance));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
        QStringLiteral("Votre image est surchargée ! Veuillez supprimer des mesures."));
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Mesures..."));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(tools.state().currentSlot, -1);

    tools.choosePreset(0); // a preset silently does not arm
    EXPECT_EQ(tools.state().tool, MeasureTool::None);
    EXPECT_EQ(dialogs.messages.size(), 1u);

    EXPECT_TRUE(tools.choose(Command::DeleteLast));
    EXPECT_FALSE(tools.table()[50].isUsed());
    EXPECT_TRUE(tools.choose(Command::Distance));
    EXPECT_EQ(tools.state().currentSlot, 50);
}

TEST_F(MeasurementTools, ArmedToolWithNoSlotLeftSaysSoOnTheNextClick)
{
    for (int i = 1; i <= 49; ++i)
        tools.graphics().table()[i] = Record(MeasurementKind::Distance, {0, 0, 1, 1}, "x");
    tools.choose(Command::Distance);
    clickAt({{10, 10}, {20, 20}});
    EXPECT_EQ(tools.state().currentSlot, -1);
    clickAt({{30, 30}});
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(tools.state().tool, MeasureTool::None);
}

TEST_F(MeasurementTools, DeleteLastRemovesTheGraphicBeingPlacedFirst)
{
    tools.choose(Command::Distance);
    clickAt({{10, 10}, {20, 20}, {30, 30}, {40, 40}, {50, 50}}); // graphics 1 and 2, graphic 3 half made
    tools.graphics().table()[7] = Record(MeasurementKind::Text, {90, 9, 10, 0}, "G");

    tools.choose(Command::DeleteLast);
    EXPECT_FALSE(tools.table()[3].isUsed());
    EXPECT_TRUE(tools.table()[7].isUsed());
    EXPECT_EQ(tools.state().tool, MeasureTool::None);
    EXPECT_EQ(tools.state().currentSlot, 0);

    tools.choose(Command::DeleteLast);
    EXPECT_FALSE(tools.table()[7].isUsed());
    EXPECT_TRUE(tools.table()[2].isUsed());
}

TEST_F(MeasurementTools, DeleteAllAsksFirst)
{
    tools.graphics().table()[4] = Record(MeasurementKind::Text, {9, 9, 10, 0}, "G");
    tools.graphics().RedrawAllGraphics();
    dialogs.answerMessage(MsgResult::No);
    dialogs.answerMessage(MsgResult::Yes);

    tools.choose(Command::DeleteAll);
    EXPECT_TRUE(tools.table()[4].isUsed());
    tools.choose(Command::DeleteAll);
    EXPECT_EQ(tools.table(), MeasurementTable{});
    EXPECT_TRUE(tools.scene().graphics().empty());
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(
        dialogs.messages[0].text, QStringLiteral("Etes-vous sur de vouloir effacer toutes les mesures ? "));
    EXPECT_EQ(dialogs.messages[0].buttons, MsgButtons::YesNo);
}

TEST_F(MeasurementTools, RedrawAllLeavesTheGraphicBeingPlacedAlone)
{
    tools.choose(Command::Distance);
    clickAt({{10, 10}, {20, 20}, {30, 30}});
    tools.move({40, 40}, Qt::NoButton);
    const SceneSegment band = *shown(2)->segments[0];
    tools.graphics().RedrawAllGraphics();
    EXPECT_EQ(*shown(2)->segments[0], band);
    EXPECT_FALSE(shown(2)->text);
}

TEST_F(MeasurementTools, SavingDropsAHalfMadeGraphicAndLoadingShowsTheFile)
{
    QTemporaryDir dir;
    const QString image = dir.filePath(QStringLiteral("x.v2"));
    tools.choose(Command::Distance);
    clickAt({{0, 0}, {3, 4}, {30, 30}});
    ASSERT_TRUE(tools.saveMeasurements(image));

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
    tools.setImage(QSize(100, 80), PixelSpacing::uncalibrated());
    tools.choose(Command::Distance);
    clickAt({{0, 0}, {3, 4}});
    EXPECT_EQ(tools.table()[1].Label, QStringLiteral("5,00 px (non calibré)"));
}
