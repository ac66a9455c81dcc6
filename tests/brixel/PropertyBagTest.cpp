// Property bags: defaults, omitted writes, case, conversions, and the text design.
#include <brixel/DesignFile.h>
#include <brixel/Factory.h>
#include <brixel/PropertyBag.h>

#include "QtPrinters.h"
#include <QColor>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brixel;

TEST(BrixelPropertyBag, DefaultsOmittedWritesAndCase)
{
    MemoryPropertyBag bag;
    EXPECT_EQ(
        bag.read(QStringLiteral("Caption"), QStringLiteral("Button1")).toString(), QStringLiteral("Button1"));

    bag.write(QStringLiteral("PicCapSpacing"), 75, 75);
    EXPECT_FALSE(bag.contains(QStringLiteral("piccapspacing")));
    bag.write(QStringLiteral("BackColor"), QColor(0xC0, 0xC0, 0xC0), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(bag.count(), 0);

    bag.write(QStringLiteral("BackColorOver"), QColor(Qt::red), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(bag.read(QStringLiteral("backcolorover"), QColor(Qt::black)).value<QColor>(), QColor(Qt::red));
    EXPECT_EQ(bag.writeTrace(), QStringList({"piccapspacing", "backcolor", "backcolorover"}));
}

TEST(BrixelPropertyBag, StoredTextsReadInTheTypeAskedFor)
{
    MemoryPropertyBag bag;
    bag.set(QStringLiteral("a"), QStringLiteral("&H00FF0000&")); // blue, red in the low byte
    bag.set(QStringLiteral("b"), QStringLiteral("True"));
    bag.set(QStringLiteral("c"), QStringLiteral("-1"));
    bag.set(QStringLiteral("d"), QStringLiteral("&H10"));
    bag.set(QStringLiteral("e"), QStringLiteral("not a number"));
    bag.set(QStringLiteral("f"), 255);
    EXPECT_EQ(bag.read(QStringLiteral("A"), QColor()).value<QColor>(), QColor(0, 0, 255));
    EXPECT_TRUE(bag.read(QStringLiteral("b"), false).toBool());
    EXPECT_TRUE(bag.read(QStringLiteral("c"), false).toBool());
    EXPECT_EQ(bag.read(QStringLiteral("d"), 0).toInt(), 16);
    EXPECT_EQ(bag.read(QStringLiteral("e"), 75).toInt(), 75); // unreadable: the default
    EXPECT_EQ(bag.read(QStringLiteral("f"), QColor()).value<QColor>(), QColor(255, 0, 0));
}

TEST(BrixelDesignFile, ParsesWritesAndReadsBack)
{
    const QString text = QStringLiteral("; fenêtre principale\n"
                                        "[Button8]\n"
                                        "Caption = \"Fermer \\\"vite\\\" = oui\"\n"
                                        "btnwidth = 1500\n"
                                        "backcolor = &H0000FF00&\n"
                                        "[button9]\n"
                                        "caption = \"Étiquettes  patient\"\n"
                                        "stray line without equals\n");
    const DesignFile design = DesignFile::parse(text);
    EXPECT_EQ(design.sectionNames(), QStringList({"button8", "button9"}));
    const TextPropertyBag* eight = design.section(QStringLiteral("BUTTON8"));
    ASSERT_NE(eight, nullptr);
    EXPECT_EQ(eight->read(QStringLiteral("caption"), QString()).toString(),
        QStringLiteral("Fermer \"vite\" = oui"));
    EXPECT_EQ(eight->read(QStringLiteral("BtnWidth"), 0.0f).toFloat(), 1500.0f);
    EXPECT_EQ(eight->read(QStringLiteral("BackColor"), QColor()).value<QColor>(), QColor(0, 255, 0));

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("frmMain.brx"));
    ASSERT_TRUE(design.save(path));
    const auto again = DesignFile::load(path);
    ASSERT_TRUE(again.has_value());
    EXPECT_EQ(again->toText(), design.toText());
    EXPECT_EQ(
        again->section(QStringLiteral("button9"))->read(QStringLiteral("Caption"), QString()).toString(),
        QStringLiteral("Étiquettes  patient"));
    EXPECT_FALSE(DesignFile::load(folder.filePath(QStringLiteral("missing.brx"))).has_value());
}

TEST(BrixelDesignFile, PicturesByRelativePathOrInline)
{
    QTemporaryDir folder;
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::blue);
    ASSERT_TRUE(icon.save(folder.filePath(QStringLiteral("ok.png"))));

    TextPropertyBag bag(folder.path());
    bag.setText(QStringLiteral("pictureup"), QStringLiteral("\"ok.png\""));
    const Picture read
        = bag.read(QStringLiteral("PictureUp"), QVariant::fromValue(Picture{})).value<Picture>();
    EXPECT_EQ(read.image.size(), QSize(16, 16));
    EXPECT_EQ(read.source, QStringLiteral("ok.png")); // written back as referenced

    bag.write(QStringLiteral("PictureOver"), QVariant::fromValue(Picture::fromImage(icon)),
        QVariant::fromValue(Picture{}));
    EXPECT_TRUE(bag.text(QStringLiteral("pictureover")).startsWith(QStringLiteral("\"png:")));
    const Picture inlined
        = bag.read(QStringLiteral("pictureover"), QVariant::fromValue(Picture{})).value<Picture>();
    EXPECT_EQ(inlined.image.convertToFormat(QImage::Format_ARGB32), icon);
}

TEST(BrixelDesignFile, WindowCreatesItsButtonsFromTheDesign)
{
    const DesignFile design
        = DesignFile::parse(QStringLiteral("[button1]\ncaption = \"Graver\"\nbtnwidth = 1500\n"
                                           "btnheight = 375\nleft = 150\ntop = 300\n"
                                           "[button2]\nbtnappearance = 0\n"));
    QWidget window;
    const QList<Button*> buttons = createButtons(design, &window);
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_EQ(buttons[0]->name(), QStringLiteral("button1"));
    EXPECT_EQ(buttons[0]->caption(), QStringLiteral("Graver"));
    EXPECT_EQ(buttons[0]->geometry(), QRect(10, 20, 100, 25));
    EXPECT_EQ(buttons[1]->caption(), QStringLiteral("button2")); // no caption stored: its name
    EXPECT_EQ(buttons[1]->btnAppearance(), Flat);

    EXPECT_NE(qobject_cast<Button*>(createControl(QStringLiteral("brixel.button"), &window)), nullptr);
    EXPECT_EQ(createControl(QStringLiteral("Brixel.Slider"), &window), nullptr);
}
