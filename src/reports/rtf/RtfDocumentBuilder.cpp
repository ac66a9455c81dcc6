#include "reports/rtf/RtfDocumentBuilder.h"

#include "base/core/Numeric.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextTable>
#include <algorithm>

namespace vexa {

namespace {

QVector<QTextLength> columnWidths(const RtfRowDefinition& row, int columns)
{
    QVector<QTextLength> widths(columns);
    int left = row.left;
    for (int i = 0; i < columns && i < row.cellRightEdges.size(); ++i) {
        const int right = row.cellRightEdges[i];
        if (right > left)
            widths[i] = QTextLength(QTextLength::FixedLength, double(right - left) / TwipsPerPixel);
        left = std::max(left, right);
    }
    return widths;
}

} // namespace

RtfDocumentBuilder::RtfDocumentBuilder(QTextDocument* document)
    : document_(document)
    , cursor_(document)
{
    cursor_.movePosition(QTextCursor::End);
    // One edit block for the whole reading, closed by finish(): the layout
    // runs once, and the document reports later changes as usual.
    cursor_.beginEditBlock();
}

void RtfDocumentBuilder::appendText(
    const QString& text, const QTextCharFormat& format, const QTextBlockFormat& paragraph, bool inTable)
{
    if (text.isEmpty())
        return;
    placeFor(inTable);
    if (!pendingText_.isEmpty() && format != pendingFormat_)
        flush();
    if (pendingText_.isEmpty())
        pendingFormat_ = format;
    pendingText_ += text;
    openParagraph_ = paragraph;
    blockHasContent_ = true;
}

void RtfDocumentBuilder::appendImage(
    const QTextImageFormat& format, const QTextBlockFormat& paragraph, bool inTable)
{
    placeFor(inTable);
    flush();
    cursor_.insertImage(format);
    openParagraph_ = paragraph;
    blockHasContent_ = true;
}

void RtfDocumentBuilder::endParagraph(
    const QTextBlockFormat& paragraph, const QTextCharFormat& markFormat, bool inTable)
{
    placeFor(inTable);
    flush();
    applyParagraph(paragraph, markFormat);
    QTextBlockFormat next = paragraph;
    next.clearProperty(QTextFormat::PageBreakPolicy);
    cursor_.insertBlock(next, markFormat);
    blockHasContent_ = false;
}

void RtfDocumentBuilder::pageBreak(
    const QTextBlockFormat& paragraph, const QTextCharFormat& markFormat, bool inTable)
{
    if (blockHasContent_ || !pendingText_.isEmpty())
        endParagraph(paragraph, markFormat, inTable);
    pageBreakPending_ = true;
}

void RtfDocumentBuilder::endCell(const QTextBlockFormat& paragraph, const QTextCharFormat& markFormat)
{
    placeFor(true);
    flush();
    applyParagraph(paragraph, markFormat);
    blockHasContent_ = false;
    if (table_) {
        cellEnded_ = true;
    } else {
        // No table could be made (cell budget spent): the cell reads as a paragraph.
        cursor_.insertBlock();
    }
}

void RtfDocumentBuilder::endRow()
{
    if (!table_)
        return;
    flush();
    if (!widthsSet_)
        applyRowDefinition();
    rowEnded_ = true;
    cellEnded_ = false;
}

void RtfDocumentBuilder::finish()
{
    flush();
    if (table_)
        leaveTable();
    if (blockHasContent_)
        applyParagraph(openParagraph_, cursor_.blockCharFormat());

    // The paragraph mark of the last paragraph leaves an empty block behind it.
    const QTextBlock last = document_->lastBlock();
    const QTextBlock previous = last.previous();
    if (last.length() == 1 && previous.isValid() && previous.position() + previous.length() == last.position()
        && !QTextCursor(previous).currentTable()) {
        QTextCursor remove(last);
        remove.deletePreviousChar();
    }
    cursor_.endEditBlock();
    document_->setUndoRedoEnabled(undoWasEnabled_);
}

void RtfDocumentBuilder::flush()
{
    if (pendingText_.isEmpty())
        return;
    cursor_.insertText(pendingText_, pendingFormat_);
    pendingText_.clear();
}

void RtfDocumentBuilder::placeFor(bool inTable)
{
    if (!inTable) {
        if (table_)
            leaveTable();
        return;
    }
    if (!table_) {
        startTable();
    } else if (rowEnded_) {
        if (!startNextRow())
            leaveTable();
    } else if (cellEnded_) {
        nextCell();
    }
}

void RtfDocumentBuilder::startTable()
{
    flush();
    if (blockHasContent_) {
        // Text before the first cell without a paragraph mark: end its paragraph.
        applyParagraph(openParagraph_, cursor_.blockCharFormat());
        cursor_.insertBlock();
        blockHasContent_ = false;
    }
    const int columns = std::clamp<int>(row_.cellRightEdges.size(), 1, MaxColumns);
    if (!spendCells(columns))
        return;
    QTextTableFormat format;
    format.setCellSpacing(0);
    format.setCellPadding(double(std::max(0, row_.gap)) / TwipsPerPixel);
    format.setBorderCollapse(true);
    format.setBorder(row_.bordered ? 1 : 0);
    format.setBorderStyle(
        row_.bordered ? QTextFrameFormat::BorderStyle_Solid : QTextFrameFormat::BorderStyle_None);
    const QTextBlock emptyBlock = cursor_.block();
    table_ = cursor_.insertTable(1, columns, format);
    // QTextDocument puts the table after the empty paragraph it was inserted
    // in; that paragraph is RTF's next one, which the table replaces. The
    // first paragraph of the document has to stay.
    const QTextBlock previous = emptyBlock.previous();
    if (emptyBlock.isValid() && emptyBlock.length() == 1 && emptyBlock.position() < table_->firstPosition()
        && previous.isValid() && !QTextCursor(previous).currentTable()) {
        QTextCursor remove(emptyBlock);
        remove.deletePreviousChar();
    }
    tableRow_ = 0;
    tableColumn_ = 0;
    rowEnded_ = false;
    cellEnded_ = false;
    widthsSet_ = false;
    if (!row_.cellRightEdges.isEmpty())
        applyRowDefinition();
    cursor_ = table_->cellAt(0, 0).firstCursorPosition();
}

bool RtfDocumentBuilder::startNextRow()
{
    const int wanted = std::min<int>(row_.cellRightEdges.size(), MaxColumns);
    if (wanted > table_->columns()) {
        if (!spendCells((wanted - table_->columns()) * table_->rows()))
            return false;
        table_->appendColumns(wanted - table_->columns());
    }
    if (tableRow_ + 1 >= table_->rows()) {
        // Rows are added in batches, the spare ones removed when the table
        // ends: QTextTable re-indexes all its cells after each change.
        int added = std::clamp(table_->rows(), 1, 256);
        if (!spendCells(added * table_->columns())) {
            added = 1;
            if (!spendCells(table_->columns()))
                return false;
        }
        table_->appendRows(added);
    }
    ++tableRow_;
    tableColumn_ = 0;
    rowEnded_ = false;
    cellEnded_ = false;
    cursor_ = table_->cellAt(tableRow_, 0).firstCursorPosition();
    return true;
}

void RtfDocumentBuilder::nextCell()
{
    cellEnded_ = false;
    if (tableColumn_ + 1 >= table_->columns()) {
        if (table_->columns() >= MaxColumns || !spendCells(table_->rows())) {
            // A cell past the last column: its text goes on in the last cell.
            cursor_.insertBlock();
            return;
        }
        table_->appendColumns(1);
    }
    ++tableColumn_;
    cursor_ = table_->cellAt(tableRow_, tableColumn_).firstCursorPosition();
}

void RtfDocumentBuilder::leaveTable()
{
    flush();
    if (tableRow_ + 1 < table_->rows())
        table_->removeRows(tableRow_ + 1, table_->rows() - tableRow_ - 1);
    cursor_ = table_->lastCursorPosition();
    cursor_.movePosition(QTextCursor::NextBlock);
    table_ = nullptr;
    blockHasContent_ = cursor_.block().length() > 1;
}

void RtfDocumentBuilder::applyRowDefinition()
{
    QTextTableFormat format = table_->format();
    format.setColumnWidthConstraints(columnWidths(row_, table_->columns()));
    format.setCellPadding(double(std::max(0, row_.gap)) / TwipsPerPixel);
    format.setBorder(row_.bordered ? 1 : 0);
    format.setBorderStyle(
        row_.bordered ? QTextFrameFormat::BorderStyle_Solid : QTextFrameFormat::BorderStyle_None);
    table_->setFormat(format);
    widthsSet_ = true;
}

void RtfDocumentBuilder::applyParagraph(const QTextBlockFormat& paragraph, const QTextCharFormat& markFormat)
{
    QTextBlockFormat format = paragraph;
    if (pageBreakPending_) {
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        pageBreakPending_ = false;
    }
    // Most paragraphs already have the format they were opened with.
    if (cursor_.blockFormat() != format)
        cursor_.setBlockFormat(format);
    if (cursor_.blockCharFormat() != markFormat)
        cursor_.setBlockCharFormat(markFormat);
}

bool RtfDocumentBuilder::spendCells(int count)
{
    if (!cellBudget_)
        return true;
    if (*cellBudget_ < count)
        return false;
    *cellBudget_ -= count;
    return true;
}

} // namespace vexa
