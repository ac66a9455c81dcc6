// The button driven by real mouse events: looks, toggle, hover and events.
#include <brixel/Button.h>

#include "QtPrinters.h"
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace brixel;

namespace {

const QPoint Centre(50, 12);

Picture square(int side, QColor colour)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(colour);
    return Picture::fromImage(image);
}

// A shown window holding one 100 x 25 pixel button, with its events recorded
// as they arrive, together with the border drawn at that moment.
class ButtonOnWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        window_.resize(300, 100);
        button_ = new Button(&window_, QStringLiteral("button1"));
        button_->initProperties();
        button_->setGeometry(10, 10, 100, 25);
        const auto record = [this](const char* what) {
            events_ << QStringLiteral("%1@%2").arg(QLatin1String(what)).arg(button_->btnAppearance());
        };
        QObject::connect(button_, &Button::Click, [=] { record("Click"); });
        QObject::connect(button_, &Button::ClickSunken, [=] { record("ClickSunken"); });
        QObject::connect(
            button_, &Button::MouseDown, [=](short, short, float, float) { record("MouseDown"); });
        QObject::connect(button_, &Button::MouseUp, [=](short, short, float, float) { record("MouseUp"); });
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    }

    void click(QPoint at = Centre)
    {
        QTest::mousePress(button_, Qt::LeftButton, {}, at);
        QTest::mouseRelease(button_, Qt::LeftButton, {}, at);
    }

    // Qt drops a move to where the pointer already is, so each goes through two points.
    void moveOver()
    {
        QTest::mouseMove(button_, Centre);
        QTest::mouseMove(button_, Centre + QPoint(1, 0));
    }
    void moveAway()
    {
        QTest::mouseMove(&window_, QPoint(250, 80));
        QTest::mouseMove(&window_, QPoint(251, 80));
    }

    QWidget window_;
    Button* button_ = nullptr;
    QStringList events_;
};

} // namespace

TEST_F(ButtonOnWindow, MomentaryPressShowsSunkenUntilAfterClick)
{
    button_->setBtnSunkenEffects(bseNo);
    QTest::mousePress(button_, Qt::LeftButton, {}, Centre);
    EXPECT_EQ(button_->btnAppearance(), 3);
    EXPECT_FALSE(button_->value()); // a momentary button never reads sunken
    QTest::mouseRelease(button_, Qt::LeftButton, {}, Centre);
    EXPECT_EQ(events_, QStringList({"MouseDown@3", "MouseUp@3", "Click@3"}));
    EXPECT_EQ(button_->btnAppearance(), HalfRaised);
}

TEST_F(ButtonOnWindow, FlatButtonStillHoveredAfterAClick)
{
    // The pointer has not moved: the hover look comes back without a move event.
    button_->setBtnAppearance(Flat);
    button_->setBtnSunkenEffects(bseNo);
    moveOver();
    click(Centre + QPoint(1, 0));
    EXPECT_EQ(button_->btnAppearance(), HalfRaised);
    moveAway();
    EXPECT_EQ(button_->btnAppearance(), Flat);
}

TEST_F(ButtonOnWindow, MomentaryReleaseOffTheButtonDoesNotClick)
{
    button_->setBtnSunkenEffects(bseNo);
    QTest::mousePress(button_, Qt::LeftButton, {}, Centre);
    QTest::mouseRelease(button_, Qt::LeftButton, {}, QPoint(150, 60));
    EXPECT_EQ(events_, QStringList({"MouseDown@3", "MouseUp@3"}));
    EXPECT_EQ(button_->btnAppearance(), HalfRaised);
}

TEST_F(ButtonOnWindow, ToggleSinksThenRaises)
{
    click();
    EXPECT_TRUE(button_->value());
    EXPECT_EQ(button_->btnAppearance(), 3);
    EXPECT_EQ(events_, QStringList({"MouseDown@3", "MouseUp@3", "Click@3"}));
    events_.clear();
    click();
    EXPECT_FALSE(button_->value());
    EXPECT_EQ(button_->btnAppearance(), HalfRaised);
    EXPECT_EQ(events_, QStringList({"MouseDown@1", "MouseUp@1", "ClickSunken@1"}));
}

TEST_F(ButtonOnWindow, RightButtonOnlyRaisesMouseEvents)
{
    QSignalSpy downs(button_, &Button::MouseDown);
    QTest::mousePress(button_, Qt::RightButton, Qt::ShiftModifier, QPoint(20, 10));
    QTest::mouseRelease(button_, Qt::RightButton, Qt::ShiftModifier, QPoint(20, 10));
    EXPECT_EQ(events_, QStringList({"MouseDown@1", "MouseUp@1"}));
    ASSERT_EQ(downs.size(), 1);
    EXPECT_EQ(downs[0], QVariantList({short(2), short(1), 300.0f, 150.0f})); // twips
    EXPECT_FALSE(button_->value());
}

TEST_F(ButtonOnWindow, SettingValue)
{
    button_->setBtnSunkenEffects(bseNo);
    button_->setValue(true);
    EXPECT_FALSE(button_->value());
    EXPECT_EQ(button_->btnAppearance(), HalfRaised);
    EXPECT_EQ(events_, QStringList({"Click@1"}));

    events_.clear();
    button_->setBtnSunkenEffects(bseYes);
    button_->setValue(true);
    EXPECT_TRUE(button_->value());
    button_->setValue(false);
    EXPECT_EQ(events_, QStringList({"Click@3", "ClickSunken@1"}));
}

TEST_F(ButtonOnWindow, FlatButtonShowsAnEdgeOnlyWhileHovered)
{
    button_->setBtnAppearance(Flat);
    moveOver();
    EXPECT_EQ(button_->btnAppearance(), HalfRaised);
    moveAway();
    EXPECT_EQ(button_->btnAppearance(), Flat);

    button_->setBtnContentEffects(bceNo);
    moveOver();
    EXPECT_EQ(button_->btnAppearance(), Flat);
}

TEST_F(ButtonOnWindow, HoverShowsTheOverColoursAndPictureThenRestores)
{
    button_->setPicture(square(16, Qt::green));
    button_->setBackColorOver(QColor(255, 255, 0));
    button_->setCapColorOver(QColor(255, 0, 0));
    moveOver();
    EXPECT_EQ(button_->backColor(), QColor(255, 255, 0));
    EXPECT_EQ(button_->shownCaptionColor(), QColor(255, 0, 0));
    EXPECT_EQ(button_->shownPicture(), button_->picture()); // no over picture: the normal one stays
    moveAway();
    EXPECT_EQ(button_->backColor(), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(button_->shownCaptionColor(), QColor(Qt::black));

    const Picture over = square(16, Qt::blue);
    button_->setPictureOver(over);
    moveOver();
    EXPECT_EQ(button_->shownPicture(), over);
}

TEST_F(ButtonOnWindow, PressWithoutPressedPictureShowsAnEmptyArea)
{
    button_->setBtnSunkenEffects(bseNo);
    button_->setPicture(square(16, Qt::green));
    const QPoint where = button_->picturePosition() / 15 + QPoint(8, 8);
    QTest::mousePress(button_, Qt::LeftButton, {}, where); // a press on the picture presses the button
    EXPECT_EQ(button_->btnAppearance(), 3);
    EXPECT_TRUE(button_->isPictureShown());
    EXPECT_TRUE(button_->shownPicture().isNull());
    EXPECT_NE(QColor(button_->grab().toImage().pixel(where)), QColor(Qt::green));
    QTest::mouseRelease(button_, Qt::LeftButton, {}, where);
    EXPECT_EQ(button_->shownPicture(), button_->picture());
    EXPECT_EQ(events_.last(), QStringLiteral("Click@3"));
}

TEST_F(ButtonOnWindow, CaptionDownWhilePressed)
{
    button_->setCaption(QStringLiteral("Graver"));
    button_->setCaptionDown(QStringLiteral("Gravure..."));
    click();
    EXPECT_EQ(button_->caption(), QStringLiteral("Gravure..."));
    button_->setValue(true); // pressed again while sunken: the normal caption is not lost
    click();
    EXPECT_EQ(button_->caption(), QStringLiteral("Graver"));
    button_->setValue(false); // releasing a raised button keeps its caption
    EXPECT_EQ(button_->caption(), QStringLiteral("Graver"));
}

TEST_F(ButtonOnWindow, PictureAloneIsCentred)
{
    button_->setCaption(QString());
    button_->setPicture(square(16, Qt::green));
    EXPECT_EQ(button_->picturePosition(), QPoint((1500 - 240) / 2, 68)); // 67.5 rounds to 68
    const QImage shot = button_->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(42, 5)), QColor(Qt::green));
    EXPECT_EQ(QColor(shot.pixel(57, 20)), QColor(Qt::green));
}
