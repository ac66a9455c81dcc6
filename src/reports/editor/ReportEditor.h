#pragma once
// The report editor: a word-processing window on the report of an exam, a
// report template or the practice letterhead (the report session says which).
// The letterhead shows in the page header above the text of every document
// but itself; the eight patient fields go in as values, or as placeholders in
// a template. Reports are RTF files, saved whole or not at all: the page
// header and footer a document brings are kept and written back, what the
// editor cannot keep is told before saving, and a report changed on disk
// since it was opened (another workstation) is never overwritten.
#include "reports/core/PatientFields.h"
#include "reports/rtf/RtfDocument.h"

#include <QDateTime>
#include <QDialog>
#include <functional>
#include <memory>

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
    static const QString ChangedOnDiskText; // the save refused: the file changed since it was opened
    static const QString LossesText; // followed by the list of what cannot be kept and LossesQuestion
    static const QString LossesQuestion;

    enum class SaveOutcome {
        Saved,
        Failed, // the file could not be written
        Declined, // the user chose not to save (or to reload)
    };

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
    // The page header: the document's own, else the letterhead (hidden when
    // the letterhead itself is edited and has none).
    QTextEdit* headerEdit;
    QTextEdit* bodyEdit;
    QTextEdit* footerEdit; // the page footer, hidden when there is none
    brixel::Button* quitButton;

    bool isModified() const { return modified_; }
    // The file edited: the report session's path, or the one a "save under
    // another name" chose.
    const QString& documentPath() const { return path_; }
    // What the document holds that the editor cannot write back.
    const QStringList& losses() const { return losses_; }
    const RtfPageLayout& pageLayout() const { return page_; }

    // The window's operations, as the menus call them.
    void insertField(int index); // the session's entry `index` at the caret
    // Every occurrence of `token` replaced by `value`, the caret kept by index.
    void replaceField(const QString& token, const QString& value, bool underline);
    void replaceFieldsWithValues();
    void insertTemplate(); // "&Courriers types..."
    void insertText(); // "&Texte..."
    SaveOutcome saveDocument(); // writes the document, asking first where needed
    bool save() { return saveDocument() == SaveOutcome::Saved; }
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
    void buildMenus();
    void buildFormatBar();
    void updateFormatBar();
    void setCaption();
    struct DiskStamp {
        bool exists = false;
        qint64 size = -1;
        QDateTime modified;
        QByteArray hash;
        bool operator==(const DiskStamp&) const = default;
    };
    static DiskStamp stampOf(const QString& path);

    RtfDocument readDocument();
    RtfDocument readLetterhead();
    void showPart(QTextEdit* edit, std::unique_ptr<QTextDocument> part);
    void showBody(std::unique_ptr<QTextDocument> body);
    bool acceptLosses();
    SaveOutcome resolveChangeOnDisk();
    SaveOutcome saveUnderAnotherName();
    bool writeTo(const QString& path);
    void setPageWidth();
    QAction* addAction(QMenu* menu, const QString& name, const QString& caption, const QKeySequence& shortcut,
        const std::function<void()>& action);
    int showModal(QDialog& dialog);

    QString path_;
    DiskStamp stamp_; // the file as it was when read or last saved
    QStringList losses_;
    bool lossesAccepted_ = false;
    RtfPageLayout page_;
    bool modified_ = false;
    bool hasHeader_ = false;
    bool hasFooter_ = false;
    bool headerIsOwn_ = false; // the document's own header, written back whatever it holds
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
