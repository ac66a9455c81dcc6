#pragma once
// Putting a file's content into a document at the caret: a template, the
// letterhead, or any text the user picks (RTF, HTML or plain text).
#include "reports/rtf/RtfDocument.h"

#include <QString>

class QTextCursor;
class QTextDocument;

namespace vexa {

// Inserts `source` at `cursor` (replacing its selection), pictures included;
// the caret ends after it.
void insertDocument(QTextCursor& cursor, const QTextDocument& source);

// Inserts the file read by its name's format (FileFormatCode): RTF, HTML and
// plain text (UTF-8, else Windows-1252). False, with a French message in
// `error`, when the file cannot be read or its format is not one of those.
// An RTF file's page, when `page` is given, is copied there.
bool insertFile(QTextCursor& cursor, const QString& path, QString* error, RtfPageLayout* page = nullptr);

} // namespace vexa
