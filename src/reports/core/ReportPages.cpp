#include "reports/core/ReportPages.h"

#include <QAbstractTextDocumentLayout>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace vexa {

namespace {

constexpr double TwipsPerInch = 1440.0;
constexpr int HeaderGapTwips = 240; // between the letterhead and the body

std::unique_ptr<QTextDocument> laidOutCopy(const QTextDocument& source, QPaintDevice& device, double width)
{
    std::unique_ptr<QTextDocument> copy(source.clone());
    copy->documentLayout()->setPaintDevice(&device);
    copy->setDocumentMargin(0);
    copy->setTextWidth(width);
    return copy;
}

// The footer of one page: the results of its PAGE and NUMPAGES fields (as
// read from the file) replaced by this page's number and the page count.
void numberPageFields(QTextDocument& footer, int page, int pages)
{
    struct Field {
        int position;
        int length;
        QString value;
    };
    QList<Field> fields;
    for (QTextBlock block = footer.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString instruction
                = fragment.charFormat().stringProperty(rtf_field_property::Instruction).trimmed().toUpper();
            const QString word = instruction.section(u' ', 0, 0);
            if (word == u"PAGE" || word == u"NUMPAGES" || word == u"SECTIONPAGES")
                fields.append({fragment.position(), fragment.length(),
                    QString::number(word == u"PAGE" ? page : pages)});
        }
    }
    // From the end, so earlier positions stay right.
    for (auto field = fields.crbegin(); field != fields.crend(); ++field) {
        QTextCursor cursor(&footer);
        cursor.setPosition(field->position);
        cursor.setPosition(field->position + field->length, QTextCursor::KeepAnchor);
        cursor.insertText(field->value, cursor.charFormat());
    }
}

} // namespace

ReportPages::ReportPages(const QTextDocument& body, const QTextDocument* header, const RtfPageLayout& page,
    QPagedPaintDevice& device, const QTextDocument* footer)
    : device_(device)
{
    const QPageSize paper(QSizeF(page.paperWidth / TwipsPerInch, page.paperHeight / TwipsPerInch),
        QPageSize::Inch, QString(), QPageSize::ExactMatch);
    device.setPageLayout(QPageLayout(paper, QPageLayout::Portrait, QMarginsF(), QPageLayout::Inch));

    const double dpiX = device.logicalDpiX();
    const double dpiY = device.logicalDpiY();
    const auto x = [&](int twips) { return twips * dpiX / TwipsPerInch; };
    const auto y = [&](int twips) { return twips * dpiY / TwipsPerInch; };
    const double width = x(std::max(page.textWidth(), 1440));

    double bodyTop = y(page.marginTop);
    if (header && !header->isEmpty()) {
        headerDocument_ = laidOutCopy(*header, device, width);
        const double height = headerDocument_->size().height();
        header_ = QRectF(x(page.marginLeft), y(page.headerDistance), width, height);
        bodyTop = std::max(bodyTop, header_.bottom() + y(HeaderGapTwips));
    }
    double bodyBottom = y(page.paperHeight - page.marginBottom);
    if (footer && !footer->isEmpty()) {
        footerDocument_ = laidOutCopy(*footer, device, width);
        const double height = footerDocument_->size().height();
        footer_
            = QRectF(x(page.marginLeft), y(page.paperHeight - page.footerDistance) - height, width, height);
        bodyBottom = std::min(bodyBottom, footer_.top() - y(HeaderGapTwips));
    }
    const double bodyHeight = std::max(bodyBottom - bodyTop, y(1440));
    body_ = QRectF(x(page.marginLeft), bodyTop, width, bodyHeight);

    bodyDocument_ = laidOutCopy(body, device, width);
    bodyDocument_->setPageSize(QSizeF(width, bodyHeight));
}

ReportPages::~ReportPages() = default;

int ReportPages::pageCount() const
{
    return std::max(1, bodyDocument_->pageCount());
}

bool ReportPages::print(int firstPage, int lastPage, int copies)
{
    const int count = pageCount();
    if (lastPage < 1 || lastPage > count)
        lastPage = count;
    firstPage = std::clamp(firstPage, 1, lastPage);
    QPainter painter;
    if (!painter.begin(&device_))
        return false;
    bool first = true;
    for (int copy = 0; copy < std::max(1, copies); ++copy) {
        for (int page = firstPage; page <= lastPage; ++page) {
            if (!first && !device_.newPage()) {
                painter.end();
                return false;
            }
            first = false;
            paintPage(painter, page);
        }
    }
    return painter.end();
}

void ReportPages::paintPage(QPainter& painter, int page) const
{
    QAbstractTextDocumentLayout::PaintContext context;
    if (headerDocument_) {
        painter.save();
        painter.translate(header_.topLeft());
        context.clip = QRectF(QPointF(0, 0), header_.size());
        headerDocument_->documentLayout()->draw(&painter, context);
        painter.restore();
    }
    if (footerDocument_)
        paintFooter(painter, page);
    const double pageTop = (page - 1) * body_.height();
    painter.save();
    painter.translate(body_.left(), body_.top() - pageTop);
    painter.setClipRect(QRectF(0, pageTop, body_.width(), body_.height()));
    // The layout draws a block that merely touches the area: one pixel less
    // at each end keeps the next page's first line (and the previous page's
    // last) out of this page altogether, not just out of sight.
    context.clip = QRectF(0, pageTop + 1, body_.width(), body_.height() - 2);
    bodyDocument_->documentLayout()->draw(&painter, context);
    painter.restore();
}

} // namespace vexa

namespace vexa {

void ReportPages::paintFooter(QPainter& painter, int page) const
{
    std::unique_ptr<QTextDocument> numbered(footerDocument_->clone());
    numbered->documentLayout()->setPaintDevice(&device_);
    numbered->setDocumentMargin(0);
    numbered->setTextWidth(footer_.width());
    numberPageFields(*numbered, page, pageCount());
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = QRectF(QPointF(0, 0), footer_.size());
    painter.save();
    painter.translate(footer_.topLeft());
    numbered->documentLayout()->draw(&painter, context);
    painter.restore();
}

} // namespace vexa
