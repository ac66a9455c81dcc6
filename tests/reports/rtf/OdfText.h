#pragma once
// What LibreOffice made of a report: the text of a flat OpenDocument file,
// and the same view of one of our documents to compare it with.
#include <QString>
#include <QStringList>

class QTextDocument;

namespace vexa::rtftest {

// The text of a flat OpenDocument file (.fodt): paragraphs of the page
// header, of the body, and of the body's table cells; pictures in the body.
struct OdfText {
    QStringList header;
    QStringList body;
    QStringList cells;
    int pictures = 0;
};

OdfText readFlatOdf(const QString& path);

// A document's non-empty paragraphs outside tables, and its cells' paragraphs.
QStringList paragraphsOutsideTables(const QTextDocument& document);
QStringList cellParagraphs(const QTextDocument& document);

} // namespace vexa::rtftest
