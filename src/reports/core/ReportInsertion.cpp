#include "reports/core/ReportInsertion.h"

#include "reports/core/ReportFiles.h"
#include "reports/rtf/RtfReader.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QUrl>
#include <memory>

namespace vexa {

namespace {

// Pictures live in their document's resources under their names: the target
// document gets them before the fragment that names them.
void copyPictureResources(const QTextDocument& source, QTextDocument& target)
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

QString decodeText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder windows("windows-1252");
    return windows.isValid() ? QString(windows.decode(bytes)) : QString::fromLatin1(bytes);
}

// Text files hold no NUL byte and few control characters; a picture, a
// program or a word processor's binary file holds many.
bool looksBinary(QByteArrayView bytes)
{
    qsizetype controls = 0;
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        if (c == 0)
            return true;
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != 0x1A)
            ++controls;
    }
    return controls * 32 > bytes.size();
}

bool fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}

} // namespace

void insertDocument(QTextCursor& cursor, const QTextDocument& source)
{
    QTextDocument* target = cursor.document();
    if (target)
        copyPictureResources(source, *target);
    // Text that shows in the source's default font keeps that font in a
    // document whose default differs.
    const QFont font = source.defaultFont();
    if (!target || target->defaultFont() == font) {
        cursor.insertFragment(QTextDocumentFragment(&source));
        return;
    }
    std::unique_ptr<QTextDocument> copy(source.clone());
    for (QTextBlock block = copy->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            QTextCharFormat missing;
            if (!format.hasProperty(QTextFormat::FontFamilies)
                && !format.hasProperty(QTextFormat::FontFamily))
                missing.setFontFamilies({font.family()});
            if (!format.hasProperty(QTextFormat::FontPointSize) && font.pointSizeF() > 0)
                missing.setFontPointSize(font.pointSizeF());
            if (missing.properties().isEmpty())
                continue;
            QTextCursor run(copy.get());
            run.setPosition(fragment.position());
            run.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            run.mergeCharFormat(missing);
        }
    }
    cursor.insertFragment(QTextDocumentFragment(copy.get()));
}

bool insertFile(QTextCursor& cursor, const QString& path, QString* error, RtfPageLayout* page)
{
    const QString name = QFileInfo(path).fileName();
    switch (fileFormatCode(path)) {
    case RtfFormat: {
        RtfDocument document;
        QString why;
        if (!RtfReader::readFile(path, document, &why))
            return fail(error, why);
        insertDocument(cursor, *document.body);
        if (page)
            *page = document.page;
        return true;
    }
    case HtmlFormat:
    case PlainTextFormat: {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return fail(error, QStringLiteral("Impossible de lire le fichier « %1 ».").arg(name));
        const QByteArray bytes = file.read(RtfReader::MaxFileSize);
        if (looksBinary(bytes))
            return fail(error,
                QStringLiteral("Le fichier « %1 » n'est pas un fichier texte : il ne peut pas être inséré.")
                    .arg(name));
        if (fileFormatCode(path) == HtmlFormat)
            cursor.insertFragment(QTextDocumentFragment::fromHtml(decodeText(bytes)));
        else
            cursor.insertText(decodeText(bytes));
        return true;
    }
    default:
        return fail(error,
            QStringLiteral(
                "Le format du fichier « %1 » n'est pas pris en charge : seuls les fichiers RTF, HTML et "
                "texte peuvent être insérés.")
                .arg(name));
    }
}

} // namespace vexa
