#pragma once
// Reads RTF into a report document: body, page header and footer, page size
// and margins. Word, LibreOffice and WordPad files read with their text,
// character and paragraph formats, tab stops, tables, PNG and JPEG pictures;
// lists read as the text they show. Damaged or hostile input reads what it
// can: unknown destinations are skipped, nesting, sizes and counts are
// bounded, and nothing crashes or hangs.
#include "reports/rtf/RtfDocument.h"

#include <QByteArrayView>
#include <QString>

namespace vexa {

class RtfReader {
public:
    // Largest file readFile accepts.
    static constexpr qint64 MaxFileSize = 64LL * 1024 * 1024;

    // False, with a French message in error, when the data is not RTF.
    static bool read(QByteArrayView data, RtfDocument& document, QString* error = nullptr);
    // False, with a French message, when the file cannot be read or is not RTF.
    static bool readFile(const QString& path, RtfDocument& document, QString* error = nullptr);
};

} // namespace vexa
