#pragma once
// Showing the opened exam's images in the viewer. The viewer takes the exam
// identity, not arguments: these set it before it opens and take back its
// answer after it closes. No widget; the main window opens the viewer itself.
#include "ExamIdentity.h"
#include "RecordSet.h"

namespace vexa {

// The whole series of the opened exam, from its first image.
void PrepareSeriesViewing(ExamIdentity& exam);

// The image of the current row of `images` alone: its file under the image
// store, patient name and exam date. False when there is no current row.
bool PrepareSingleImage(const RecordSet& images, const QString& imageRoot, ExamIdentity& exam);

// After a single image: when the viewer printed it, marks the image of `row`
// printed today and leaves that row current. False when nothing was written.
bool MarkSingleImagePrinted(RecordSet& images, int row, ExamIdentity& exam);

} // namespace vexa
