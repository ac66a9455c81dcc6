#include "pacsdb/ImageFiles.h"

#include "base/core/Paths.h"

#include <algorithm>

namespace vexa {

QString storedImagePath(const QString& imageRoot, const QString& objectFile)
{
    QString root = imageRoot;
    return withTrailingBackslash(root) + QString(objectFile).replace(u'\\', u'/');
}

QString picturePath(const QString& imagePath, PictureKind kind)
{
    QString stem = imagePath;
    if (stem.endsWith(QStringLiteral(".v2"), Qt::CaseInsensitive))
        stem.chop(3);
    return stem + (kind == PictureKind::Preview ? QStringLiteral(".jpeg") : QStringLiteral(".jpg"));
}

QString seriesReportPath(const QString& imagePath, const QString& seriesUid)
{
    const qsizetype slash = std::max(imagePath.lastIndexOf(u'/'), imagePath.lastIndexOf(u'\\'));
    // A separator would leave the image's folder (dropped, as reports already
    // stored are named). A control character would make another file (a NUL
    // cuts the name where the system reads it): it becomes "_", which no
    // valid UID holds, so the name cannot be another series' report.
    QString name;
    for (const QChar c : seriesUid) {
        if (c.category() == QChar::Other_Control)
            name += u'_';
        else if (c != u'/' && c != u'\\')
            name += c;
    }
    return imagePath.left(slash + 1) + name + QStringLiteral(".rtf");
}

} // namespace vexa
