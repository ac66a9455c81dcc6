#include "PictureNames.h"

namespace vexa {

QString picturePath(const QString& imagePath, PictureKind kind)
{
    QString stem = imagePath;
    if (stem.endsWith(QStringLiteral(".v2"), Qt::CaseInsensitive))
        stem.chop(3);
    return stem + (kind == PictureKind::Preview ? QStringLiteral(".jpeg") : QStringLiteral(".jpg"));
}

} // namespace vexa
