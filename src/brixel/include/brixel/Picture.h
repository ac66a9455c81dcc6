#pragma once
// A picture as the button holds it: the image, and where it came from so a
// design can be written back with the same reference.
#include <QImage>
#include <QMetaType>
#include <QString>

namespace brixel {

struct Picture {
    QImage image;
    QString source; // file or resource path as referenced by the design; empty when built in code

    bool isNull() const { return image.isNull(); }
    bool operator==(const Picture& other) const { return source == other.source && image == other.image; }

    static Picture fromImage(const QImage& image) { return Picture{image, {}}; }
    // Loads the file (":/..." for a Qt resource); a missing file gives a null picture.
    static Picture load(const QString& reference, const QString& resolvedPath);
};

} // namespace brixel

Q_DECLARE_METATYPE(brixel::Picture)
