#pragma once
// A report laid out on paper: the body in pages below the letterhead, which
// is repeated at the top of every page, above the footer at the bottom of
// every page (its page number fields numbered page by page). Printing and the PDF output alike
// paint through this, page by page, with no sheet after the last page.
#include "reports/rtf/RtfDocument.h"

#include <QRectF>
#include <memory>

class QPagedPaintDevice;
class QPainter;
class QTextDocument;

namespace vexa {

class ReportPages {
public:
    // Lays out copies of `body`, `header` and `footer` (may be null or empty)
    // for `device`, whose page size and margins are set from `page` first.
    ReportPages(const QTextDocument& body, const QTextDocument* header, const RtfPageLayout& page,
        QPagedPaintDevice& device, const QTextDocument* footer = nullptr);
    ~ReportPages();

    int pageCount() const;

    // Paints pages first to last (1-based, clamped) `copies` times, starting a
    // new device page between two pages only. False when the device cannot be
    // painted on.
    bool print(int firstPage = 1, int lastPage = -1, int copies = 1);

    // The area of the page the body takes, in device pixels (for tests).
    QRectF bodyRect() const { return body_; }

private:
    void paintPage(QPainter& painter, int page) const;
    void paintFooter(QPainter& painter, int page) const;

    QPagedPaintDevice& device_;
    std::unique_ptr<QTextDocument> bodyDocument_;
    std::unique_ptr<QTextDocument> headerDocument_;
    std::unique_ptr<QTextDocument> footerDocument_;
    QRectF header_;
    QRectF footer_;
    QRectF body_;
};

} // namespace vexa
