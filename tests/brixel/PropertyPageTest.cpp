// The button's property page driven on real buttons: filling from the first
// selected button, applying to every selected one, and its editing rules.
#include <brixel/Button.h>
#include <brixel/ButtonPropertyPage.h>

#include "QtPrinters.h"
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

using namespace brixel;

namespace {

// A window holding design-time buttons and the page.
struct PageFixture : ::testing::Test {
    QWidget window;
    ButtonPropertyPage page;

    Button* addButton(const QString& name, int widthTwips = 1500)
    {
        auto* button = new Button(&window, name);
        button->setDesignMode(true);
        button->initProperties();
        button->setWidthTwips(widthTwips);
        button->setHeightTwips(450);
        return button;
    }
    template <typename T> T* control(const char* name) const
    {
        T* found = page.findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QLineEdit* box(const char* name) const { return control<QLineEdit>(name); }
    QComboBox* list(const char* name) const { return control<QComboBox>(name); }
};

} // namespace

TEST_F(PageFixture, ShowsTheCaptionsAndListsOfTheFirstSelectedButton)
{
    EXPECT_EQ(ButtonPropertyPage::tabCaption(), QStringLiteral("General"));
    EXPECT_EQ(control<QGroupBox>("fraSizeAndStyle")->title(), QStringLiteral("Style && Appearance"));
    EXPECT_EQ(control<QLabel>("lblCaptionDown")->text(), QStringLiteral("CaptionDown (If diff)"));
    EXPECT_EQ(control<QRadioButton>("optPicDefaultArrange(1)")->text(), QStringLiteral("On Top"));
    const struct {
        const char* box;
        int maxLength;
    } lengths[] = {{"txbCaption", 32767}, {"txbCaptionDown", 32767}, {"txbPicCapSpacing", 5}, {"txbWidth", 5},
        {"txbHeight", 5}, {"txbToolTipText", 32767}};
    for (const auto& entry : lengths)
        EXPECT_EQ(box(entry.box)->maxLength(), entry.maxLength) << entry.box;

    Button* first = addButton(QStringLiteral("Button3"), 1800);
    first->setCaption(QStringLiteral("Visualiser..."));
    first->setCaptionDown(QStringLiteral("Fermer"));
    first->setBtnAppearance(Raised);
    first->setBackStyle(Transparent);
    first->setBtnSunkenEffects(bseNo);
    first->setPicDefaultArrange(pdaTop);
    first->setPicCapSpacing(120);
    first->setToolTipText(QStringLiteral("Voir l'examen"));
    addButton(QStringLiteral("Button4"));
    page.selectionChanged({first});

    EXPECT_TRUE(page.isEnabled());
    EXPECT_EQ(box("txbName")->text(), QStringLiteral("Button3"));
    EXPECT_EQ(box("txbCaption")->text(), QStringLiteral("Visualiser..."));
    EXPECT_EQ(box("txbCaptionDown")->text(), QStringLiteral("Fermer"));
    EXPECT_EQ(box("txbWidth")->text(), QStringLiteral("1800"));
    EXPECT_EQ(box("txbHeight")->text(), QStringLiteral("450"));
    EXPECT_EQ(box("txbPicCapSpacing")->text(), QStringLiteral("120"));
    EXPECT_EQ(box("txbToolTipText")->text(), QStringLiteral("Voir l'examen"));
    EXPECT_TRUE(control<QCheckBox>("ckbEnabled")->isChecked());
    EXPECT_TRUE(control<QRadioButton>("optPicDefaultArrange(1)")->isChecked());
    EXPECT_TRUE(box("txbCaption")->isEnabled());

    const struct {
        const char* list;
        QStringList items;
        int shown;
    } lists[] = {
        {"cboBtnAppearance", {"0 - Flat", "1 - HalfRaised", "2 - Raised"}, 2},
        {"cboBtnBackStyle", {"0 - Transparent", "1 - Opaque"}, 0},
        {"cboBtnContentEffects", {"0 - bceYes", "1 - bceNo"}, 0},
        {"cboBtnSunkenEffects", {"0 - bseYes", "1 - bseNo"}, 1},
        {"cboPicAutoFit", {"0 - pafYes", "1 - pafNo"}, 1},
    };
    for (const auto& entry : lists) {
        QComboBox* shown = list(entry.list);
        QStringList items;
        for (int i = 0; i < shown->count(); ++i)
            items << shown->itemText(i);
        EXPECT_EQ(items, entry.items) << entry.list;
        EXPECT_EQ(shown->currentIndex(), entry.shown) << entry.list;
    }

    // Refilled, not appended to, on the next selection.
    page.selectionChanged({first});
    EXPECT_EQ(list("cboBtnAppearance")->count(), 3);
}

TEST_F(PageFixture, WithOneButtonEveryBoxIsWrittenNameIncluded)
{
    Button* button = addButton(QStringLiteral("Button1"));
    page.selectionChanged({button});
    box("txbName")->setText(QStringLiteral("cmdPrint"));
    box("txbCaption")->setText(QStringLiteral("Imprimer"));
    box("txbCaptionDown")->setText(QStringLiteral("Impression"));
    list("cboBtnAppearance")->setCurrentIndex(Flat);
    list("cboBtnBackStyle")->setCurrentIndex(Transparent);
    list("cboBtnContentEffects")->setCurrentIndex(bceNo);
    list("cboBtnSunkenEffects")->setCurrentIndex(bseNo);
    box("txbWidth")->setText(QStringLiteral("900"));
    box("txbHeight")->setText(QStringLiteral("300"));
    control<QRadioButton>("optPicDefaultArrange(1)")->setChecked(true);
    box("txbPicCapSpacing")->setText(QStringLiteral("30"));
    box("txbToolTipText")->setText(QStringLiteral("Imprimer la planche"));

    EXPECT_EQ(page.apply(), QStringList());
    EXPECT_EQ(button->name(), QStringLiteral("cmdPrint"));
    EXPECT_EQ(button->caption(), QStringLiteral("Imprimer"));
    EXPECT_EQ(button->captionDown(), QStringLiteral("Impression"));
    EXPECT_EQ(button->btnAppearance(), Flat);
    EXPECT_EQ(button->backStyle(), Transparent);
    EXPECT_EQ(button->btnContentEffects(), bceNo);
    EXPECT_EQ(button->btnSunkenEffects(), bseNo);
    EXPECT_EQ(button->widthTwips(), 900);
    EXPECT_EQ(button->heightTwips(), 300);
    EXPECT_EQ(button->picDefaultArrange(), pdaTop);
    EXPECT_EQ(button->picCapSpacing(), 30);
    EXPECT_EQ(button->toolTipText(), QStringLiteral("Imprimer la planche"));
    EXPECT_FALSE(page.isChanged());

    // An emptied name would leave the button out of its window's design.
    page.selectionChanged({button});
    box("txbName")->clear();
    EXPECT_EQ(page.apply(), QStringList{QStringLiteral("cmdPrint.Name")});
    EXPECT_EQ(button->name(), QStringLiteral("cmdPrint"));
}

// Values are applied as they were put in the boxes, never cut by them: a
// width of 10500 reaches the button whole (which keeps to its widest), long
// captions and tooltips come back whole.
TEST_F(PageFixture, ValuesAreAppliedWholeAsTyped)
{
    const QString caption = QString(100, u'C');
    const QString toolTip = QString(200, u'T');
    Button* wide = addButton(QStringLiteral("Button1"));
    wide->setCaption(caption);
    wide->setCaptionDown(caption + u'D');
    wide->setToolTipText(toolTip);
    page.selectionChanged({wide});
    box("txbWidth")->setText(QStringLiteral("10500"));
    box("txbHeight")->setText(QStringLiteral("1050"));
    EXPECT_EQ(box("txbWidth")->text(), QStringLiteral("10500"));

    EXPECT_EQ(page.apply(), QStringList());
    EXPECT_EQ(wide->widthTwips(), Button::MaxWidthTwips / 15 * 15) << "cut to 1050 by its box";
    EXPECT_EQ(wide->heightTwips(), 1050);
    EXPECT_EQ(wide->caption(), caption);
    EXPECT_EQ(wide->captionDown(), caption + u'D');
    EXPECT_EQ(wide->toolTipText(), toolTip);
}

TEST_F(PageFixture, SeveralSelectedGetTheFirstCaptionsButKeepTheirNames)
{
    Button* first = addButton(QStringLiteral("Button1"));
    Button* second = addButton(QStringLiteral("Button2"), 1950);
    first->setCaption(QStringLiteral("OK"));
    first->setCaptionDown(QStringLiteral("Validé"));
    second->setCaption(QStringLiteral("Annuler"));
    page.selectionChanged({first, second});

    EXPECT_FALSE(box("txbCaption")->isEnabled());
    EXPECT_FALSE(box("txbCaptionDown")->isEnabled());
    EXPECT_EQ(box("txbWidth")->text(), QStringLiteral("1500"));
    box("txbName")->setText(QStringLiteral("cmdSame"));
    box("txbHeight")->setText(QStringLiteral("600"));

    EXPECT_EQ(page.apply(), QStringList());
    EXPECT_EQ(first->name(), QStringLiteral("Button1"));
    EXPECT_EQ(second->name(), QStringLiteral("Button2"));
    for (Button* button : {first, second}) {
        EXPECT_EQ(button->caption(), QStringLiteral("OK"));
        EXPECT_EQ(button->captionDown(), QStringLiteral("Validé"));
        EXPECT_EQ(button->heightTwips(), 600);
        EXPECT_EQ(button->widthTwips(), 1500); // the first button's width shown, so written to all
    }

    // One button again: the caption boxes come back.
    page.selectionChanged({second});
    EXPECT_TRUE(box("txbCaption")->isEnabled());
}

TEST_F(PageFixture, ArrangementAndSpacingAreWrittenOnlyWithoutAutoFit)
{
    Button* first = addButton(QStringLiteral("Button1"));
    Button* second = addButton(QStringLiteral("Button2"));
    for (Button* button : {first, second}) {
        button->setPicDefaultArrange(pdaTop);
        button->setPicCapSpacing(200);
    }
    page.selectionChanged({first, second});
    auto* onLeft = control<QRadioButton>("optPicDefaultArrange(0)");
    EXPECT_TRUE(onLeft->isEnabled());
    EXPECT_TRUE(box("txbPicCapSpacing")->isEnabled());

    list("cboPicAutoFit")->setCurrentIndex(pafYes);
    EXPECT_FALSE(onLeft->isEnabled());
    EXPECT_FALSE(box("txbPicCapSpacing")->isEnabled());
    EXPECT_FALSE(control<QLabel>("lblPicCapSpacing")->isEnabled());
    onLeft->setChecked(true);
    box("txbPicCapSpacing")->setText(QStringLiteral("10"));
    EXPECT_EQ(page.apply(), QStringList());
    for (Button* button : {first, second}) {
        EXPECT_EQ(button->picAutoFit(), pafYes);
        EXPECT_EQ(button->picDefaultArrange(), pdaTop);
        EXPECT_EQ(button->picCapSpacing(), 200);
    }

    // Back to pafNo: both are written, an empty spacing reading as 0.
    page.selectionChanged({first, second});
    EXPECT_FALSE(onLeft->isEnabled());
    list("cboPicAutoFit")->setCurrentIndex(pafNo);
    onLeft->setChecked(true);
    box("txbPicCapSpacing")->clear();
    EXPECT_EQ(page.apply(), QStringList());
    for (Button* button : {first, second}) {
        EXPECT_EQ(button->picAutoFit(), pafNo);
        EXPECT_EQ(button->picDefaultArrange(), pdaLeft);
        EXPECT_EQ(button->picCapSpacing(), 0);
    }
}

TEST_F(PageFixture, NumberBoxesTakeDigitsAndBackspaceOnly)
{
    page.selectionChanged({addButton(QStringLiteral("Button1"))});
    for (const char* name : {"txbWidth", "txbHeight", "txbPicCapSpacing"}) {
        QLineEdit* edit = box(name);
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("1a2 -,3"));
        EXPECT_EQ(edit->text(), QStringLiteral("123")) << name;
        QTest::keyClick(edit, Qt::Key_Backspace);
        EXPECT_EQ(edit->text(), QStringLiteral("12")) << name;
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier); // no paste past the filter either
        EXPECT_EQ(edit->text(), QStringLiteral("12")) << name;
    }
    QLineEdit* caption = box("txbCaption");
    caption->clear();
    QTest::keyClicks(caption, QStringLiteral("a1"));
    EXPECT_EQ(caption->text(), QStringLiteral("a1"));
}

TEST_F(PageFixture, GreyEnabledBoxCountsAsChecked)
{
    Button* button = addButton(QStringLiteral("Button1"));
    button->setEnabled(false);
    page.selectionChanged({button});
    auto* enabled = control<QCheckBox>("ckbEnabled");
    EXPECT_EQ(enabled->checkState(), Qt::Unchecked);

    const struct {
        Qt::CheckState state;
        bool enabled;
    } cases[] = {{Qt::PartiallyChecked, true}, {Qt::Unchecked, false}, {Qt::Checked, true}};
    for (const auto& entry : cases) {
        enabled->setCheckState(entry.state);
        page.apply();
        EXPECT_EQ(button->isEnabled(), entry.enabled) << entry.state;
    }

    // The button's own setting is shown even inside a disabled window.
    window.setEnabled(false);
    page.selectionChanged({button});
    EXPECT_EQ(enabled->checkState(), Qt::Checked);
}

TEST_F(PageFixture, RefusedAssignmentIsSkippedAndTheOthersApplied)
{
    Button* first = addButton(QStringLiteral("Button1"));
    Button* second = addButton(QStringLiteral("Button2"), 1950);
    page.selectionChanged({first, second});
    box("txbWidth")->clear();
    box("txbHeight")->setText(QStringLiteral("705"));
    box("txbToolTipText")->setText(QStringLiteral("Aide"));

    EXPECT_EQ(page.apply(), (QStringList{QStringLiteral("Button1.Width"), QStringLiteral("Button2.Width")}));
    EXPECT_EQ(first->widthTwips(), 1500);
    EXPECT_EQ(second->widthTwips(), 1950);
    for (Button* button : {first, second}) {
        EXPECT_EQ(button->heightTwips(), 705);
        EXPECT_EQ(button->toolTipText(), QStringLiteral("Aide"));
    }

    // A pressed button shows no appearance item; its appearance is left
    // alone, without a refusal that would keep the page from closing.
    Button* pressed = addButton(QStringLiteral("Button3"));
    pressed->setBtnSunkenEffects(bseYes);
    pressed->setValue(true);
    ASSERT_EQ(pressed->btnAppearance(), SunkenStyle);
    page.selectionChanged({pressed});
    EXPECT_EQ(list("cboBtnAppearance")->currentIndex(), -1);
    EXPECT_EQ(page.apply(), QStringList());
    EXPECT_EQ(pressed->btnAppearance(), SunkenStyle);
}

TEST_F(PageFixture, EditsMarkThePageChangedClicksOnlyOutsideLoading)
{
    Button* button = addButton(QStringLiteral("Button1"));
    page.selectionChanged({button});
    EXPECT_TRUE(page.isChanged()); // the boxes' texts changed while filling

    page.setChanged(false);
    page.selectionChanged({button}); // same texts; lists and options set while loading
    EXPECT_FALSE(page.isChanged());

    const std::function<void()> edits[] = {
        [&] { list("cboBtnSunkenEffects")->setCurrentIndex(bseNo); },
        [&] { control<QRadioButton>("optPicDefaultArrange(1)")->setChecked(true); },
        [&] { control<QCheckBox>("ckbEnabled")->setChecked(false); },
        [&] { box("txbToolTipText")->setText(QStringLiteral("x")); },
    };
    for (const auto& edit : edits) {
        page.setChanged(false);
        edit();
        EXPECT_TRUE(page.isChanged());
    }
}

TEST_F(PageFixture, FocusSelectsTheWholeText)
{
    page.selectionChanged({addButton(QStringLiteral("Button1"))});
    QLineEdit* caption = box("txbCaption");
    caption->deselect();
    QFocusEvent focus(QEvent::FocusIn, Qt::MouseFocusReason);
    QCoreApplication::sendEvent(caption, &focus);
    QCoreApplication::processEvents();
    EXPECT_EQ(caption->selectedText(), QStringLiteral("Button1"));
}
