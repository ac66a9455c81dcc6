#include "ImageViewing.h"

#include "Dates.h"
#include "ImageFiles.h"
#include "SeriesNavigator.h"

namespace vexa {

void PrepareSeriesViewing(ExamIdentity& exam)
{
    exam.ViewerStep = 0;
    exam.ViewerImagePath.clear();
}

bool PrepareSingleImage(const RecordSet& images, const QString& imageRoot, ExamIdentity& exam)
{
    if (images.currentRow() < 0)
        return false;
    QString date = images.fieldText(QStringLiteral("AcqDate"));
    if (date.isEmpty())
        date = images.fieldText(QStringLiteral("ImageDate"));
    exam.ViewerExamDate = YyyymmddToDdMmYyyy(date);
    exam.ViewerPatientName = images.fieldText(QStringLiteral("PatientName"));
    exam.ViewerImagePath = StoredImagePath(imageRoot, images.fieldText(QStringLiteral("ObjectFile")));
    exam.ViewerStep = 99999;
    return true;
}

bool MarkSingleImagePrinted(RecordSet& images, int row, ExamIdentity& exam)
{
    if (!exam.PrintedInViewer || !images.goTo(row))
        return false;
    return MarkShownImagePrinted(images, exam);
}

} // namespace vexa
