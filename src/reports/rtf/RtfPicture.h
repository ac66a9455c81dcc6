#pragma once
// A \pict group: its kind, sizes and bytes (hex or \bin), and how it shows in
// the document. PNG and JPEG pictures show as themselves; metafiles and
// bitmaps show as a grey placeholder of the picture's size and keep their
// bytes so that writing the document gives them back.
#include "reports/rtf/RtfDocument.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QTextImageFormat>

namespace vexa {

struct RtfPicture {
    RtfPictureKind kind = RtfPictureKind::Unknown;
    int width = 0; // \picw: pixels, or 0.01 mm for metafiles
    int height = 0; // \pich
    int goalWidth = 0; // \picwgoal: twips
    int goalHeight = 0; // \pichgoal
    int scaleX = 100; // \picscalex: percent
    int scaleY = 100;
    QByteArray data;

    void appendHex(QByteArrayView text);
    void appendBinary(QByteArrayView bytes);

private:
    int pendingNibble_ = -1;
};

// Adds the picture to the document's resources under a new name and returns
// the image format that shows it at its size.
QTextImageFormat addRtfPicture(QTextDocument& document, const RtfPicture& picture);

// The placeholder's name among a document's resources.
QString rtfPlaceholderName();

} // namespace vexa
