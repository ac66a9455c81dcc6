#include "browser/ImageViewing.h"

#include "browser/ExamRows.h"
#include "pacsdb/ConquestColumns.h"
#include "pacsdb/ImageFiles.h"

namespace vexa {

ViewerRequest SeriesViewing(const Exam& exam)
{
    return {.exam = exam, .start = ViewerRequest::Start::FirstImage};
}

std::optional<ViewerRequest> SingleImageViewing(const RecordSet& images, const QString& imageRoot)
{
    if (images.currentRow() < 0)
        return std::nullopt;
    return ViewerRequest{.exam = ExamOfImageRow(images),
        .imagePath = StoredImagePath(imageRoot, images.fieldText(Col::ObjectFile)),
        .sopInstance = images.fieldText(Col::SopInstance),
        .start = ViewerRequest::Start::SingleFile};
}

} // namespace vexa
