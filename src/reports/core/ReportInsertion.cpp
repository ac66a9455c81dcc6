#include "ReportInsertion.h"

#include "ReportFiles.h"
#include "RtfReader.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QUrl>

namespace vexa {

namespace {

// Pictures live in their document's resources under their names: the target
// document gets them before the fragment that names them.
void CopyPictureResources(const QTextDocument& source, QTextDocument& target)
{
    for (QTextBlock block = source.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const QUrl name(format.toImageFormat().name());
            const QVariant picture = source.resource(QTextDocument::ImageResource, name);
            if (picture.isValid())
                target.addResource(QTextDocument::ImageResource, name, picture);
        }
    }
}

QString DecodeText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder windows("windows-1252");
    return windows.isValid() ? QString(windows.decode(bytes)) : QString::fromLatin1(bytes);
}

bool Fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}

} // namespace

void InsertDocument(QTextCursor& cursor, const QTextDocument& source)
{
    if (QTextDocument* target = cursor.document())
        CopyPictureResources(source, *target);
    // Tables are copied by the fragment of the whole document.
    cursor.insertFragment(QTextDocumentFragment(&source));
}

bool InsertFile(QTextCursor& cursor, const QString& path, QString* error, RtfPageLayout* page)
{
    const QString name = QFileInfo(path).fileName();
    switch (FileFormatCode(path)) {
    case RtfFormat: {
        RtfDocument document;
        QString why;
        if (!RtfReader::readFile(path, document, &why))
            return Fail(error, why);
        InsertDocument(cursor, *document.body);
        if (page)
            *page = document.page;
        return true;
    }
    case HtmlFormat:
    case PlainTextFormat: {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return Fail(error, QStringLiteral("Impossible de lire le fichier « %1 ».").arg(name));
        const QByteArray bytes = file.read(RtfReader::MaxFileSize);
        if (FileFormatCode(path) == HtmlFormat)
            cursor.insertFragment(QTextDocumentFragment::fromHtml(DecodeText(bytes)));
        else
            cursor.insertText(DecodeText(bytes));
        return true;
    }
    default:
        return Fail(error,
            QStringLiteral(
                "Le format du fichier « %1 » n'est pas pris en charge : seuls les fichiers RTF, HTML et "
                "texte peuvent être insérés.")
                .arg(name));
    }
}

} // namespace vexa
