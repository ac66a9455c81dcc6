#pragma once
// The CD of one exam, staged from the series' rows in the database (read on
// the calling thread's own connection). The exam is refused while Conquest
// still receives it, when another workstation deleted it and when it has no
// image; once staged, the CD must hold a DICOM file for each image put on it
// and the series must still have the rows it was staged from, or no CD is
// ready.
#include "burning/cd/CdPreparation.h"
#include "pacsdb/Exam.h"

#include <QDateTime>
#include <functional>

class QThreadPool;

namespace vexa {

class ImageConverters;

struct ExamCdRequest {
    Exam exam;
    QString conquestPath; // its database
    QString imageRoot; // where Conquest stores the images (ConquestImagePath)
    QString letterhead; // the CD page's title (Entete)
    CdWorkFolders folders; // the CD folder and the DICOM export folder
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
};

QString cdStillReceivingText();
QString cdWithoutImageText();

// Checks the exam, stages its CD and checks the CD. A refusal or a failure
// is the outcome's error (French), with prepared false. Blocks until done:
// call it off the user-interface thread.
CdPreparationOutcome prepareExamCd(const ExamCdRequest& request, ImageConverters& converters,
    CdPreparationProgress* progress = nullptr, QThreadPool* pool = nullptr);

// The number of files in the CD folder's DICOM folder.
int dicomFilesOnCd(const QString& cdFolder);

} // namespace vexa
