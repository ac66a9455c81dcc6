#pragma once
// Stages a patient CD in the CD folder before it is burned:
//   DICOMDIR                 indexing DICOM/, file-set identifier "VEXADICOM"
//   DICOM/00000001 ...       each image put on the CD as a standard DICOM file
//   JPG/00000001.jpeg, .jpg  its preview and full-size pictures
//   00000001.jpg             the full-size picture again, at the root
//   JPG/Blank.jpg, Index.htm the viewer page and its empty picture
//   LISEZMOI.TXT ...         the program's own CD files
// The DICOM files and the DICOMDIR are made in the DICOM export folder and
// then moved into the CD folder.
#include "burning/cd/CdPage.h"

#include <QList>
#include <QString>
#include <QStringList>

class QThreadPool;

namespace vexa {

class ImageConverters;

// At most this many images go on one CD (names 00000001 to 00000254).
constexpr int MaxCdImages = 254;
// The name of the k-th image on the CD (k from 1): "0" then k on seven digits.
QString cdImageName(int k);

// Removes everything inside a CD work folder (kept, created when missing);
// false when anything stays.
bool emptyCdWorkFolder(const QString& folder);

inline const QString CdPreparationMessage
    = QStringLiteral("Préparation des fichiers pour la gravure. Merci de patienter...");

struct CdImage {
    QString path; // the stored image file
    bool notToBurn = false; // left off the CD
};

struct CdWorkFolders {
    QString cdFolder; // everything in it is burned, at the disc's root
    QString dicomExportDir; // DICOM files and DICOMDIR before they join the CD folder
};

// What the program delivers for every CD.
struct CdSources {
    QString pageTemplate; // "Visu.htm"
    QString blankPicture; // "Blank.jpg"
    QString cdFolder; // the "CD" folder, copied to the disc's root
};
// The program's own page template, empty picture and CD folder.
CdSources programCdSources();

// What the waiting window shows while the CD is prepared. advance() is called
// from the converting threads, one call at a time.
class CdPreparationProgress {
public:
    virtual ~CdPreparationProgress() = default;
    virtual void begin(const QString& message) = 0;
    virtual void advance(int done, int total) = 0;
    virtual void end() = 0;
};

struct CdPreparationOutcome {
    bool prepared = false; // the CD folder holds a CD to burn
    int imagesOnCd = 0;
    // French lines, one per image that is missing from the CD or from its
    // page, and for a DICOMDIR that could not be made: the burn window shows
    // them and asks before burning.
    QStringList problems;
    // Why no CD is ready (French), "" otherwise: a missing page template, no
    // image at all, or every file step that failed (emptying the folders,
    // naming a DICOM file, copying a picture, moving the DICOMDIR and DICOM/,
    // writing the page, copying the program's files), one per line.
    QString error;
};

// Builds the CD folder from the exam's images in order; images marked
// notToBurn take no name. An image whose DICOM file cannot be made is left
// off and its name goes to the next image; an image without pictures gets
// them made on the spot. An empty list prepares nothing (and says nothing).
// Conversions run on `pool` (the work pool when null); the call returns
// when everything is done and runs no events: call it off the user
// interface thread.
CdPreparationOutcome prepareCd(const QList<CdImage>& images, const CdPageTexts& texts,
    const CdWorkFolders& folders, const CdSources& sources, ImageConverters& converters,
    CdPreparationProgress* progress = nullptr, QThreadPool* pool = nullptr);

} // namespace vexa
