#pragma once
// A three-page report under its letterhead, for the printing tests, and what
// poppler reads back from a PDF.
#include <QString>
#include <QStringList>

namespace vexa::reporttest {

extern const QString LetterheadText;

// Writes the letterhead "entete.rtf" in the report data folder and a report
// whose 60 numbered lines fill two pages, then a page break and a last line.
void writeThreePageReport(const QString& reportPath);

// The text of each page of a PDF (pdftotext); empty when poppler cannot read it.
QStringList pdfPageTexts(const QString& pdf);

} // namespace vexa::reporttest
