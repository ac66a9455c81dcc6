#pragma once
// Helpers for the RTF tests: a readable dump of a document's structure and
// formats (two documents are the same when their dumps are), and reading RTF
// from text.
#include "RtfDocument.h"

#include <QString>

namespace vexa::rtftest {

// One line per paragraph, table and picture, with the formats that matter.
QString Dump(const QTextDocument& document);
// Dumps of body, header, footer and page.
QString Dump(const RtfDocument& document);

// The document's text, paragraphs joined by "\n", tables and cells flattened.
QString PlainText(const QTextDocument& document);

// Reads RTF given as Latin-1 text; fails the test when it is not read.
RtfDocument ReadRtf(const QByteArray& rtf);

// A small picture of the given size, encoded as PNG or JPEG.
QByteArray EncodedPicture(int width, int height, const char* format);

} // namespace vexa::rtftest
