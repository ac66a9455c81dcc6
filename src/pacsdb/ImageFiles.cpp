#include "ImageFiles.h"

#include "Paths.h"

#include <algorithm>

namespace vexa {

QString StoredImagePath(const QString& imageRoot, const QString& objectFile)
{
    QString root = imageRoot;
    return WithTrailingBackslash(root) + QString(objectFile).replace(u'\\', u'/');
}

QString picturePath(const QString& imagePath, PictureKind kind)
{
    QString stem = imagePath;
    if (stem.endsWith(QStringLiteral(".v2"), Qt::CaseInsensitive))
        stem.chop(3);
    return stem + (kind == PictureKind::Preview ? QStringLiteral(".jpeg") : QStringLiteral(".jpg"));
}

QString SeriesReportPath(const QString& imagePath, const QString& seriesUid)
{
    const qsizetype slash = std::max(imagePath.lastIndexOf(u'/'), imagePath.lastIndexOf(u'\\'));
    QString name = seriesUid;
    name.remove(u'/').remove(u'\\');
    return imagePath.left(slash + 1) + name + QStringLiteral(".rtf");
}

} // namespace vexa
