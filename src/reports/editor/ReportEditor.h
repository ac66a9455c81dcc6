#pragma once
// The report editor: a word-processing window on the report of an exam, a
// report template or the practice letterhead (the report session says which).
// The letterhead shows in the page header above the text of every document
// but itself; the eight patient fields go in as values, or as placeholders in
// a template. Reports are RTF files, saved whole or not at all.
#include "PatientFields.h"
#include "RtfDocument.h"

#include <QDialog>
#include <functional>

class QAction;
class QFontComboBox;
class QComboBox;
class QMenuBar;
class QTextEdit;
class QToolBar;

namespace brixel {
class Button;
}

namespace vexa {

class FormatRuler;

class ReportEditor : public QDialog {
    Q_OBJECT
public:
    static const QString DesignedCaption; // "Editer un compte-rendu..."
    static const QString SaveQuestion;
    static const QString SaveErrorText; // with its two trailing blanks
    static const QString MissingFileText;
    static const QString HeaderBlanks; // the header of a document when the letterhead is missing

    // Reads the report session. `area` is where the window goes (below the
    // main window's tab strip); an empty rectangle leaves the size alone.
    explicit ReportEditor(QWidget* parent = nullptr, const QRect& area = QRect());
    ~ReportEditor() override;

    // Loads the letterhead and the document; called once the window exists
    // (the constructor does it).
    void load();

    QMenuBar* menuBar;
    QToolBar* formatBar;
    FormatRuler* ruler;
    QTextEdit* headerEdit; // the page header, hidden when the letterhead itself is edited
    QTextEdit* bodyEdit;
    brixel::Button* quitButton;

    bool isModified() const { return modified_; }
    const RtfPageLayout& pageLayout() const { return page_; }

    // The window's operations, as the menus call them.
    void insertField(int index); // the session's entry `index` at the caret
    // Every occurrence of `token` replaced by `value`, the caret kept by index.
    void replaceField(const QString& token, const QString& value, bool underline);
    void replaceFieldsWithValues();
    void insertTemplate(); // "&Courriers types..."
    void insertText(); // "&Texte..."
    bool save(); // writes the document; false when it could not be written
    void saveAndClose(); // "Enregistrer"
    void print(); // "Imprimer"
    void printWithDialog();
    void findText();
    void replaceText();
    void formatCharacters();
    void formatParagraphs();
    void formatTabs();

    // Replaceable for tests: how a modal child window runs (the template
    // chooser, the format dialogs).
    std::function<int(QDialog&)> runWindow;

    // Escape closes like the close box, with its question.
    void reject() override { close(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildMenus();
    void BuildFormatBar();
    void UpdateFormatBar();
    void SetCaption();
    void LoadLetterhead();
    void LoadDocument();
    void SetPageWidth();
    QAction* AddAction(QMenu* menu, const QString& name, const QString& caption, const QKeySequence& shortcut,
        const std::function<void()>& action);
    int RunWindow(QDialog& dialog);

    RtfPageLayout page_;
    bool modified_ = false;
    bool hasHeader_ = false;
    bool unreadable_ = false; // the file on disk could not be read: kept aside before saving over it
    bool closeAsked_ = false;
    QFontComboBox* fontBox_ = nullptr;
    QComboBox* sizeBox_ = nullptr;
    QAction* boldAction_ = nullptr;
    QAction* italicAction_ = nullptr;
    QAction* underlineAction_ = nullptr;
    QList<QAction*> alignActions_;
    QString shownFamily_;
};

} // namespace vexa
