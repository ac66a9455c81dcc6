#pragma once
// The writes actions make on an exam or an image. Every write names the
// series or image by its UID and first checks that it is still there: another
// workstation may have deleted it, and a new series may now sit in its row.
#include "pacsdb/Exam.h"

#include <QDate>
#include <QString>

namespace vexa {

struct ExamWrite {
    enum Outcome {
        Written,
        Gone, // the exam or image was deleted meanwhile: nothing written
        Failed, // the database did not answer or refused the write
    };
    Outcome outcome = Failed;
    QString error; // the database's text when Failed

    bool written() const { return outcome == Written; }
    // Why nothing was written, in French; "" when written.
    QString failureText() const;
};

// Whether the exam's series is still in the database.
ExamWrite checkExamStillThere(const QString& conquestPath, const Exam& exam);

// Burned = true on the exam's series row, found by SeriesInst.
ExamWrite markExamBurned(const QString& conquestPath, const Exam& exam);

// Printed = true and PrintDate = `day` on the image found by SOPInstanc.
ExamWrite markImagePrinted(const QString& conquestPath, const QString& sopInstance, const QDate& day);

} // namespace vexa
