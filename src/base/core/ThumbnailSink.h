#pragma once
// A window's row of thumbnails as the code that fills them from an exam's
// images sees it: the exam page's and the print sheet's alike.
#include <QString>

namespace vexa {

class ThumbnailSink {
public:
    virtual ~ThumbnailSink() = default;
    virtual int thumbnailCount() const = 0;
    virtual void clearPicture(int index) = 0;
    virtual void setTag(int index, const QString& tag) = 0;
    virtual void setVisible(int index, bool visible) = 0;
    // Loads the picture file; false when it cannot be read.
    virtual bool loadPicture(int index, const QString& path) = 0;
};

} // namespace vexa
