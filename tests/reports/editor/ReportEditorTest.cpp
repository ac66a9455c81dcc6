// The report editor window and the template chooser, driven as the user
// would: menus, closing with its question, saving, inserting templates.
#include "reports/editor/ReportEditor.h"
#include "ScriptedDialogService.h"
#include "base/core/DialogService.h"
#include "base/ui/QtDialogService.h"
#include "reports/core/PatientFields.h"
#include "reports/core/ReportFiles.h"
#include "reports/editor/TemplatePicker.h"
#include "reports/rtf/RtfReader.h"

#include <brixel/Button.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

using namespace vexa;

namespace {

const QByteArray LetterheadRtf
    = "{\\rtf1\\ansi\\ansicpg1252 \\qc\\b Cabinet de Radiologie des Tilleuls\\par}";
const QByteArray TemplateRtf
    = "{\\rtf1\\ansi\\ansicpg1252 Patient : #pn #pp, n\\'e9 le #pd\\par Sexe : #ps\\par}";

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Acts on the next message box the real dialog service shows, as the user
// would: the box is looked for once its own event loop runs.
void onNextMessageBox(std::function<void(QMessageBox&)> act, int tries = 200)
{
    QTimer::singleShot(5, [act = std::move(act), tries] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            act(*box);
            return;
        }
        if (tries > 0)
            onNextMessageBox(act, tries - 1);
    });
}

QString bodyText(const QString& path)
{
    RtfDocument document;
    return RtfReader::readFile(path, document) ? document.body->toPlainText()
                                               : QStringLiteral("<unreadable>");
}

// A folder no one can add a file to, root included, while the object lives.
class LockedFolder {
public:
    explicit LockedFolder(QString folder)
        : folder_(std::move(folder))
    {
        if (geteuid() == 0)
            locked_ = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), folder_}) == 0;
        else
            locked_ = QFile::setPermissions(folder_, QFile::ReadOwner | QFile::ExeOwner);
    }
    ~LockedFolder()
    {
        if (geteuid() == 0)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), folder_});
        else
            QFile::setPermissions(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool locked() const { return locked_; }

private:
    QString folder_;
    bool locked_ = false;
};

class ReportEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setReportDataFolder(data_.path());
        QDir(data_.path()).mkpath(QStringLiteral("CR"));
        writeFile(letterheadPath(), LetterheadRtf);
        writeFile(templatePath(QStringLiteral("Thorax")), TemplateRtf);
        reportPath_ = store_.filePath(QStringLiteral("1.2.3.rtf"));
        ReportSession& session = reportSession();
        session = ReportSession();
        session.reportPath = reportPath_;
        fillPatientFields(
            session.fields, false, nullptr, QStringLiteral("09/12/2026"), QStringLiteral("Dr MARTIN"));
        session.fields[1] = QStringLiteral("DUPONT");
        session.fields[2] = QStringLiteral("JEAN");
        session.fields[3] = QStringLiteral("12/03/1965");
    }
    void TearDown() override { setReportDataFolder(QString()); }

    std::unique_ptr<ReportEditor> openEditor()
    {
        auto editor = std::make_unique<ReportEditor>();
        editor->show();
        return editor;
    }

    void trigger(ReportEditor& editor, const char* name)
    {
        auto* action = editor.findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(action, nullptr) << name;
        action->trigger();
    }

    // Key presses carrying the characters, accented ones included.
    void type(ReportEditor& editor, const QString& text)
    {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(editor.bodyEdit, &press);
        }
    }

    QTemporaryDir data_;
    QTemporaryDir store_;
    QString reportPath_;
    ScriptedDialogService dialogs_;
};

} // namespace

TEST_F(ReportEditorTest, LetterheadGoesInTheHeaderOfEveryDocumentButItself)
{
    const struct {
        QString path;
        bool templateMode;
        bool letterheadPresent;
        bool headerShown;
        QString header;
        QString body;
    } cases[] = {
        {templatePath(QStringLiteral("Thorax")), true, true, true,
            QStringLiteral("Cabinet de Radiologie des Tilleuls"),
            QStringLiteral("Patient : #pn #pp, né le #pd\nSexe : #ps")},
        {QString(), false, true, true, QStringLiteral("Cabinet de Radiologie des Tilleuls"), QString()},
        {QString(), false, false, true, ReportEditor::HeaderBlanks, QString()},
        {letterheadPath(), false, true, false, QString(),
            QStringLiteral("Cabinet de Radiologie des Tilleuls")},
    };
    for (const auto& c : cases) {
        if (!c.letterheadPresent)
            QFile::rename(letterheadPath(), letterheadPath() + QStringLiteral(".away"));
        reportSession().reportPath = c.path.isEmpty() ? reportPath_ : c.path;
        reportSession().templateMode = c.templateMode;
        auto editor = openEditor();
        EXPECT_EQ(editor->headerEdit->isVisible(), c.headerShown) << c.path.toStdString();
        if (c.headerShown) {
            EXPECT_EQ(editor->headerEdit->toPlainText(), c.header) << c.path.toStdString();
        }
        EXPECT_EQ(editor->bodyEdit->toPlainText(), c.body) << c.path.toStdString();
        EXPECT_FALSE(editor->isModified());
        editor->close();
        if (!c.letterheadPresent)
            QFile::rename(letterheadPath() + QStringLiteral(".away"), letterheadPath());
    }
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(ReportEditorTest, CaptionNamesThePatientOrTheTemplate)
{
    auto report = openEditor();
    EXPECT_EQ(report->windowTitle(), QStringLiteral("Editer un compte-rendu... JEAN DUPONT"));
    report->close();
    reportSession().templateMode = true;
    reportSession().reportPath = templatePath(QStringLiteral("Thorax"));
    auto templ = openEditor();
    EXPECT_EQ(templ->windowTitle(), QStringLiteral("Editer un compte-rendu...Thorax.rtf"));
}

TEST_F(ReportEditorTest, MenusCarryTheirCaptionsAndShortcuts)
{
    auto editor = openEditor();
    const struct {
        const char* name;
        const char* caption;
        const char* shortcut;
    } items[] = {{"mnuSave", "Enregistrer", ""}, {"mnuPrint", "Imprimer", ""}, {"mnuQuit", "Quitter...", ""},
        {"mnuUndo", "Undo", "Ctrl+Z"}, {"mnuRedo", "Redo", "Ctrl+Y"}, {"mnuCut", "Couper", "Ctrl+X"},
        {"mnuCopy", "Copier", "Ctrl+C"}, {"mnuPaste", "Coller", "Ctrl+V"},
        {"mnuSearch", "Rechercher...", "Ctrl+F"}, {"mnuReplace", "Remplacer", "Ctrl+H"},
        {"mnuAllSelect", "Sélectionner tout", "Ctrl+A"}, {"mnuNom", "&Nom du patient", "Ctrl+F1"},
        {"mnuPrenom", "&Prénom du patient", "Ctrl+F2"},
        {"mnuDateNaissance", "&Date de Naissance du patient", "Ctrl+F3"},
        {"mnuGenre", "&Civilité du patient", "Ctrl+F4"}, {"mnuSexe", "&Sexe", "Ctrl+F5"},
        {"mnuDateExamen", "Date de l'&Examen", "Ctrl+F6"},
        {"mnuPraticien", "Praticien e&xécutant", "Ctrl+F7"}, {"mnuDateJour", "Date du &Jour", "Ctrl+F8"},
        {"mnuCourrierType", "&Courriers types...", ""}, {"mnuTexte", "&Texte...", ""},
        {"mnuChar", "&Caratères", ""}, {"mnuPar", "&Paragraphes", ""}, {"mnuTab", "&Tabulateurs", ""}};
    for (const auto& item : items) {
        auto* action = editor->findChild<QAction*>(QString::fromLatin1(item.name));
        ASSERT_NE(action, nullptr) << item.name;
        EXPECT_EQ(action->text(), QString::fromUtf8(item.caption)) << item.name;
        EXPECT_EQ(action->shortcut().toString(), QString::fromLatin1(item.shortcut)) << item.name;
    }
    QStringList menus;
    for (QAction* menu : editor->menuBar->actions())
        menus << menu->text();
    EXPECT_EQ(menus,
        QStringList({QStringLiteral("&Fichier"), QStringLiteral("&Edition"), QStringLiteral("&Insérer..."),
            QStringLiteral("&Format")}));
}

TEST_F(ReportEditorTest, FieldMenusTypePlaceholdersInTemplatesAndValuesInReports)
{
    fillPatientFields(reportSession().fields, true, nullptr, QString(), QString());
    reportSession().templateMode = true;
    auto templ = openEditor();
    trigger(*templ, "mnuNom");
    trigger(*templ, "mnuPrenom");
    trigger(*templ, "mnuDateNaissance");
    EXPECT_EQ(templ->bodyEdit->toPlainText(), QStringLiteral("#pn #pp#pd "));
    dialogs_.answerMessage(MsgResult::No);
    templ->close();

    SetUp();
    auto report = openEditor();
    trigger(*report, "mnuNom");
    type(*report, QStringLiteral(" "));
    trigger(*report, "mnuPrenom");
    EXPECT_EQ(report->bodyEdit->toPlainText(), QStringLiteral("DUPONT JEAN"));
}

TEST_F(ReportEditorTest, InsertedTemplateIsFilledAndAMissingOneIsTold)
{
    auto editor = openEditor();
    type(*editor, QStringLiteral("Début. "));
    QString chosenName = QStringLiteral("Thorax");
    editor->runWindow = [&](QDialog& dialog) {
        auto& picker = dynamic_cast<TemplatePicker&>(dialog);
        picker.nameBox->setText(chosenName);
        picker.confirm();
        return int(QDialog::Accepted);
    };
    trigger(*editor, "mnuCourrierType");
    EXPECT_EQ(editor->bodyEdit->toPlainText(),
        QStringLiteral("Début. Patient : DUPONT JEAN, né le 12/03/1965\nSexe : "));
    EXPECT_EQ(reportSession().reportPath, reportPath_);
    EXPECT_TRUE(dialogs_.messages.empty());

    chosenName = QStringLiteral("Absent");
    trigger(*editor, "mnuCourrierType");
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text, QStringLiteral("Ce fichier n'existe pas"));
    EXPECT_EQ(dialogs_.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(reportSession().reportPath, reportPath_);
}

TEST_F(ReportEditorTest, ClosingAsksOnlyAboutChangesAndSavesOnYes)
{
    enum Closing { QuitButton, SaveMenu, EscapeKey };
    const struct {
        const char* what;
        bool change;
        Closing how;
        std::optional<MsgResult> answer; // the question's answer; none when no question is expected
        bool saved;
        bool closed;
    } cases[] = {
        {"unchanged", false, QuitButton, std::nullopt, false, true},
        {"Enregistrer", true, SaveMenu, std::nullopt, true, true},
        {"changed, Yes", true, QuitButton, MsgResult::Yes, true, true},
        {"changed, No", true, QuitButton, MsgResult::No, false, true},
        {"changed, Cancel", true, QuitButton, MsgResult::Cancel, false, false},
        {"changed, Escape, Yes", true, EscapeKey, MsgResult::Yes, true, true},
    };
    for (const auto& c : cases) {
        QFile::remove(reportPath_);
        ScriptedDialogService script;
        if (c.answer)
            script.answerMessage(*c.answer);
        auto editor = openEditor();
        if (c.change)
            type(*editor, QStringLiteral("Poumons clairs, é à ç."));
        if (c.how == SaveMenu)
            trigger(*editor, "mnuSave");
        else if (c.how == EscapeKey)
            QTest::keyClick(editor->bodyEdit, Qt::Key_Escape);
        else
            emit editor->quitButton->Click();
        EXPECT_EQ(editor->isVisible(), !c.closed) << c.what;
        ASSERT_EQ(script.messages.size(), c.answer ? 1u : 0u) << c.what;
        if (c.answer) {
            EXPECT_EQ(script.messages[0].text, ReportEditor::SaveQuestion);
            EXPECT_EQ(script.messages[0].buttons, MsgButtons::YesNoCancel);
        }
        EXPECT_EQ(QFile::exists(reportPath_), c.saved) << c.what;
        if (c.saved) {
            EXPECT_EQ(bodyText(reportPath_), QStringLiteral("Poumons clairs, é à ç.")) << c.what;
            RtfDocument saved;
            ASSERT_TRUE(RtfReader::readFile(reportPath_, saved));
            ASSERT_TRUE(saved.header);
            EXPECT_EQ(saved.header->toPlainText(), QStringLiteral("Cabinet de Radiologie des Tilleuls"));
        }
        if (!c.closed) {
            EXPECT_TRUE(editor->isModified()) << c.what;
        }
    }
}

// The question as the real dialog service shows it: Escape and the box's
// close button mean "Annuler", never "Non".
TEST_F(ReportEditorTest, RealQuestionKeepsTheReportOnEscapeAndTheCloseBox)
{
    const QByteArray before = "{\\rtf1\\ansi Compte-rendu d'origine\\par}";
    enum Answer { Escape, CloseBox, No, Yes };
    const struct {
        const char* what;
        Answer answer;
        bool closed;
        QString saved; // the report's text afterwards
    } cases[] = {
        {"Escape", Escape, false, QStringLiteral("Compte-rendu d'origine")},
        {"close box", CloseBox, false, QStringLiteral("Compte-rendu d'origine")},
        {"Non", No, true, QStringLiteral("Compte-rendu d'origine")},
        {"Oui", Yes, true, QStringLiteral("Ajout. Compte-rendu d'origine")},
    };
    QtDialogService real;
    setDialogService(&real);
    for (const auto& c : cases) {
        writeFile(reportPath_, before);
        auto editor = openEditor();
        editor->activateWindow();
        type(*editor, QStringLiteral("Ajout. "));
        onNextMessageBox([&c](QMessageBox& box) {
            switch (c.answer) {
            case Escape:
                QTest::keyClick(&box, Qt::Key_Escape);
                break;
            case CloseBox:
                box.close();
                break;
            case No:
                box.button(QMessageBox::No)->click();
                break;
            case Yes:
                box.button(QMessageBox::Yes)->click();
                break;
            }
        });
        // Escape on the editor asks the question; it never closes on its own.
        QTest::keyClick(editor->bodyEdit, Qt::Key_Escape);
        EXPECT_EQ(editor->isVisible(), !c.closed) << c.what;
        EXPECT_EQ(bodyText(reportPath_), c.saved) << c.what;
        if (!c.closed) {
            EXPECT_EQ(readBytes(reportPath_), before) << c.what;
            EXPECT_EQ(editor->bodyEdit->toPlainText(), QStringLiteral("Ajout. Compte-rendu d'origine"));
            editor->hide();
        }
    }
    setDialogService(&dialogs_);
}

// Word and LibreOffice reports, templates and the letterhead bring their own
// page header and footer: shown, and written back as they came. The
// letterhead stands in for a header (and footer) a document lacks, whether
// its text is in its body or in its own page header.
TEST_F(ReportEditorTest, OwnHeaderAndFooterAreKeptAndTheLetterheadFillsTheRest)
{
    const QByteArray ownParts = "{\\rtf1\\ansi{\\header\\pard En-t\\'eate Word\\par}{\\footer\\pard "
                                "Pied {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}\\par}Corps\\par}";
    const QByteArray footerOnly = "{\\rtf1\\ansi{\\footer\\pard Pied seul\\par}Corps\\par}";
    const QByteArray letterheadInHeader
        = "{\\rtf1\\ansi{\\header\\pard Cabinet du Parc\\par}{\\footer\\pard Adresse du cabinet\\par}}";
    const struct {
        const char* what;
        QByteArray report;
        QByteArray letterhead;
        bool editLetterhead;
        QString header; // shown and saved; "" when none
        QString footer;
    } cases[] = {
        {"own parts", ownParts, LetterheadRtf, false, QStringLiteral("En-tête Word"),
            QStringLiteral("Pied 1")},
        {"footer only", footerOnly, LetterheadRtf, false,
            QStringLiteral("Cabinet de Radiologie des Tilleuls"), QStringLiteral("Pied seul")},
        {"letterhead in its header", QByteArray("{\\rtf1\\ansi Corps\\par}"), letterheadInHeader, false,
            QStringLiteral("Cabinet du Parc"), QStringLiteral("Adresse du cabinet")},
        {"the letterhead itself", letterheadInHeader, letterheadInHeader, true,
            QStringLiteral("Cabinet du Parc"), QStringLiteral("Adresse du cabinet")},
    };
    for (const auto& c : cases) {
        writeFile(letterheadPath(), c.letterhead);
        const QString path = c.editLetterhead ? letterheadPath() : reportPath_;
        writeFile(path, c.report);
        reportSession().reportPath = path;
        auto editor = openEditor();
        EXPECT_TRUE(editor->headerEdit->isVisible()) << c.what;
        EXPECT_EQ(editor->headerEdit->toPlainText(), c.header) << c.what;
        EXPECT_TRUE(editor->footerEdit->isVisible()) << c.what;
        EXPECT_EQ(editor->footerEdit->toPlainText(), c.footer) << c.what;
        type(*editor, QStringLiteral("Ajout "));
        trigger(*editor, "mnuSave");
        EXPECT_FALSE(editor->isVisible()) << c.what;
        RtfDocument saved;
        ASSERT_TRUE(RtfReader::readFile(path, saved)) << c.what;
        ASSERT_TRUE(saved.header && saved.footer) << c.what;
        EXPECT_EQ(saved.header->toPlainText(), c.header) << c.what;
        EXPECT_EQ(saved.footer->toPlainText(), c.footer) << c.what;
        EXPECT_TRUE(saved.body->toPlainText().startsWith(QStringLiteral("Ajout "))) << c.what;
    }
    // The page number stays a field that Word and LibreOffice number anew.
    writeFile(reportPath_, ownParts);
    reportSession().reportPath = reportPath_;
    auto editor = openEditor();
    type(*editor, QStringLiteral("x"));
    trigger(*editor, "mnuSave");
    EXPECT_TRUE(readBytes(reportPath_).contains("{\\field{\\*\\fldinst PAGE}{\\fldrslt "));
    EXPECT_TRUE(dialogs_.messages.empty());
}

// Two workstations on one report: the second save finds the file changed
// since it read it and overwrites nothing; the user saves elsewhere or reloads.
TEST_F(ReportEditorTest, ReportChangedElsewhereIsNeverOverwritten)
{
    writeFile(reportPath_, "{\\rtf1\\ansi Examen\\par}");
    auto first = openEditor();
    auto second = openEditor();
    type(*first, QStringLiteral("Premier poste. "));
    trigger(*first, "mnuSave");
    const QByteArray firstSaved = readBytes(reportPath_);
    EXPECT_EQ(bodyText(reportPath_), QStringLiteral("Premier poste. Examen"));

    type(*second, QStringLiteral("Second poste. "));
    dialogs_.answerMessage(MsgResult::Cancel);
    trigger(*second, "mnuSave");
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text, ReportEditor::ChangedOnDiskText.arg(reportPath_));
    EXPECT_EQ(dialogs_.messages[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_TRUE(second->isVisible());
    EXPECT_TRUE(second->isModified());
    EXPECT_EQ(readBytes(reportPath_), firstSaved);

    // Closing with "Oui" asks the same; "Oui" there saves under another name.
    const QString elsewhere = store_.filePath(QStringLiteral("second.rtf"));
    dialogs_.answerMessage(MsgResult::Yes);
    dialogs_.answerMessage(MsgResult::Yes);
    dialogs_.answerFile(store_.filePath(QStringLiteral("second")));
    second->close();
    EXPECT_FALSE(second->isVisible());
    ASSERT_EQ(dialogs_.files.size(), 1u);
    EXPECT_EQ(dialogs_.files[0].kind, FileRequest::Kind::Save);
    EXPECT_EQ(readBytes(reportPath_), firstSaved);
    EXPECT_EQ(bodyText(elsewhere), QStringLiteral("Second poste. Examen"));

    // "Non" reloads the report as the other workstation saved it.
    auto third = openEditor();
    writeFile(reportPath_, "{\\rtf1\\ansi Autre poste\\par}");
    type(*third, QStringLiteral("Perdu. "));
    dialogs_.answerMessage(MsgResult::No);
    trigger(*third, "mnuSave");
    EXPECT_TRUE(third->isVisible());
    EXPECT_EQ(third->bodyEdit->toPlainText(), QStringLiteral("Autre poste"));
    EXPECT_FALSE(third->isModified());
    EXPECT_EQ(bodyText(reportPath_), QStringLiteral("Autre poste"));
    EXPECT_EQ(dialogs_.unexpected, 0);
}

// What the editor cannot write back is told before the first save, which
// the user may refuse; asked once per opening.
TEST_F(ReportEditorTest, WhatCannotBeKeptIsToldBeforeSaving)
{
    const QByteArray withFootnote
        = "{\\rtf1\\ansi Texte{\\footnote\\pard Note de bas de page\\par} suite\\par}";
    writeFile(reportPath_, withFootnote);
    auto editor = openEditor();
    EXPECT_EQ(editor->losses(), QStringList({QStringLiteral("les notes de bas de page")}));
    type(*editor, QStringLiteral("Ajout "));
    dialogs_.answerMessage(MsgResult::No);
    trigger(*editor, "mnuSave");
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_TRUE(dialogs_.messages[0].text.startsWith(ReportEditor::LossesText));
    EXPECT_TRUE(dialogs_.messages[0].text.contains(QStringLiteral("les notes de bas de page")));
    EXPECT_TRUE(dialogs_.messages[0].text.endsWith(ReportEditor::LossesQuestion));
    EXPECT_EQ(dialogs_.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(dialogs_.messages[0].defaultButton, MsgResult::No);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(readBytes(reportPath_), withFootnote);

    // Refused while closing: no save error, the window stays.
    dialogs_.answerMessage(MsgResult::Yes);
    dialogs_.answerMessage(MsgResult::No);
    editor->close();
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(dialogs_.messages.size(), 3u);
    EXPECT_EQ(readBytes(reportPath_), withFootnote);

    dialogs_.answerMessage(MsgResult::Yes);
    trigger(*editor, "mnuSave");
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(bodyText(reportPath_), QStringLiteral("Ajout Texte suite"));
    EXPECT_EQ(dialogs_.messages.size(), 4u);
}

TEST_F(ReportEditorTest, FailedSaveKeepsTheWindowOpenAndTheOldReport)
{
    writeFile(reportPath_, "{\\rtf1\\ansi Ancien compte-rendu\\par}");
    const QByteArray before = readBytes(reportPath_);
    auto editor = openEditor();
    EXPECT_EQ(editor->bodyEdit->toPlainText(), QStringLiteral("Ancien compte-rendu"));
    type(*editor, QStringLiteral("Nouveau "));
    EXPECT_EQ(editor->bodyEdit->toPlainText(), QStringLiteral("Nouveau Ancien compte-rendu"));
    LockedFolder locked(store_.path());
    if (!locked.locked())
        GTEST_SKIP() << "the folder cannot be locked here";

    EXPECT_TRUE(editor->isModified());
    // "Enregistrer" failing: nothing shown, the window stays.
    trigger(*editor, "mnuSave");
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(dialogs_.messages.empty());

    // Closing: the question, Yes, the error, and the closing cancelled.
    dialogs_.answerMessage(MsgResult::Yes);
    editor->close();
    EXPECT_TRUE(editor->isVisible());
    ASSERT_EQ(dialogs_.messages.size(), 2u);
    EXPECT_EQ(dialogs_.messages[1].text, QStringLiteral("Erreur de sauvegarde.  "));
    EXPECT_EQ(dialogs_.messages[1].icon, MsgIcon::Critical);
    EXPECT_EQ(editor->bodyEdit->toPlainText(), QStringLiteral("Nouveau Ancien compte-rendu"));
    EXPECT_TRUE(editor->isModified());
    EXPECT_EQ(readBytes(reportPath_), before);
    EXPECT_EQ(QDir(store_.path()).entryList(QDir::Files), QStringList({QStringLiteral("1.2.3.rtf")}));
}

TEST_F(ReportEditorTest, UnreadableReportIsKeptAsideBeforeBeingReplaced)
{
    writeFile(reportPath_, "not an rtf file");
    auto editor = openEditor();
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_TRUE(dialogs_.messages[0].text.contains(QStringLiteral("n'a pas pu être lu")));
    type(*editor, QStringLiteral("Texte"));
    trigger(*editor, "mnuSave");
    EXPECT_EQ(readBytes(reportPath_ + QStringLiteral(".bak")), QByteArray("not an rtf file"));
    EXPECT_EQ(bodyText(reportPath_), QStringLiteral("Texte"));
}

TEST_F(ReportEditorTest, UndoDoesNotUnloadTheDocument)
{
    writeFile(reportPath_, "{\\rtf1\\ansi Texte charg\\'e9\\par}");
    auto editor = openEditor();
    editor->bodyEdit->undo();
    EXPECT_EQ(editor->bodyEdit->toPlainText(), QStringLiteral("Texte chargé"));
    EXPECT_FALSE(editor->isModified());
}

class TemplatePickerTest : public ReportEditorTest { };

TEST_F(TemplatePickerTest, ListsTemplatesAndPutsFocusWhereTheUserStarts)
{
    writeFile(
        templatePath(QStringLiteral("Lettre")).replace(QStringLiteral(".rtf"), QStringLiteral(".Rtf")), "x");
    {
        TemplatePicker picker;
        picker.show();
        picker.activateWindow();
        QApplication::processEvents();
        QStringList listed;
        for (int i = 0; i < picker.templateList->count(); ++i)
            listed << picker.templateList->item(i)->text();
        EXPECT_EQ(listed, QStringList({QStringLiteral("Lettre"), QStringLiteral("Thorax")}));
        EXPECT_EQ(QApplication::focusWidget(), picker.templateList);
        // The highlighted template is the one Enter opens.
        EXPECT_EQ(picker.templateList->currentRow(), 0);
        QTest::keyClick(picker.templateList, Qt::Key_Return);
        EXPECT_EQ(reportSession().reportPath, templateFolder() + QStringLiteral("Lettre.Rtf"));
    }
    QDir(templateFolder()).removeRecursively();
    QDir().mkpath(templateFolder());
    TemplatePicker empty;
    empty.show();
    empty.activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(empty.templateList->count(), 0);
    EXPECT_EQ(QApplication::focusWidget(), empty.nameBox);
}

TEST_F(TemplatePickerTest, NameBoxRefusesTheNineCharactersAndOkGivesThePath)
{
    reportSession().reportPath = QStringLiteral("previous");
    TemplatePicker picker;
    EXPECT_TRUE(reportSession().reportPath.isEmpty());
    QTest::keyClicks(picker.nameBox, QStringLiteral("a\\b/c:d*e?f\"g<h>i|j"));
    EXPECT_EQ(picker.nameBox->text(), QStringLiteral("abcdefghij"));
    picker.nameBox->clear();
    picker.nameBox->insert(QStringLiteral("../entete")); // as a paste does
    EXPECT_EQ(picker.nameBox->text(), QStringLiteral("..entete"));
    picker.nameBox->setText(QStringLiteral("abcdefghij"));
    picker.okButton->click();
    EXPECT_EQ(reportSession().reportPath, templatePath(QStringLiteral("abcdefghij")));

    TemplatePicker blank;
    blank.okButton->click();
    EXPECT_TRUE(reportSession().reportPath.isEmpty());
    TemplatePicker cancelled;
    cancelled.nameBox->setText(QStringLiteral("Thorax"));
    cancelled.cancelButton->click();
    EXPECT_TRUE(reportSession().reportPath.isEmpty());
}

TEST_F(TemplatePickerTest, DeleteAsksThenRemovesAndRefills)
{
    TemplatePicker picker;
    EXPECT_TRUE(picker.deleteButton->isEnabled());
    picker.deleteTemplate(); // empty name: nothing happens
    EXPECT_TRUE(dialogs_.messages.empty());

    picker.templateList->setCurrentRow(0);
    QTest::mouseClick(picker.templateList->viewport(), Qt::LeftButton, {},
        picker.templateList->visualItemRect(picker.templateList->item(0)).center());
    ASSERT_EQ(picker.nameBox->text(), QStringLiteral("Thorax"));
    dialogs_.answerMessage(MsgResult::No);
    picker.deleteButton->click();
    EXPECT_TRUE(QFile::exists(templatePath(QStringLiteral("Thorax"))));
    dialogs_.answerMessage(MsgResult::Yes);
    picker.deleteButton->click();
    ASSERT_EQ(dialogs_.messages.size(), 2u);
    EXPECT_EQ(dialogs_.messages[1].text,
        QStringLiteral("Etes-vous sûr de vouloir effacer le compte-rendu : \r\nThorax ?"));
    EXPECT_EQ(dialogs_.messages[1].icon, MsgIcon::Question);
    EXPECT_FALSE(QFile::exists(templatePath(QStringLiteral("Thorax"))));
    EXPECT_EQ(picker.templateList->count(), 0);
    EXPECT_TRUE(picker.nameBox->text().isEmpty());
    EXPECT_FALSE(picker.deleteButton->isEnabled());
}

// Templates copied from Windows ("GENOU.RTF") are listed by their name and
// opened, inserted, saved and deleted under their real file name, apart from
// a template whose name differs only by its letter case.
TEST_F(TemplatePickerTest, UpperCaseTemplatesAreOpenedInsertedSavedAndDeleted)
{
    const QString upper = templateFolder() + QStringLiteral("GENOU.RTF");
    const QString lower = templateFolder() + QStringLiteral("genou.rtf");
    writeFile(upper, "{\\rtf1\\ansi Genou : #pn\\par}");
    writeFile(lower, "{\\rtf1\\ansi genou minuscule\\par}");
    const auto choose = [](const QString& name) {
        return [name](QDialog& dialog) {
            auto& picker = dynamic_cast<TemplatePicker&>(dialog);
            picker.nameBox->setText(name);
            picker.confirm();
            return int(QDialog::Accepted);
        };
    };
    const struct {
        const char* name;
        QString file;
        QString inserted;
    } cases[] = {
        {"GENOU", upper, QStringLiteral("Genou : DUPONT")},
        {"genou", lower, QStringLiteral("genou minuscule")},
    };
    for (const auto& c : cases) {
        // Inserted into a report with "Courriers types...".
        reportSession().reportPath = reportPath_;
        reportSession().templateMode = false;
        auto report = openEditor();
        report->runWindow = choose(QString::fromLatin1(c.name));
        trigger(*report, "mnuCourrierType");
        EXPECT_EQ(report->bodyEdit->toPlainText(), c.inserted) << c.name;
        report->hide();

        // Opened from the chooser, edited and saved in place.
        TemplatePicker picker;
        picker.nameBox->setText(QString::fromLatin1(c.name));
        picker.confirm();
        ASSERT_EQ(reportSession().reportPath, c.file) << c.name;
        reportSession().templateMode = true;
        auto templ = openEditor();
        EXPECT_TRUE(templ->bodyEdit->toPlainText().startsWith(c.inserted.left(5))) << c.name;
        type(*templ, QStringLiteral("Revu. "));
        trigger(*templ, "mnuSave");
        EXPECT_TRUE(bodyText(c.file).startsWith(QStringLiteral("Revu. "))) << c.name;
    }
    QStringList files = QDir(templateFolder()).entryList(QDir::Files);
    files.sort();
    EXPECT_EQ(files,
        QStringList(
            {QStringLiteral("GENOU.RTF"), QStringLiteral("Thorax.rtf"), QStringLiteral("genou.rtf")}));
    EXPECT_TRUE(dialogs_.messages.empty());

    // Deleted by its real name; the other one stays.
    TemplatePicker picker;
    picker.nameBox->setText(QStringLiteral("GENOU"));
    dialogs_.answerMessage(MsgResult::Yes);
    picker.deleteButton->click();
    EXPECT_FALSE(QFile::exists(upper));
    EXPECT_TRUE(QFile::exists(lower));
    QStringList listed;
    for (int i = 0; i < picker.templateList->count(); ++i)
        listed << picker.templateList->item(i)->text();
    listed.sort();
    EXPECT_EQ(listed, QStringList({QStringLiteral("Thorax"), QStringLiteral("genou")}));
}
