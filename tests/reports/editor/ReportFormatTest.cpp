// The editor's text insertion from a file, its ruler and its format and
// find-and-replace dialogs, acting on the report's paragraphs.
#include "ScriptedDialogService.h"
#include "reports/core/PatientFields.h"
#include "reports/core/ReportFiles.h"
#include "reports/editor/FormatDialogs.h"
#include "reports/editor/FormatRuler.h"
#include "reports/editor/ReportEditor.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <gtest/gtest.h>

using namespace vexa;

namespace {

constexpr double PixelsPerCm = 96.0 / 2.54;

class ReportFormatTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setReportDataFolder(data_.path());
        reportSession() = ReportSession();
        reportSession().reportPath = data_.filePath(QStringLiteral("1.2.3.rtf"));
        reportSession().fields[1] = QStringLiteral("DUPONT");
        reportSession().fields[2] = QStringLiteral("JEAN");
        editor_ = std::make_unique<ReportEditor>();
        editor_->show();
        QApplication::processEvents();
    }
    void TearDown() override { setReportDataFolder(QString()); }

    QString write(const char* name, const QByteArray& content)
    {
        const QString path = data_.filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }

    QTemporaryDir data_;
    ScriptedDialogService dialogs_;
    std::unique_ptr<ReportEditor> editor_;
};

} // namespace

TEST_F(ReportFormatTest, InsertTextAsksForAFileAndFillsItsFields)
{
    const struct {
        QByteArray content;
        const char* name; // "" for a cancelled dialog
        bool templateMode;
        const char* text;
        const char* message; // part of the message shown, "" for none
    } cases[] = {
        {"{\\rtf1 Patient #pn #pp\\par}", "a.rtf", false, "Patient DUPONT JEAN", ""},
        {"{\\rtf1 Patient #pn #pp\\par}", "a.rtf", true, "Patient #pn #pp", ""},
        {"Patient #pn", "a.txt", false, "Patient DUPONT", ""},
        {"<p>Patient <b>#pn</b></p>", "a.html", false, "Patient DUPONT", ""},
        {"x", "a.pdf", false, "", "n'est pas pris en charge"},
        {QByteArray("\xff\xd8\xff\xe0\0\x10JFIF\0\x01", 12), "photo.txt", false, "",
            "n'est pas un fichier texte"},
        {"", "", false, "", ""},
    };
    QString offered = templateFolder(); // then the last chosen file's name in it
    for (const auto& c : cases) {
        editor_->bodyEdit->clear();
        reportSession().templateMode = c.templateMode;
        ScriptedDialogService script;
        script.answerFile(*c.name ? write(c.name, c.content) : QString());
        editor_->insertText();
        ASSERT_EQ(script.files.size(), 1u);
        EXPECT_EQ(script.files[0].title, QStringLiteral("Insérer un Texte"));
        EXPECT_EQ(script.files[0].startPath, offered);
        if (*c.name)
            offered = templateFolder() + QString::fromLatin1(c.name);
        EXPECT_EQ(script.files[0].filters.value(0), QStringLiteral("Format RTF (*.rtf)"));
        EXPECT_EQ(editor_->bodyEdit->toPlainText().trimmed(), QString::fromUtf8(c.text)) << c.name;
        EXPECT_EQ(script.messages.size(), *c.message ? 1u : 0u) << c.name;
        if (*c.message) {
            EXPECT_TRUE(script.messages[0].text.contains(QString::fromUtf8(c.message)));
        }
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
}

TEST_F(ReportFormatTest, RulerSetsIndentsAndTabStopsOfTheParagraph)
{
    editor_->bodyEdit->setPlainText(QStringLiteral("Résultat\tnormal"));
    FormatRuler& ruler = *editor_->ruler;
    const double left = ruler.mapFromGlobal(editor_->bodyEdit->viewport()->mapToGlobal(QPoint(0, 0))).x()
        + editor_->bodyEdit->document()->documentMargin();
    const double top = 2;
    const double bottom = ruler.height() - 3;
    const auto at = [&](double cm, double y) { return QPointF(left + cm * PixelsPerCm, y); };
    // The left indent (bottom, at 0) to 2 cm: the first line stays at 0, a
    // hanging indent; then the first line (top) to 3 cm.
    ruler.dragMarker(at(0, bottom), at(2, bottom));
    EXPECT_NEAR(ruler.leftIndent(), 2 * PixelsPerCm, 1);
    EXPECT_NEAR(ruler.firstLineIndent(), 0, 1);
    ruler.dragMarker(at(0, top), at(3, top));
    EXPECT_NEAR(ruler.leftIndent(), 2 * PixelsPerCm, 1);
    EXPECT_NEAR(editor_->bodyEdit->textCursor().blockFormat().textIndent(), PixelsPerCm, 1);
    // The right indent (bottom, at the text's right edge) 1 cm in.
    const double width
        = editor_->bodyEdit->lineWrapColumnOrWidth() - 2 * editor_->bodyEdit->document()->documentMargin();
    ruler.dragMarker(QPointF(left + width, bottom), QPointF(left + width - PixelsPerCm, bottom));
    EXPECT_NEAR(ruler.rightIndent(), PixelsPerCm, 1);
    // A click on the scale at 5 cm adds a tab stop; dragged off the ruler it goes.
    ruler.dragMarker(at(5, bottom), at(5, bottom));
    ASSERT_EQ(ruler.tabStops().size(), 1);
    EXPECT_NEAR(ruler.tabStops()[0], 5 * PixelsPerCm, 1);
    EXPECT_NEAR(
        editor_->bodyEdit->textCursor().blockFormat().tabPositions().value(0).position, 5 * PixelsPerCm, 1);
    ruler.dragMarker(at(5, bottom), at(5, ruler.height() + 40));
    EXPECT_TRUE(ruler.tabStops().isEmpty());
    EXPECT_TRUE(editor_->isModified());
}

TEST_F(ReportFormatTest, FormatDialogsApplyWhatIsSet)
{
    editor_->bodyEdit->setPlainText(QStringLiteral("Conclusion normale"));
    editor_->bodyEdit->selectAll();
    editor_->runWindow = [](QDialog& dialog) {
        if (auto* characters = qobject_cast<CharacterDialog*>(&dialog)) {
            characters->boldBox->setChecked(true);
            characters->sizeBox->setValue(14);
            characters->positionBox->setCurrentIndex(1);
        } else if (auto* paragraph = qobject_cast<ParagraphDialog*>(&dialog)) {
            paragraph->alignmentBox->setCurrentIndex(1);
            paragraph->leftBox->setValue(1.5);
            paragraph->afterBox->setValue(6);
        } else if (auto* tabs = qobject_cast<TabStopsDialog*>(&dialog)) {
            tabs->positionBox->setValue(3);
            tabs->kindBox->setCurrentIndex(2);
            tabs->addButton->click();
            tabs->positionBox->setValue(8);
            tabs->addButton->click();
        }
        return int(QDialog::Accepted);
    };
    editor_->formatCharacters();
    editor_->formatParagraphs();
    editor_->formatTabs();
    QTextCursor inside(editor_->bodyEdit->document());
    inside.setPosition(3);
    EXPECT_EQ(inside.charFormat().fontWeight(), QFont::Bold);
    EXPECT_EQ(inside.charFormat().fontPointSize(), 14);
    EXPECT_EQ(inside.charFormat().verticalAlignment(), QTextCharFormat::AlignSuperScript);
    const QTextBlockFormat block = inside.blockFormat();
    EXPECT_EQ(block.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_NEAR(block.leftMargin(), 1.5 * PixelsPerCm, 0.5);
    EXPECT_NEAR(block.bottomMargin(), 8, 0.1);
    ASSERT_EQ(block.tabPositions().size(), 2);
    EXPECT_EQ(block.tabPositions()[0].type, QTextOption::RightTab);
    EXPECT_NEAR(block.tabPositions()[1].position, 8 * PixelsPerCm, 0.5);

    // Cancelled dialogs change nothing.
    editor_->runWindow = [](QDialog&) { return int(QDialog::Rejected); };
    editor_->formatParagraphs();
    EXPECT_EQ(inside.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
}

// A selection mixing formats keeps what the user did not change in the
// character dialog: its mixed styles show undecided, and only the changed
// property is applied to every character.
TEST_F(ReportFormatTest, CharacterDialogChangesOnlyWhatTheUserChanged)
{
    QTextCursor cursor(editor_->bodyEdit->document());
    QTextCharFormat title;
    title.setFontWeight(QFont::Bold);
    title.setFontPointSize(16);
    title.setFontFamilies({QStringLiteral("DejaVu Serif")});
    cursor.insertText(QStringLiteral("Conclusion"), title);
    QTextCharFormat text;
    text.setFontPointSize(11);
    text.setForeground(QColor(Qt::blue));
    cursor.insertText(QStringLiteral(" normale"), text);
    editor_->bodyEdit->selectAll();

    const SelectionCharFormat selection = charFormatOfSelection(editor_->bodyEdit->textCursor());
    for (int property : {QTextFormat::FontWeight, QTextFormat::FontPointSize, QTextFormat::FontFamilies,
             QTextFormat::ForegroundBrush})
        EXPECT_TRUE(selection.mixed.contains(property)) << property;
    EXPECT_FALSE(selection.mixed.contains(QTextFormat::FontItalic));

    Qt::CheckState boldShown = Qt::Unchecked;
    editor_->runWindow = [&boldShown](QDialog& dialog) {
        auto& characters = dynamic_cast<CharacterDialog&>(dialog);
        boldShown = characters.boldBox->checkState();
        characters.italicBox->setChecked(true);
        return int(QDialog::Accepted);
    };
    editor_->formatCharacters();
    EXPECT_EQ(boldShown, Qt::PartiallyChecked);
    const struct {
        int position;
        bool bold;
        double size;
        QString family;
    } expected[] = {{3, true, 16, QStringLiteral("DejaVu Serif")}, {14, false, 11, QString()}};
    for (const auto& e : expected) {
        QTextCursor at(editor_->bodyEdit->document());
        at.setPosition(e.position);
        const QTextCharFormat format = at.charFormat();
        EXPECT_TRUE(format.fontItalic()) << e.position;
        EXPECT_EQ(format.fontWeight() >= QFont::Bold, e.bold) << e.position;
        EXPECT_EQ(format.fontPointSize(), e.size) << e.position;
        EXPECT_EQ(format.fontFamilies().toStringList().value(0), e.family) << e.position;
    }

    // Deciding a mixed style applies it to all.
    editor_->bodyEdit->selectAll();
    editor_->runWindow = [](QDialog& dialog) {
        dynamic_cast<CharacterDialog&>(dialog).boldBox->setCheckState(Qt::Checked);
        return int(QDialog::Accepted);
    };
    editor_->formatCharacters();
    QTextCursor last(editor_->bodyEdit->document());
    last.setPosition(14);
    EXPECT_EQ(last.charFormat().fontWeight(), QFont::Bold);
    EXPECT_EQ(last.charFormat().fontPointSize(), 11);
}

TEST_F(ReportFormatTest, FindAndReplaceWrapAndEndOnValuesHoldingTheirText)
{
    editor_->bodyEdit->setPlainText(QStringLiteral("opacité basale, OPACITÉ apicale, opacité"));
    FindReplaceDialog dialog(editor_->bodyEdit, true);
    dialog.findBox->setText(QStringLiteral("opacité"));
    QTextCursor end = editor_->bodyEdit->textCursor();
    end.movePosition(QTextCursor::End);
    editor_->bodyEdit->setTextCursor(end);
    ASSERT_TRUE(dialog.findNext()); // from the end, back to the top
    EXPECT_EQ(editor_->bodyEdit->textCursor().selectionStart(), 0);
    dialog.caseBox->setChecked(true);
    dialog.replaceBox->setText(QStringLiteral("une opacité"));
    EXPECT_EQ(dialog.replaceAll(), 2);
    EXPECT_EQ(
        editor_->bodyEdit->toPlainText(), QStringLiteral("une opacité basale, OPACITÉ apicale, une opacité"));
    dialog.findBox->setText(QStringLiteral("absent"));
    EXPECT_FALSE(dialog.findNext());
}
