#include "reports/rtf/RtfReader.h"

#include "reports/rtf/RtfParser.h"

#include <QFile>

namespace vexa {

bool RtfReader::read(QByteArrayView data, RtfDocument& document, QString* error)
{
    qsizetype start = data.startsWith("\xEF\xBB\xBF") ? 3 : 0; // a byte order mark some editors add
    while (start < data.size() && QChar::isSpace(uchar(data[start])))
        ++start;
    if (!data.sliced(start).startsWith("{\\rtf")) {
        if (error)
            *error = QStringLiteral("Ce fichier n'est pas au format RTF.");
        return false;
    }
    document = RtfDocument{};
    RtfParser parser(document);
    parser.parse(data.sliced(start));
    return true;
}

bool RtfReader::readFile(const QString& path, RtfDocument& document, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Impossible de lire le fichier %1 : %2").arg(path, file.errorString());
        return false;
    }
    if (file.size() > MaxFileSize) {
        if (error)
            *error = QStringLiteral("Le fichier %1 est trop volumineux.").arg(path);
        return false;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = QStringLiteral("Impossible de lire le fichier %1 : %2").arg(path, file.errorString());
        return false;
    }
    return read(data, document, error);
}

} // namespace vexa
