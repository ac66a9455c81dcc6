#pragma once
// Moving through the images of the opened exam (the record set examImages):
// marks the image being left as printed when it was, moves by ViewerStep,
// asks at the ends of the series, and gives what the viewer shows next.
// No widget: the questions go through the dialog service.
#include "ExamIdentity.h"

#include <QString>
#include <optional>

namespace vexa {

class RecordSet;

struct SeriesImage {
    QString path;
    QString patientName;
    QString examDate; // DD/MM/YYYY, or "" when the record has none
    bool printed = false;
};

// Writes Printed and PrintDate (today) on the current record when the image
// shown there was printed, then clears PrintedInViewer. False when it failed.
bool MarkShownImagePrinted(RecordSet& images, ExamIdentity& exam);

class SeriesNavigator {
public:
    SeriesNavigator(RecordSet& images, QString imageRoot);

    // ViewerStep that goes to the last image of the series.
    static constexpr int LastImageStep = 2;

    // The image to show after a move by exam.ViewerStep (0 first, 1 next,
    // -1 previous, LastImageStep last), or nothing when the user ends the review at the last
    // image or the series holds no image. The exam's name, date and image
    // path are rewritten for the new image.
    std::optional<SeriesImage> move(ExamIdentity& exam);

    static const QString LastImageQuestion;
    static const QString FirstImageNotice;

private:
    bool stepThrough(ExamIdentity& exam);
    SeriesImage currentImage() const;

    RecordSet& images;
    QString imageRoot;
};

} // namespace vexa
