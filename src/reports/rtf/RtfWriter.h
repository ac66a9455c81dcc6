#pragma once
// Writes a report document as RTF that Word, LibreOffice and WordPad open:
// Windows-1252 text with \'hh escapes and \uN for other characters, font and
// colour tables, paragraph and character formats, tab stops, tables as
// \trowd rows, pictures as PNG or JPEG (metafiles as read), the page header
// and footer, page size and margins. What the reader reads, it writes back.
#include "reports/rtf/RtfDocument.h"

#include <QByteArray>
#include <QString>

namespace vexa {

class RtfWriter {
public:
    static QByteArray write(const RtfDocument& document);
    static QByteArray write(const QTextDocument& body, const QTextDocument* header,
        const QTextDocument* footer, const RtfPageLayout& page);

    // Writes to a temporary file renamed into place: the previous file stays
    // whole until the new one is. False with a French message on failure.
    static bool writeFile(const QString& path, const RtfDocument& document, QString* error = nullptr);
    static bool writeFile(const QString& path, const QTextDocument& body, const QTextDocument* header,
        const QTextDocument* footer, const RtfPageLayout& page, QString* error = nullptr);
};

} // namespace vexa
