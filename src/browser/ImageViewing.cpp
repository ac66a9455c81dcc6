#include "ImageViewing.h"

#include "ExamRows.h"
#include "ImageFiles.h"

namespace vexa {

ViewerRequest SeriesViewing(const Exam& exam)
{
    return {exam, QString(), ViewerRequest::Start::FirstImage};
}

std::optional<ViewerRequest> SingleImageViewing(const RecordSet& images, const QString& imageRoot)
{
    if (images.currentRow() < 0)
        return std::nullopt;
    return ViewerRequest{ExamOfImageRow(images),
        StoredImagePath(imageRoot, images.fieldText(QStringLiteral("ObjectFile"))),
        ViewerRequest::Start::SingleFile};
}

} // namespace vexa
