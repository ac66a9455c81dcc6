#pragma once
// The CD's viewer page, Index.htm, made from the page template: three text
// placeholders and one marker comment per image place.
#include <QString>
#include <QStringList>

namespace vexa {

struct CdPageTexts {
    QString heading; // the practice's letterhead line ("Entete")
    QString patientName; // as the main window shows it
    QString examDate; // as the main window shows it
};

// The letterhead line when none is set.
inline const QString DefaultCdHeading = QStringLiteral("Examen radiologique");

// Fills the template:
// - "**Structure**", "**Patient**" and "**Date**", in any letter case, become
//   the heading, "Patient: " + name and "Date de l'examen: " + date; the texts
//   are HTML-escaped, so a name holding "<" or "&" shows as written;
// - the marker "<!--Image<i> -->" (exact case) of the i-th preview (file names
//   such as "00000001.jpeg", in the JPG folder) becomes a thumbnail link whose
//   changeImage argument is the full-size picture at the disc's root named
//   exactly as written ("00000001.jpg"). Markers without a preview stay.
QString BuildCdPage(const QString& pageTemplate, const CdPageTexts& texts, const QStringList& previewNames);

// Text as HTML: markup characters escaped and every non-ASCII character as a
// numeric reference, so the page reads the same in any encoding.
QString HtmlText(const QString& text);

} // namespace vexa
