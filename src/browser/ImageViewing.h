#pragma once
// Showing the opened exam's images in the viewer: the request the viewer is
// opened with. No widget; the main window opens the viewer itself.
#include "pacsdb/Exam.h"
#include "pacsdb/RecordSet.h"
#include "viewer/window/ViewerRequest.h"

#include <optional>

namespace vexa {

// The whole series of the exam, from its first image.
ViewerRequest seriesViewing(const Exam& exam);

// The image of the current row of `images` alone: its file under the image
// store, with the patient name and day of that row. Nothing when there is
// no current row.
std::optional<ViewerRequest> singleImageViewing(const RecordSet& images, const QString& imageRoot);

} // namespace vexa
