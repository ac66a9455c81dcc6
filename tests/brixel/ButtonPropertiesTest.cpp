// The button's properties: new instance, validation, side effects, and its
// stored form in a property bag.
#include <brixel/Button.h>
#include <brixel/DesignFile.h>
#include <brixel/PropertyBag.h>
#include <brixel/PropertyError.h>

#include "QtPrinters.h"
#include <QSignalSpy>
#include <functional>
#include <gtest/gtest.h>

using namespace brixel;

namespace {

const QColor LightGrey(0xC0, 0xC0, 0xC0);

Picture square(int side, QColor colour)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(colour);
    return Picture::fromImage(image);
}

// A window whose background and text colours differ from the button's defaults.
struct BlueWindow {
    QWidget window;
    BlueWindow()
    {
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, QColor(0, 0, 128));
        palette.setColor(QPalette::WindowText, QColor(255, 255, 255));
        window.setPalette(palette);
    }
};

} // namespace

TEST(BrixelButton, NewInstanceShowsItsNameHalfRaisedOnLightGrey)
{
    QWidget window;
    Button button(&window, QStringLiteral("Button1"));
    button.initProperties();
    button.resize(100, 25);
    EXPECT_EQ(button.caption(), QStringLiteral("Button1"));
    EXPECT_EQ(button.btnAppearance(), HalfRaised);
    EXPECT_EQ(button.backColor(), LightGrey);
    EXPECT_FALSE(button.value());
    EXPECT_FALSE(button.isPictureShown());

    const QImage shot = button.grab().toImage();
    EXPECT_EQ(shot.pixel(50, 2), LightGrey.rgb()); // the face
    EXPECT_EQ(shot.pixel(50, 0), button.palette().color(QPalette::Light).rgb()); // top edge
    EXPECT_EQ(shot.pixel(50, 24), button.palette().color(QPalette::Dark).rgb()); // bottom edge
}

TEST(BrixelButton, RefusedValuesRaiseTheirErrorAndKeepTheOldValue)
{
    Button button(nullptr, QStringLiteral("Button1"));
    const struct {
        const char* source;
        int number;
        std::function<void()> set;
        std::function<int()> get;
    } cases[] = {
        {"Button.BtnAppearance", 383, [&] { button.setBtnAppearance(BtnAppearance(3)); },
            [&] { return button.btnAppearance(); }},
        {"Button.BtnSunkenEffects", 383, [&] { button.setBtnSunkenEffects(BtnSunkenEffects(2)); },
            [&] { return int(button.btnSunkenEffects()); }},
        {"Button.BtnContentEffects", 383, [&] { button.setBtnContentEffects(BtnContentEffects(-1)); },
            [&] { return int(button.btnContentEffects()); }},
        {"Button.picAutoFit", 383, [&] { button.setPicAutoFit(brixel::picAutoFit(2)); },
            [&] { return int(button.picAutoFit()); }},
        {"Button.PicDefaultArrange", 383, [&] { button.setPicDefaultArrange(brixel::picDefaultArrange(5)); },
            [&] { return int(button.picDefaultArrange()); }},
        {"Button.Name", 382, [&] { button.setName(QStringLiteral("other")); },
            [&] { return int(button.name() == QStringLiteral("Button1")); }},
    };
    for (const auto& c : cases) {
        const int before = c.get();
        try {
            c.set();
            ADD_FAILURE() << c.source << " accepted";
        } catch (const PropertyError& error) {
            EXPECT_EQ(error.number(), c.number) << c.source;
            EXPECT_EQ(error.description(), QStringLiteral("Index invalid"));
            EXPECT_EQ(error.source(), QLatin1String(c.source));
        }
        EXPECT_EQ(c.get(), before) << c.source;
    }
    button.setDesignMode(true);
    button.setName(QStringLiteral("cmdOk"));
    EXPECT_EQ(button.name(), QStringLiteral("cmdOk"));
}

TEST(BrixelButton, PicCapSpacingStaysWithinTheWidthLessTheMargin)
{
    Button button;
    button.setWidthTwips(1500);
    const struct {
        int set;
        int read;
    } cases[] = {{-10, 0}, {100, 100}, {1425, 1425}, {2000, 1425}};
    for (const auto& c : cases) {
        button.setPicCapSpacing(c.set);
        EXPECT_EQ(button.picCapSpacing(), c.read) << c.set;
    }
    button.setWidthTwips(60); // narrower than the margin: no negative gap
    button.setPicCapSpacing(30);
    EXPECT_EQ(button.picCapSpacing(), 0);
}

TEST(BrixelButton, AutoFitSizesTheButtonAroundItsPicture)
{
    Button button(nullptr, QStringLiteral("cmdZoom"));
    button.setCaption(QString());
    button.resize(100, 40);
    button.setPicture(square(16, Qt::red));
    QSignalSpy changes(&button, &Button::propertyChanged);
    button.setPicAutoFit(pafYes);
    EXPECT_EQ(button.size(), QSize(20, 20));
    EXPECT_EQ(button.picturePosition(), QPoint(30, 30)); // 2 pixels
    EXPECT_TRUE(changes.contains(QVariantList{QStringLiteral("picAutoFit")}));

    const QImage shot = button.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(2, 2)), QColor(Qt::red));
    EXPECT_EQ(QColor(shot.pixel(17, 17)), QColor(Qt::red));
    EXPECT_NE(QColor(shot.pixel(18, 18)), QColor(Qt::red));
}

TEST(BrixelButton, SizeIsClampedTo4000By2000Twips)
{
    QWidget window;
    Button button(&window);
    window.show();
    button.resize(400, 300); // stretched by its window
    EXPECT_LE(button.widthTwips(), 4000);
    EXPECT_LE(button.heightTwips(), 2000);
    EXPECT_EQ(button.size(), QSize(266, 133));
    button.setWidthTwips(1500);
    button.setHeightTwips(375);
    EXPECT_EQ(button.size(), QSize(100, 25));
    button.setWidthTwips(9000);
    EXPECT_EQ(button.widthTwips(), 3990); // whole pixels within the limit
}

TEST(BrixelButton, PictureSetNotifiesBothNames)
{
    Button button;
    QSignalSpy changes(&button, &Button::propertyChanged);
    button.setPicture(square(16, Qt::red));
    EXPECT_TRUE(changes.contains(QVariantList{QStringLiteral("PictureUp")}));
    EXPECT_TRUE(changes.contains(QVariantList{QStringLiteral("PictureDisp")}));
    EXPECT_TRUE(button.isPictureShown());
}

TEST(BrixelButtonBag, MissingEntriesReadTheirDefaults)
{
    BlueWindow blue;
    Button button(&blue.window, QStringLiteral("button3"));
    button.resize(100, 25);
    MemoryPropertyBag empty;
    button.readProperties(empty);
    EXPECT_EQ(button.backColor(), LightGrey); // not the window's blue
    EXPECT_EQ(button.backColorOver(), LightGrey);
    EXPECT_EQ(button.caption(), QStringLiteral("button3"));
    EXPECT_EQ(button.btnAppearance(), HalfRaised);
    EXPECT_EQ(button.picCapSpacing(), 75);
    EXPECT_EQ(button.captionFont(), blue.window.font());
    EXPECT_EQ(button.size(), QSize(100, 25)); // no stored size: the window's
    EXPECT_TRUE(button.isEnabled());
}

TEST(BrixelButtonBag, BackColorEqualToTheWindowsIsNotStored)
{
    BlueWindow blue;
    Button button(&blue.window, QStringLiteral("button3"));
    button.setBackColor(QColor(0, 0, 128));
    MemoryPropertyBag bag;
    button.writeProperties(bag);
    EXPECT_FALSE(bag.contains(QStringLiteral("BackColor")));

    Button reloaded(&blue.window, QStringLiteral("button3"));
    reloaded.readProperties(bag);
    EXPECT_EQ(reloaded.backColor(), LightGrey);
}

TEST(BrixelButtonBag, ReadsAndWritesInTheStoredOrder)
{
    QWidget window;
    Button button(&window, QStringLiteral("button1"));
    MemoryPropertyBag bag;
    button.readProperties(bag);
    EXPECT_EQ(bag.readTrace(),
        QStringList({"enabled", "mouseicon", "mousepointer", "btnbackstyle", "btnwidth", "btnheight",
            "backcolor", "backcolorover", "backcolordown", "picautofit", "picdefaultarrange", "piccapspacing",
            "btnappearance", "btnsunkeneffects", "btncontenteffects", "value", "captionfont", "caption",
            "captiondown", "capcolor", "capcolor", "capcolorover", "capcolordown", "picturedisp", "pictureup",
            "pictureover", "picturedown", "picposleft", "picpostop", "capposleft", "cappostop",
            "tooltipbackcolor", "tooltipforecolor", "tooltiptext"}));
    button.writeProperties(bag);
    EXPECT_EQ(bag.writeTrace(),
        QStringList({"enabled", "mouseicon", "mousepointer", "btnbackstyle", "btnwidth", "btnheight",
            "backcolor", "backcolorover", "backcolordown", "picautofit", "picdefaultarrange", "piccapspacing",
            "btnappearance", "btnsunkeneffects", "btncontenteffects", "captionfont", "caption", "captiondown",
            "capcolor", "capcolor", "capcolorover", "capcolordown", "picturedisp", "pictureup", "pictureover",
            "picturedown", "picposleft", "picpostop", "capposleft", "cappostop", "tooltipbackcolor",
            "tooltipforecolor", "tooltiptext", "value"}));
}

TEST(BrixelButtonBag, CapColorIsStoredTwiceAndReadIntoBoth)
{
    BlueWindow blue; // white text
    Button button(&blue.window, QStringLiteral("button1"));
    MemoryPropertyBag bag;
    button.writeProperties(bag); // shown black differs from white: first entry written; normal 0: omitted
    EXPECT_EQ(bag.writeTrace().count(QStringLiteral("capcolor")), 2);
    EXPECT_EQ(bag.value(QStringLiteral("CapColor")).value<QColor>(), QColor(Qt::black));

    MemoryPropertyBag stored;
    stored.set(QStringLiteral("capcolor"), QStringLiteral("&H000000FF&"));
    Button red(&blue.window, QStringLiteral("button2"));
    red.readProperties(stored);
    EXPECT_EQ(red.capColor(), QColor(Qt::red));
    EXPECT_EQ(red.shownCaptionColor(), QColor(Qt::red));
}

TEST(BrixelButtonBag, RoundTripThroughTheTextDesign)
{
    QWidget window;
    Button original(&window, QStringLiteral("button8"));
    original.resize(100, 25);
    original.setCaption(QStringLiteral("Étiquettes"));
    original.setCaptionDown(QStringLiteral("Enfoncé"));
    original.setBtnAppearance(Flat);
    original.setBtnSunkenEffects(bseNo);
    original.setBackColorOver(QColor(255, 255, 0));
    original.setCapColor(QColor(0, 0, 255));
    original.setCapColorDown(QColor(255, 0, 0));
    original.setPicDefaultArrange(pdaTop);
    original.setPicture(square(16, Qt::green));
    original.setToolTipText(QStringLiteral("Imprimer les étiquettes"));
    original.setEnabled(false);

    DesignFile design;
    original.writeProperties(design.addSection(QStringLiteral("button8")));
    const DesignFile reread = DesignFile::parse(design.toText());
    Button copy(&window, QStringLiteral("button8"));
    copy.readProperties(*reread.section(QStringLiteral("button8")));

    EXPECT_EQ(copy.size(), QSize(100, 25));
    EXPECT_EQ(copy.caption(), original.caption());
    EXPECT_EQ(copy.captionDown(), original.captionDown());
    EXPECT_EQ(copy.btnAppearance(), Flat);
    EXPECT_EQ(copy.btnSunkenEffects(), bseNo);
    EXPECT_EQ(copy.backColorOver(), QColor(255, 255, 0));
    EXPECT_EQ(copy.capColor(), QColor(0, 0, 255));
    EXPECT_EQ(copy.capColorDown(), QColor(255, 0, 0));
    EXPECT_EQ(copy.picDefaultArrange(), pdaTop);
    EXPECT_EQ(copy.picture().image.convertToFormat(QImage::Format_ARGB32), original.picture().image);
    EXPECT_EQ(copy.picturePosition(), original.picturePosition());
    EXPECT_EQ(copy.captionPosition(), original.captionPosition());
    EXPECT_EQ(copy.toolTipText(), original.toolTipText());
    EXPECT_FALSE(copy.isEnabled());
}

TEST(BrixelButtonBag, DamagedStoredValuesFallBackToDefaults)
{
    const struct {
        const char* appearance;
        const char* value;
        int drawn;
    } cases[]
        = {{"7", "False", HalfRaised}, {"3", "False", HalfRaised}, {"3", "True", 3}, {"0", "False", Flat}};
    for (const auto& c : cases) {
        MemoryPropertyBag bag;
        bag.set(QStringLiteral("btnappearance"), QLatin1String(c.appearance));
        bag.set(QStringLiteral("value"), QLatin1String(c.value));
        bag.set(QStringLiteral("btnsunkeneffects"), QStringLiteral("9"));
        Button button;
        button.readProperties(bag);
        EXPECT_EQ(button.btnAppearance(), c.drawn) << c.appearance << c.value;
        EXPECT_EQ(button.btnSunkenEffects(), bseYes);
    }
}
