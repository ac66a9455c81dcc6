#include "OdfText.h"

#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QXmlStreamReader>

namespace vexa::rtftest {

OdfText readFlatOdf(const QString& path)
{
    QFile file(path);
    OdfText text;
    if (!file.open(QIODevice::ReadOnly))
        return text;
    QXmlStreamReader xml(&file);
    int headerDepth = 0;
    int bodyDepth = 0;
    int cellDepth = 0;
    int paragraphDepth = 0;
    int binaryDepth = 0; // embedded picture bytes
    QString paragraph;
    while (!xml.atEnd()) {
        xml.readNext();
        const QStringView name = xml.qualifiedName();
        if (xml.isStartElement()) {
            headerDepth += name == u"style:header" || headerDepth > 0;
            bodyDepth += name == u"office:body" || bodyDepth > 0;
            cellDepth += name == u"table:table-cell" || cellDepth > 0;
            binaryDepth += name == u"office:binary-data" || binaryDepth > 0;
            if (name == u"text:p" || name == u"text:h") {
                if (paragraphDepth++ == 0)
                    paragraph.clear();
            } else if (name == u"text:s") {
                paragraph += QString(qMax(1, xml.attributes().value("text:c").toInt()), ' ');
            } else if (name == u"text:tab") {
                paragraph += '\t';
            } else if (name == u"text:line-break") {
                paragraph += '\n';
            } else if (name == u"draw:image" && bodyDepth > 0) {
                ++text.pictures;
            }
        } else if (xml.isCharacters() && paragraphDepth > 0 && binaryDepth == 0
            && !(xml.isWhitespace() && xml.text().contains('\n'))) { // not the file's indentation
            paragraph += xml.text();
        } else if (xml.isEndElement()) {
            if ((name == u"text:p" || name == u"text:h") && --paragraphDepth == 0) {
                if (paragraph.isEmpty())
                    ; // empty lines are not compared
                else if (headerDepth > 0)
                    text.header << paragraph;
                else if (cellDepth > 0)
                    text.cells << paragraph;
                else if (bodyDepth > 0)
                    text.body << paragraph;
            }
            headerDepth = qMax(0, headerDepth - 1);
            bodyDepth = qMax(0, bodyDepth - 1);
            cellDepth = qMax(0, cellDepth - 1);
            binaryDepth = qMax(0, binaryDepth - 1);
        }
    }
    return text;
}

QStringList paragraphsOutsideTables(const QTextDocument& document)
{
    QStringList paragraphs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (QTextCursor(block).currentTable())
            continue;
        QString text = block.text();
        text.remove(QChar::ObjectReplacementCharacter);
        text.replace(QChar::LineSeparator, '\n');
        if (!text.isEmpty())
            paragraphs << text;
    }
    return paragraphs;
}

QStringList cellParagraphs(const QTextDocument& document)
{
    QStringList cells;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (QTextCursor(block).currentTable())
            cells << block.text();
    }
    return cells;
}

} // namespace vexa::rtftest
