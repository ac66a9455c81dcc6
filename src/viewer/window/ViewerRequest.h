#pragma once
// What an opener asks of the viewer, and what the viewer hands back when it
// closes. The viewer works on the exam it was given, never on a global one.
#include "pacsdb/Exam.h"

#include <QString>

namespace vexa {

struct ViewerRequest {
    enum class Start {
        FirstImage, // the exam's series from its first image
        LastImage, // the exam's series from its last image
        SingleFile, // only imagePath, no series
    };
    Exam exam;
    QString imagePath; // the file shown with Start::SingleFile
    QString sopInstance; // its SOPInstanc, checked before it is printed; "" when unknown
    Start start = Start::FirstImage;
};

struct ViewerOutcome {
    bool printed = false; // the shown image (single file) was printed
    bool imageDeleted = false; // an image of the exam was deleted (here or elsewhere)
};

} // namespace vexa
