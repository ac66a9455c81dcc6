#pragma once
// The report editor's format dialogs: characters, paragraphs, tab stops, and
// find / find-and-replace. Each dialog reads the current selection's format
// when it opens and applies what the user set on "OK"; the find dialog works
// on the editor directly.
#include <QDialog>
#include <QTextBlockFormat>
#include <QTextCharFormat>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFontComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTextCursor;
class QTextEdit;

namespace vexa {

// The character format of a selection: what all its characters share, and
// the properties (QTextFormat ids) in which they differ. Without a selection,
// the format at the caret.
struct SelectionCharFormat {
    QTextCharFormat common;
    QList<int> mixed;
};
SelectionCharFormat charFormatOfSelection(const QTextCursor& cursor);

class CharacterDialog : public QDialog {
    Q_OBJECT
public:
    // `mixed` properties show as undecided (a half-checked box, an empty font).
    CharacterDialog(const QTextCharFormat& current, QWidget* parent = nullptr, const QList<int>& mixed = {});
    // Only what the user changed of font, size, styles, colour and position:
    // merged into a selection, it leaves every other property as it was.
    QTextCharFormat format() const;

    QFontComboBox* fontBox;
    QDoubleSpinBox* sizeBox;
    QCheckBox* boldBox;
    QCheckBox* italicBox;
    QCheckBox* underlineBox;
    QCheckBox* strikeBox;
    QComboBox* positionBox; // normal, exposant, indice
    QPushButton* colourButton;

private:
    enum Change {
        Family = 1,
        Size = 2,
        Bold = 4,
        Italic = 8,
        Underline = 16,
        Strike = 32,
        Position = 64,
        Colour = 128
    };
    void watchChanges();

    QColor colour_;
    int changed_ = 0;
};

class ParagraphDialog : public QDialog {
    Q_OBJECT
public:
    ParagraphDialog(const QTextBlockFormat& current, QWidget* parent = nullptr);
    // The current format with the alignment, indents and spacing set here.
    QTextBlockFormat format() const;

    QComboBox* alignmentBox;
    QDoubleSpinBox* leftBox; // centimetres
    QDoubleSpinBox* rightBox;
    QDoubleSpinBox* firstLineBox;
    QDoubleSpinBox* beforeBox; // points
    QDoubleSpinBox* afterBox;
    QComboBox* lineSpacingBox; // simple, 1,5 ligne, double

private:
    QTextBlockFormat base_;
};

class TabStopsDialog : public QDialog {
    Q_OBJECT
public:
    TabStopsDialog(const QTextBlockFormat& current, QWidget* parent = nullptr);
    QTextBlockFormat format() const;

    QDoubleSpinBox* positionBox; // centimetres
    QComboBox* kindBox; // gauche, centré, droite, décimal
    QListWidget* stopList;
    QPushButton* addButton;
    QPushButton* removeButton;
    QPushButton* clearButton;

private:
    void addStop();
    QTextBlockFormat base_;
    QList<QTextOption::Tab> tabs_;
    void refill();
};

// Non-modal find ("Rechercher...") or find-and-replace ("Remplacer") on the
// editor's body; a search that reaches the end starts again at the top once.
class FindReplaceDialog : public QDialog {
    Q_OBJECT
public:
    FindReplaceDialog(QTextEdit* editor, bool replace, QWidget* parent = nullptr);

    // Selects the next occurrence after the caret; false when there is none.
    bool findNext();
    // Replaces the selected occurrence, then finds the next.
    bool replaceCurrent();
    // Replaces every occurrence; answers how many.
    int replaceAll();

    QLineEdit* findBox;
    QLineEdit* replaceBox;
    QCheckBox* caseBox;
    QCheckBox* wholeWordBox;

private:
    QTextEdit* editor_;
};

} // namespace vexa
