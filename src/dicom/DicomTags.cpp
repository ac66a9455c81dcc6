#include "DicomTags.h"

#include "DicomCodecs.h"

#include <dcmtk/dcmdata/dcfilefo.h>

#include <QFile>
#include <sstream>

namespace vexa {

QString dicomTagsText(const QString& path)
{
    registerDicomCodecs();
    DcmFileFormat file;
    const QByteArray nativePath = QFile::encodeName(path);
    const OFCondition condition = file.loadFile(
        OFFilename(nativePath.constData()), EXS_Unknown, EGL_noChange, DCM_MaxReadLength, ERM_autoDetect);
    if (condition.bad())
        return QStringLiteral("Fichier DICOM illisible : %1").arg(QString::fromLatin1(condition.text()));
    // Names with accents are stored in the file's character set; as UTF-8 they
    // read the same whatever that set was.
    const bool utf8 = file.convertToUTF8().good();
    std::ostringstream text;
    // Long values (pixel data) are shortened: the text is for reading.
    file.print(text, DCMTypes::PF_shortenLongTagValues);
    return utf8 ? QString::fromStdString(text.str()) : QString::fromLatin1(text.str().c_str());
}

} // namespace vexa
