// Button designs opened as Qt Designer forms and written back: the stored
// designs come back byte for byte, and an edited form changes only the lines
// it touched.
#include "DesignForm.h"
#include <brixel/DesignFile.h>

#include "QtPrinters.h"
#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

using namespace brixel;

namespace {

QString readFile(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(file.readAll());
}

// Replaces one expected piece of the form, failing when it is not there once.
void edit(QString& form, const QString& from, const QString& to)
{
    ASSERT_EQ(form.count(from), 1) << from.toStdString();
    form.replace(from, to);
}

const char* const SmallDesign = R"(; Buttons of a test window.
[cmdok]
caption = "Dire \"oui\""
btnwidth = 1310
btnheight = 420
left = 60
top = 90
capcolor = &H000000FF&
btnappearance = 2
picturedisp = ":/x/y.png"

[cmdcancel]
caption = "Annuler"
tooltiptext = "Fermer sans enregistrer"
enabled = Yes
btnwidth = abc

[cmdgone]
caption = "Supprimé"
)";

} // namespace

TEST(BrixelDesignForm, StoredDesignsComeBackUnchanged)
{
    const QString resources = qEnvironmentVariable("VEXA_SOURCE_DIR") + QStringLiteral("/resources");
    int designs = 0;
    for (QDirIterator it(resources, {QStringLiteral("*.design")}, QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString path = it.next();
        SCOPED_TRACE(path.toStdString());
        ++designs;
        const QString design = readFile(path);
        const QString form = designToForm(design, {QStringLiteral("window"), QStringLiteral("window.qrc")});

        QString error;
        EXPECT_EQ(formToDesign(form, {design, {}, {}}, &error), design) << error.toStdString();

        // Written as a new design, it holds the same buttons and gives the same form again.
        const auto fresh = formToDesign(form, {}, &error);
        ASSERT_TRUE(fresh.has_value()) << error.toStdString();
        EXPECT_EQ(DesignFile::parse(*fresh).sectionNames(), DesignFile::parse(design).sectionNames());
        EXPECT_EQ(designToForm(*fresh, {QStringLiteral("window"), QStringLiteral("window.qrc")}), form);
    }
    EXPECT_GE(designs, 4);
}

TEST(BrixelDesignForm, EditedFormChangesOnlyTheLinesItTouched)
{
    const QString design = QString::fromUtf8(SmallDesign);
    QString form = designToForm(design, {QStringLiteral("frmTest"), {}});
    // Pixels: 1310 twips is 87, 60 is 4; Designer may mark a typed property dynamic.
    edit(form, QStringLiteral("<string>Dire &quot;oui&quot;</string>"),
        QStringLiteral("<string>Dire &quot;non&quot;</string>"));
    edit(form, QStringLiteral("<width>87</width>"), QStringLiteral("<width>100</width>"));
    edit(form, QStringLiteral("<enum>brixel::Raised</enum>"), QStringLiteral("<enum>brixel::Flat</enum>"));
    edit(form, QStringLiteral("<property name=\"capColor\">"),
        QStringLiteral("<property name=\"capColor\" stdset=\"0\">"));
    edit(form,
        QStringLiteral("<property name=\"toolTipText\">\n    <string>Fermer sans enregistrer</string>\n   "
                       "</property>\n"),
        {});
    const qsizetype gone = form.indexOf(QStringLiteral("<widget class=\"brixel::Button\" name=\"cmdgone\">"));
    ASSERT_GT(gone, 0);
    const qsizetype goneEnd = form.indexOf(QStringLiteral("</widget>"), gone) + 9;
    form.replace(gone, goneEnd - gone,
        QStringLiteral("<widget class=\"brixel::Button\" name=\"cmdHelp\"><property name=\"geometry\"><rect>"
                       "<x>10</x><y>20</y><width>50</width><height>28</height></rect></property>"
                       "<property name=\"caption\"><string notr=\"true\">Aide</string></property></widget>"));

    QString error;
    EXPECT_EQ(formToDesign(form, {design, {}, {}}, &error), QString::fromUtf8(R"(; Buttons of a test window.
[cmdok]
caption = "Dire \"non\""
btnwidth = 1500
btnheight = 420
left = 60
top = 90
capcolor = &H000000FF&
btnappearance = 0
picturedisp = ":/x/y.png"

[cmdcancel]
caption = "Annuler"
enabled = Yes
btnwidth = abc

[cmdhelp]
caption = "Aide"
left = 150
top = 300
btnwidth = 750
btnheight = 420
)")) << error.toStdString();
}

TEST(BrixelDesignForm, RepeatedSectionIsWrittenOnceAsTheProgramReadsIt)
{
    const QString design = QStringLiteral("[a]\ncaption = \"Un\"\n[b]\ncaption = \"B\"\n"
                                          "[a]\ncaption = \"Deux\"\ntooltiptext = \"T\"\n");
    const QString form = designToForm(design, {QStringLiteral("frmTest"), {}});
    QString error;
    EXPECT_EQ(formToDesign(form, {design, {}, {}}, &error),
        QStringLiteral("[a]\ncaption = \"Deux\"\ntooltiptext = \"T\"\n[b]\ncaption = \"B\"\n"));
}

TEST(BrixelDesignForm, UnreadableFormsAreRefusedWithAReason)
{
    const struct {
        const char* form;
        const char* error;
    } cases[] = {
        {"not a form", "Ce fichier n'est pas un formulaire Qt Designer."},
        {"<ui version=\"4.0\"><widget class=\"QWidget\" name=\"w\">", "Formulaire illisible, ligne 1"},
        {"<ui><widget class=\"brixel::Button\" name=\"a\"/><widget class=\"brixel::Button\" "
         "name=\"A\"/></ui>",
            "Bouton sans nom ou nommé deux fois : « A »."},
    };
    for (const auto& entry : cases) {
        QString error;
        EXPECT_FALSE(formToDesign(QString::fromUtf8(entry.form), {}, &error).has_value()) << entry.form;
        EXPECT_TRUE(error.startsWith(QString::fromUtf8(entry.error))) << error.toStdString();
    }
}
