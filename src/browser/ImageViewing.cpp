#include "browser/ImageViewing.h"

#include "browser/ExamRows.h"
#include "pacsdb/ConquestColumns.h"
#include "pacsdb/ImageFiles.h"

namespace vexa {

ViewerRequest seriesViewing(const Exam& exam)
{
    return {.exam = exam, .start = ViewerRequest::Start::FirstImage};
}

std::optional<ViewerRequest> singleImageViewing(const RecordSet& images, const QString& imageRoot)
{
    if (images.currentRow() < 0)
        return std::nullopt;
    return ViewerRequest{.exam = examOfImageRow(images),
        .imagePath = storedImagePath(imageRoot, images.fieldText(col::ObjectFile)),
        .sopInstance = images.fieldText(col::SopInstance),
        .start = ViewerRequest::Start::SingleFile};
}

} // namespace vexa
