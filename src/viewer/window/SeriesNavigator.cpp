#include "SeriesNavigator.h"

#include "Dates.h"
#include "DialogService.h"
#include "ImageFiles.h"
#include "RecordSet.h"

#include <QDate>

namespace vexa {

const QString SeriesNavigator::LastImageQuestion = QStringLiteral(
    "   Vous-êtes à la dernière image de la série.  \r\nVoules vous revisionner les clichés ?");
const QString SeriesNavigator::FirstImageNotice
    = QStringLiteral("   Vous-êtes à la première image de la série.     ");

bool MarkShownImagePrinted(RecordSet& images, ExamIdentity& exam)
{
    if (!exam.PrintedInViewer || images.currentRow() < 0)
        return false;
    images.edit();
    const bool stored = images.setField(QStringLiteral("Printed"), true)
        && images.setField(QStringLiteral("PrintDate"), QDate::currentDate()) && images.update();
    if (stored) {
        images.goTo(images.lastModified());
        exam.PrintedInViewer = false;
    }
    return stored;
}

SeriesNavigator::SeriesNavigator(RecordSet& images, QString imageRoot)
    : images(images)
    , imageRoot(std::move(imageRoot))
{
}

std::optional<SeriesImage> SeriesNavigator::move(ExamIdentity& exam)
{
    MarkShownImagePrinted(images, exam);
    if (images.count() == 0 || !stepThrough(exam))
        return std::nullopt;
    SeriesImage image = currentImage();
    exam.ViewerExamDate = image.examDate;
    exam.ViewerPatientName = image.patientName;
    exam.ViewerImagePath = image.path;
    return image;
}

// Moves by the step; false when the user leaves at the end of the series.
bool SeriesNavigator::stepThrough(ExamIdentity& exam)
{
    if (exam.ViewerStep == 0)
        images.moveFirst();
    else if (exam.ViewerStep == LastImageStep)
        images.moveLast();
    else if (exam.ViewerStep > 0)
        images.moveNext();
    else
        images.movePrevious();
    if (images.eof()) {
        if (MsgBox(LastImageQuestion, MsgIcon::Question, MsgButtons::YesNo, QStringLiteral("VexaDICOM"),
                MsgResult::No)
            != MsgResult::Yes) {
            exam.ViewerStep = 0;
            return false;
        }
        images.moveFirst();
    }
    if (images.bof() && exam.ViewerStep != 0) {
        MsgBox(FirstImageNotice, MsgIcon::Information, MsgButtons::Ok, QStringLiteral("VexaDICOM"));
        images.moveFirst();
    }
    return true;
}

SeriesImage SeriesNavigator::currentImage() const
{
    QString date = images.fieldText(QStringLiteral("AcqDate"));
    if (date.isEmpty())
        date = images.fieldText(QStringLiteral("ImageDate"));
    return {StoredImagePath(imageRoot, images.fieldText(QStringLiteral("ObjectFile"))),
        images.fieldText(QStringLiteral("PatientName")), YyyymmddToDdMmYyyy(date),
        images.fieldBool(QStringLiteral("Printed"))};
}

} // namespace vexa
