#pragma once
// The CD's viewer page, IHE_PDI/INDEX.HTM, made from the page template: three
// text placeholders and one marker comment per image place.
//
// The disc follows IHE's Portable Data for Imaging layout: DICOMDIR, DICOM/,
// README.TXT and an INDEX.HTM at the root that leads to the web content under
// IHE_PDI/ (the page, the full-size pictures in JPG/, the thumbnails in
// MINI/). Every name is an upper-case ISO 9660 name (8.3), so the page's links
// resolve the same under plain ISO 9660, Joliet and Rock Ridge.
#include <QString>
#include <QStringList>

namespace vexa {

struct CdPageTexts {
    QString heading; // the practice's letterhead line ("Entete")
    QString patientName; // as the main window shows it
    QString examDate; // as the main window shows it
};

inline const QString CdWebFolder = QStringLiteral("IHE_PDI");
inline const QString CdPageName = QStringLiteral("INDEX.HTM");
inline const QString CdPictureFolder = QStringLiteral("JPG"); // in CdWebFolder
inline const QString CdThumbnailFolder = QStringLiteral("MINI"); // in CdWebFolder
inline const QString CdPictureExtension = QStringLiteral(".JPG");
inline const QString CdBlankPictureName = QStringLiteral("BLANK.JPG"); // in CdPictureFolder

// The letterhead line when none is set.
inline const QString DefaultCdHeading = QStringLiteral("Examen radiologique");

// Fills the template:
// - "**Structure**", "**Patient**" and "**Date**", in any letter case, become
//   the heading, "Patient: " + name and "Date de l'examen: " + date; the texts
//   are HTML-escaped, so a name holding "<" or "&" shows as written;
// - the marker "<!--Image<i> -->" (exact case) of the i-th picture (file
//   names such as "00000001.JPG") becomes a link showing its thumbnail (in
//   MINI) whose changeImage argument is the full-size picture of the same
//   name (in JPG). Markers without a picture stay.
QString buildCdPage(const QString& pageTemplate, const CdPageTexts& texts, const QStringList& pictureNames);

// Text as HTML: markup characters escaped and every non-ASCII character as a
// numeric reference, so the page reads the same in any encoding.
QString htmlText(const QString& text);

} // namespace vexa
