#pragma once
// The exam the user opened, as the main window hands it to the viewer, print,
// interpretation and report windows. One per process.
#include <QString>

namespace vexa {

struct ExamIdentity {
    QString SelectedSeriesUID; // SeriesInst of the opened exam; "" before any
    bool ExamOpen = false; // an exam has been opened
    QString ViewerExamDate; // DD/MM/YYYY
    QString ViewerPatientName; // readable name
    QString ViewerImagePath; // one image to show; "" for the whole series
    int ViewerStep = 0; // 0 first image of the series, 99999 the single file
    bool PrintedInViewer = false; // the viewer printed the image it showed
};

inline ExamIdentity& CurrentExam()
{
    static ExamIdentity exam;
    return exam;
}

} // namespace vexa
