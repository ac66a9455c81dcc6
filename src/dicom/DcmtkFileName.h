#pragma once
// A Qt path as DCMTK takes a file name, in the file system's encoding. For
// code that uses DCMTK itself.
#include <dcmtk/ofstd/offile.h>

#include <QFile>
#include <QString>

namespace vexa {

inline OFFilename nativeName(const QString& path)
{
    return OFFilename(QFile::encodeName(path).constData());
}

} // namespace vexa
