#include "RtfTestSupport.h"

#include "reports/rtf/RtfReader.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFrame>
#include <QTextList>
#include <QTextStream>
#include <QTextTable>
#include <QUrl>
#include <gtest/gtest.h>

namespace vexa::rtftest {

namespace {

QString number(double value)
{
    return QString::number(value, 'f', 2);
}

QString charFormat(const QTextCharFormat& format)
{
    QStringList parts;
    parts << format.fontFamilies().toStringList().value(0) << number(format.fontPointSize());
    if (format.fontWeight() > QFont::Medium)
        parts << "b";
    if (format.fontItalic())
        parts << "i";
    if (format.underlineStyle() != QTextCharFormat::NoUnderline)
        parts << QStringLiteral("u%1").arg(int(format.underlineStyle()));
    if (format.fontStrikeOut())
        parts << "s";
    if (format.fontCapitalization() != QFont::MixedCase)
        parts << QStringLiteral("cap%1").arg(int(format.fontCapitalization()));
    if (format.foreground().style() != Qt::NoBrush)
        parts << "fg" + format.foreground().color().name();
    if (format.background().style() != Qt::NoBrush)
        parts << "bg" + format.background().color().name();
    if (format.verticalAlignment() != QTextCharFormat::AlignNormal)
        parts << QStringLiteral("v%1").arg(int(format.verticalAlignment()));
    return parts.join(',');
}

QString blockFormat(const QTextBlockFormat& format)
{
    QStringList parts;
    parts << QStringLiteral("a%1").arg(int(format.alignment() & Qt::AlignHorizontal_Mask));
    for (const auto& [name, value] : {std::pair{"l", format.leftMargin()}, {"r", format.rightMargin()},
             {"fi", format.textIndent()}, {"t", format.topMargin()}, {"bm", format.bottomMargin()}}) {
        if (value != 0)
            parts << name + number(value);
    }
    if (format.lineHeightType() != QTextBlockFormat::SingleHeight)
        parts << QStringLiteral("lh%1:%2").arg(format.lineHeightType()).arg(number(format.lineHeight()));
    for (const QTextOption::Tab& tab : format.tabPositions())
        parts << QStringLiteral("tab%1@%2").arg(int(tab.type)).arg(number(tab.position));
    if (format.pageBreakPolicy() != QTextFormat::PageBreak_Auto)
        parts << QStringLiteral("pb%1").arg(int(format.pageBreakPolicy()));
    return parts.join(',');
}

void dumpBlock(
    const QTextDocument& document, const QTextBlock& block, const QString& indent, QTextStream& out)
{
    out << indent << "P[" << blockFormat(block.blockFormat()) << "]";
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        if (format.isImageFormat()) {
            const QTextImageFormat image = format.toImageFormat();
            const QVariant resource = document.resource(QTextDocument::ImageResource, QUrl(image.name()));
            const QImage picture = resource.value<QImage>();
            out << " {image " << number(image.width()) << "x" << number(image.height()) << " picture "
                << picture.width() << "x" << picture.height() << " kind "
                << image.intProperty(rtf_picture_property::Kind) << " bytes "
                << image.property(rtf_picture_property::Data).toByteArray().size() << "}";
        } else {
            out << " {" << charFormat(format) << "|" << fragment.text() << "}";
        }
    }
    out << "\n";
}

void dumpFrame(const QTextDocument& document, QTextFrame* frame, const QString& indent, QTextStream& out)
{
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (QTextFrame* child = it.currentFrame()) {
            if (auto* table = qobject_cast<QTextTable*>(child)) {
                const QTextTableFormat format = table->format();
                out << indent << "TABLE " << table->rows() << "x" << table->columns() << " border "
                    << format.border() << " padding " << number(format.cellPadding()) << " widths";
                for (const QTextLength& width : format.columnWidthConstraints())
                    out << " " << width.type() << ":" << number(width.rawValue());
                out << "\n";
                for (int r = 0; r < table->rows(); ++r) {
                    for (int c = 0; c < table->columns(); ++c) {
                        out << indent << " CELL " << r << "," << c << "\n";
                        const QTextTableCell cell = table->cellAt(r, c);
                        for (auto cellIt = cell.begin(); !cellIt.atEnd(); ++cellIt) {
                            if (cellIt.currentBlock().isValid())
                                dumpBlock(document, cellIt.currentBlock(), indent + "  ", out);
                        }
                    }
                }
            } else {
                out << indent << "FRAME\n";
                dumpFrame(document, child, indent + " ", out);
            }
        } else if (it.currentBlock().isValid()) {
            dumpBlock(document, it.currentBlock(), indent, out);
        }
    }
}

} // namespace

QString dump(const QTextDocument& document)
{
    QString text;
    QTextStream out(&text);
    out << "default " << document.defaultFont().family() << " " << document.defaultFont().pointSizeF()
        << "\n";
    dumpFrame(document, document.rootFrame(), "", out);
    return text;
}

QString dump(const RtfDocument& document)
{
    const RtfPageLayout& page = document.page;
    QString text = QStringLiteral("PAGE %1x%2 margins %3 %4 %5 %6 header %7 footer %8\n")
                       .arg(page.paperWidth)
                       .arg(page.paperHeight)
                       .arg(page.marginLeft)
                       .arg(page.marginRight)
                       .arg(page.marginTop)
                       .arg(page.marginBottom)
                       .arg(page.headerDistance)
                       .arg(page.footerDistance);
    if (document.header)
        text += "HEADER\n" + dump(*document.header);
    if (document.footer)
        text += "FOOTER\n" + dump(*document.footer);
    return text + "BODY\n" + dump(*document.body);
}

QString plainText(const QTextDocument& document)
{
    QStringList paragraphs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        paragraphs << block.text();
    return paragraphs.join('\n');
}

RtfDocument readRtf(const QByteArray& rtf)
{
    RtfDocument document;
    QString error;
    EXPECT_TRUE(RtfReader::read(rtf, document, &error)) << error.toStdString();
    return document;
}

QByteArray encodedPicture(int width, int height, const char* format)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if ((x / 4 + y / 4) % 2)
                image.setPixel(x, y, qRgb(20 + x % 200, 40, 200 - y % 150));
        }
    }
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return data;
}

const QString SampleFrenchText = u"Opacité alvéolaire à l'apex, cœur « normal », 38,5 °C — 5 € ; Ærø ÿ"_qs;
const QString SampleTextBeyond1252 = u"α ≤ β → Ω ✓ 😀"_qs;

namespace {

QTextCharFormat font(const QString& family, double points)
{
    QTextCharFormat format;
    format.setFontFamilies({family});
    format.setFontPointSize(points);
    return format;
}

} // namespace

// A report as the editor makes it: letterhead in the header, formatted text,
// a table, a picture put in by the user, a page break, a footer.
RtfDocument sampleReport()
{
    RtfDocument report;
    QFont defaultFont = report.body->defaultFont();
    defaultFont.setFamilies({"Liberation Serif"});
    defaultFont.setPointSizeF(12);
    report.body->setDefaultFont(defaultFont);
    report.header = std::make_unique<QTextDocument>();
    report.header->setDefaultFont(defaultFont);
    QTextCursor header(report.header.get());
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    header.setBlockFormat(centred);
    QTextCharFormat letterhead = font("Liberation Sans", 14);
    letterhead.setFontWeight(QFont::Bold);
    header.insertText(u"Cabinet de radiologie de l'Étoile"_qs, letterhead);
    header.insertBlock(centred);
    header.insertText(u"Dr Fançois Lefèvre – Tél. 04 00 00 00 00"_qs, font("Liberation Sans", 10));

    report.footer = std::make_unique<QTextDocument>();
    report.footer->setDefaultFont(defaultFont);
    QTextCursor(report.footer.get()).insertText("Page 1", font("Liberation Serif", 9));

    QTextDocument& body = *report.body;
    QTextCursor cursor(&body);
    QTextBlockFormat title;
    title.setAlignment(Qt::AlignHCenter);
    title.setBottomMargin(12);
    cursor.setBlockFormat(title);
    QTextCharFormat bold = font("Liberation Sans", 16);
    bold.setFontWeight(QFont::Bold);
    cursor.insertText("Compte-rendu {radiologique} \\ test", bold);

    QTextBlockFormat indented;
    indented.setLeftMargin(24);
    indented.setRightMargin(12);
    indented.setTextIndent(-12);
    indented.setTopMargin(4);
    indented.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
    indented.setTabPositions({QTextOption::Tab(120, QTextOption::LeftTab),
        QTextOption::Tab(250, QTextOption::CenterTab), QTextOption::Tab(400, QTextOption::RightTab)});
    cursor.insertBlock(indented);
    cursor.insertText(SampleFrenchText + "\t", font("Liberation Sans", 11));
    QTextCharFormat styled = font("Liberation Sans", 11);
    styled.setFontItalic(true);
    styled.setFontUnderline(true);
    styled.setForeground(QColor(192, 0, 0));
    cursor.insertText(u"fièvre"_qs, styled);
    QTextCharFormat marked = font("Liberation Mono", 9);
    marked.setFontStrikeOut(true);
    marked.setBackground(QColor(255, 255, 0));
    cursor.insertText(" barré", marked);
    QTextCharFormat superscript = font("Liberation Sans", 11);
    superscript.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    cursor.insertText("2", superscript);
    QTextCharFormat subscript = font("Liberation Sans", 11);
    subscript.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    cursor.insertText(" x", subscript);
    cursor.insertText(QString(QChar::LineSeparator) + SampleTextBeyond1252 + QChar(QChar::Nbsp) + "fin",
        font("DejaVu Sans", 11));

    QTextBlockFormat justified;
    justified.setAlignment(Qt::AlignJustify);
    justified.setBottomMargin(6);
    cursor.insertBlock(justified);
    cursor.insertText("Tableau :", font("Liberation Sans", 11));

    QTextTableFormat tableFormat;
    tableFormat.setBorder(1);
    tableFormat.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    tableFormat.setCellPadding(4);
    tableFormat.setCellSpacing(0);
    tableFormat.setBorderCollapse(true);
    tableFormat.setColumnWidthConstraints({QTextLength(QTextLength::FixedLength, 200),
        QTextLength(QTextLength::FixedLength, 150), QTextLength(QTextLength::FixedLength, 100)});
    QTextTable* table = cursor.insertTable(2, 3, tableFormat);
    const QStringList cells = {"Mesure", "Valeur", u"Référence"_qs, "Index", "0,48", "< 0,50"};
    for (int i = 0; i < cells.size(); ++i) {
        QTextCursor cell = table->cellAt(i / 3, i % 3).firstCursorPosition();
        cell.insertText(cells[i], i < 3 ? bold : font("Liberation Sans", 11));
    }
    QTextCursor secondParagraph = table->cellAt(1, 0).lastCursorPosition();
    secondParagraph.insertBlock();
    secondParagraph.insertText("deux lignes", font("Liberation Sans", 11));

    cursor = table->lastCursorPosition();
    cursor.movePosition(QTextCursor::NextBlock);
    QImage picture(60, 40, QImage::Format_RGB32);
    picture.fill(QColor(40, 90, 160));
    body.addResource(QTextDocument::ImageResource, QUrl("user-picture"), picture);
    QTextImageFormat image;
    image.setName("user-picture");
    image.setWidth(120);
    image.setHeight(80);
    cursor.insertImage(image);

    QTextBlockFormat newPage;
    newPage.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    cursor.insertBlock(newPage);
    cursor.insertText("Conclusion", bold);
    cursor.insertBlock(QTextBlockFormat());

    report.page = RtfPageLayout{11906, 16838, 1000, 1100, 1200, 1300, 600, 650};
    return report;
}

} // namespace vexa::rtftest
