#pragma once
// Puts what the RTF reader finds into one QTextDocument (the body, the header
// or the footer): text runs, paragraph ends with their format, pictures, page
// breaks, and table cells and rows, which become a QTextTable. A paragraph's
// format is set when the paragraph ends, as RTF gives it.
#include <QList>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextTableFormat>

class QTextDocument;
class QTextTable;

namespace vexa {

// A table row as \trowd ... \cellx describes it, in twips.
struct RtfRowDefinition {
    QList<int> cellRightEdges;
    int left = 0;
    int gap = 0; // half the space between cells
    bool bordered = false;
};

class RtfDocumentBuilder {
public:
    // Word's limit; further cells of a row go into its last cell.
    static constexpr int MaxColumns = 63;

    explicit RtfDocumentBuilder(QTextDocument* document);

    QTextDocument* document() const { return document_; }
    // The row that \trowd and \cellx describe, used by the rows that follow.
    RtfRowDefinition& rowDefinition() { return row_; }

    void appendText(
        const QString& text, const QTextCharFormat& format, const QTextBlockFormat& paragraph, bool inTable);
    void appendImage(const QTextImageFormat& format, const QTextBlockFormat& paragraph, bool inTable);
    void endParagraph(const QTextBlockFormat& paragraph, const QTextCharFormat& markFormat, bool inTable);
    // \page: the following text starts on a new page.
    void pageBreak(const QTextBlockFormat& paragraph, const QTextCharFormat& markFormat, bool inTable);
    // \cell: the next text goes into the next cell of the row.
    void endCell(const QTextBlockFormat& paragraph, const QTextCharFormat& markFormat);
    // \row: the next text in a table starts a new row.
    void endRow();
    // True when the paragraph being filled holds text or a picture.
    bool paragraphHasContent() const { return blockHasContent_; }
    // Closes an open table and drops the empty paragraph a final \par leaves.
    void finish();

    // Table cells budget for one reading, against input that multiplies them.
    void setCellBudget(long long* budget) { cellBudget_ = budget; }

private:
    void flush();
    void placeFor(bool inTable);
    void startTable();
    bool startNextRow();
    void nextCell();
    void leaveTable();
    void applyRowDefinition();
    void applyParagraph(const QTextBlockFormat& paragraph, const QTextCharFormat& markFormat);
    bool spendCells(int count);

    QTextDocument* document_;
    QTextCursor cursor_;
    QString pendingText_;
    QTextCharFormat pendingFormat_;
    QTextBlockFormat openParagraph_; // format of the paragraph being filled
    bool blockHasContent_ = false;
    bool pageBreakPending_ = false;

    RtfRowDefinition row_;
    QTextTable* table_ = nullptr;
    int tableRow_ = 0;
    int tableColumn_ = 0;
    bool cellEnded_ = false;
    bool rowEnded_ = false;
    bool widthsSet_ = false;
    long long* cellBudget_ = nullptr;
    bool undoWasEnabled_ = true;
};

} // namespace vexa
