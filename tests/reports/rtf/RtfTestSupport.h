#pragma once
// Helpers for the RTF tests: a readable dump of a document's structure and
// formats (two documents are the same when their dumps are), and reading RTF
// from text.
#include "reports/rtf/RtfDocument.h"

#include <QString>

#include <ostream>

// Texts in test messages.
inline void printTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace vexa::rtftest {

// One line per paragraph, table and picture, with the formats that matter.
QString dump(const QTextDocument& document);
// Dumps of body, header, footer and page.
QString dump(const RtfDocument& document);

// The document's text, paragraphs joined by "\n", tables and cells flattened.
QString plainText(const QTextDocument& document);

// Reads RTF given as Latin-1 text; fails the test when it is not read.
RtfDocument readRtf(const QByteArray& rtf);

// A report as the editor makes it: a letterhead in the header (bold, centred),
// French text, every character format, indents and tabs, a bordered table,
// a picture put in by the user (no file bytes), a page break and a footer.
RtfDocument sampleReport();
// Accented French text of the sample report, and text beyond Windows-1252.
extern const QString SampleFrenchText;
extern const QString SampleTextBeyond1252;

// A small picture of the given size, encoded as PNG or JPEG.
QByteArray encodedPicture(int width, int height, const char* format);

} // namespace vexa::rtftest
