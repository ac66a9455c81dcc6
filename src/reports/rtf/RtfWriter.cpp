#include "reports/rtf/RtfWriter.h"

#include "base/core/PrivateFiles.h"
#include "base/core/Windows1252.h"

#include "base/core/Numeric.h"
#include "reports/rtf/RtfCodepage.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>
#include <cmath>

namespace vexa {

namespace {

int twips(double pixels)
{
    return int(std::lround(pixels * TwipsPerPixel));
}

QString familyOf(const QTextCharFormat& format)
{
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    return format.stringProperty(QTextFormat::FontFamily);
}

// Blocks in reading order under a frame, tables and other frames flattened.
void collectBlocks(QTextFrame::iterator it, QList<QTextBlock>& blocks)
{
    for (; !it.atEnd(); ++it) {
        if (QTextFrame* frame = it.currentFrame())
            collectBlocks(frame->begin(), blocks);
        else if (it.currentBlock().isValid())
            blocks.append(it.currentBlock());
    }
}

class Writer {
public:
    Writer(const QTextDocument& body, const QTextDocument* header, const QTextDocument* footer,
        const RtfPageLayout& page)
        : body_(body)
        , header_(header)
        , footer_(footer)
        , page_(page)
    {
    }

    QByteArray run();

private:
    void collect(const QTextDocument& document);
    void noteFormat(const QTextCharFormat& format);
    int fontIndex(const QString& family) const;
    int colorIndex(const QColor& color) const;

    void writeFrame(const QTextDocument& document, QTextFrame* frame);
    void writeTable(const QTextDocument& document, QTextTable* table);
    void writeBlock(const QTextDocument& document, const QTextBlock& block, bool inTable, const char* mark);
    void writeParagraphFormat(const QTextDocument& document, const QTextBlock& block);
    void writeCharFormat(const QTextDocument& document, const QTextCharFormat& format);
    void writeText(const QString& text);
    void writePicture(const QTextDocument& document, const QTextImageFormat& format);
    void writeFontName(const QString& name);

    const QTextDocument& body_;
    const QTextDocument* header_;
    const QTextDocument* footer_;
    RtfPageLayout page_;
    QStringList fonts_;
    QList<QColor> colors_;
    QByteArray out_;
    bool pageBreakNext_ = false;
};

QByteArray Writer::run()
{
    fonts_.append(body_.defaultFont().family());
    collect(body_);
    if (header_)
        collect(*header_);
    if (footer_)
        collect(*footer_);

    out_.reserve(64 * 1024);
    out_ += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
    for (int i = 0; i < fonts_.size(); ++i) {
        out_ += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset0 ";
        writeFontName(fonts_[i]);
        out_ += ";}";
    }
    out_ += "}\n{\\colortbl;";
    for (const QColor& color : colors_) {
        out_ += "\\red" + QByteArray::number(color.red()) + "\\green" + QByteArray::number(color.green())
            + "\\blue" + QByteArray::number(color.blue()) + ';';
    }
    out_ += "}\n";
    const QByteArray pageWords = "\\paperw" + QByteArray::number(page_.paperWidth) + "\\paperh"
        + QByteArray::number(page_.paperHeight) + "\\margl" + QByteArray::number(page_.marginLeft) + "\\margr"
        + QByteArray::number(page_.marginRight) + "\\margt" + QByteArray::number(page_.marginTop) + "\\margb"
        + QByteArray::number(page_.marginBottom);
    out_ += pageWords + "\n\\sectd\\headery" + QByteArray::number(page_.headerDistance) + "\\footery"
        + QByteArray::number(page_.footerDistance) + '\n';
    if (header_) {
        out_ += "{\\header\n";
        writeFrame(*header_, header_->rootFrame());
        out_ += "}\n";
    }
    if (footer_) {
        out_ += "{\\footer\n";
        writeFrame(*footer_, footer_->rootFrame());
        out_ += "}\n";
    }
    writeFrame(body_, body_.rootFrame());
    out_ += "}\n";
    return out_;
}

void Writer::collect(const QTextDocument& document)
{
    const QString family = document.defaultFont().family();
    if (!fonts_.contains(family))
        fonts_.append(family);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        noteFormat(block.charFormat());
        for (auto it = block.begin(); !it.atEnd(); ++it)
            noteFormat(it.fragment().charFormat());
    }
}

void Writer::noteFormat(const QTextCharFormat& format)
{
    const QString family = familyOf(format);
    if (!family.isEmpty() && !fonts_.contains(family))
        fonts_.append(family);
    for (const QBrush& brush : {format.foreground(), format.background()}) {
        if (brush.style() != Qt::NoBrush && !colors_.contains(brush.color()))
            colors_.append(brush.color());
    }
}

int Writer::fontIndex(const QString& family) const
{
    return std::max<int>(0, fonts_.indexOf(family));
}

int Writer::colorIndex(const QColor& color) const
{
    return int(colors_.indexOf(color)) + 1;
}

void Writer::writeFrame(const QTextDocument& document, QTextFrame* frame)
{
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (QTextFrame* child = it.currentFrame()) {
            if (auto* table = qobject_cast<QTextTable*>(child))
                writeTable(document, table);
            else
                writeFrame(document, child);
        } else if (it.currentBlock().isValid()) {
            writeBlock(document, it.currentBlock(), false, "\\par");
        }
    }
}

void Writer::writeTable(const QTextDocument& document, QTextTable* table)
{
    const QTextTableFormat format = table->format();
    const int columns = table->columns();
    const QList<QTextLength> constraints = format.columnWidthConstraints();
    const int textWidth = page_.textWidth();

    // Column widths in twips: fixed and percentage ones as given, the others
    // sharing what is left of the text width.
    QList<int> widths(columns, 0);
    int used = 0;
    int variable = 0;
    for (int c = 0; c < columns; ++c) {
        const QTextLength length = c < constraints.size() ? constraints[c] : QTextLength();
        if (length.type() == QTextLength::FixedLength)
            widths[c] = twips(length.rawValue());
        else if (length.type() == QTextLength::PercentageLength)
            widths[c] = int(std::lround(textWidth * length.rawValue() / 100.0));
        else
            ++variable;
        used += widths[c];
    }
    if (variable > 0) {
        const int share = std::max(textWidth - used, 360 * variable) / variable;
        for (int c = 0; c < columns; ++c) {
            const QTextLength length = c < constraints.size() ? constraints[c] : QTextLength();
            if (length.type() != QTextLength::FixedLength && length.type() != QTextLength::PercentageLength)
                widths[c] = share;
        }
    }
    const bool bordered = format.border() > 0 && format.borderStyle() != QTextFrameFormat::BorderStyle_None;
    QByteArray rowDefinition = "\\trowd\\trgaph" + QByteArray::number(twips(format.cellPadding()));
    int edge = 0;
    for (int c = 0; c < columns; ++c) {
        if (bordered)
            rowDefinition += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10"
                             "\\clbrdrr\\brdrs\\brdrw10";
        edge += std::max(widths[c], 1);
        rowDefinition += "\\cellx" + QByteArray::number(edge);
    }
    rowDefinition += '\n';

    for (int r = 0; r < table->rows(); ++r) {
        out_ += rowDefinition;
        for (int c = 0; c < columns; ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.row() != r || cell.column() != c) {
                out_ += "\\pard\\plain\\intbl\\cell\n"; // covered by a merged cell
                continue;
            }
            QList<QTextBlock> blocks;
            collectBlocks(cell.begin(), blocks);
            if (blocks.isEmpty()) {
                out_ += "\\pard\\plain\\intbl\\cell\n";
                continue;
            }
            for (int i = 0; i < blocks.size(); ++i)
                writeBlock(document, blocks[i], true, i + 1 == blocks.size() ? "\\cell" : "\\par");
        }
        out_ += "\\row\n";
    }
}

void Writer::writeBlock(
    const QTextDocument& document, const QTextBlock& block, bool inTable, const char* mark)
{
    out_ += "\\pard\\plain";
    writeParagraphFormat(document, block);
    if (inTable)
        out_ += "\\intbl";
    out_ += ' ';
    if (QTextList* list = block.textList()) {
        // Lists are written as the text they show: label, then a tab.
        const QTextListFormat::Style style = list->format().style();
        QString label = list->itemText(block);
        if (style == QTextListFormat::ListDisc)
            label = QString(QChar(0x2022));
        else if (style == QTextListFormat::ListCircle)
            label = QString(QChar(0x25E6));
        else if (style == QTextListFormat::ListSquare)
            label = QString(QChar(0x25AA));
        out_ += '{';
        writeCharFormat(document, block.charFormat());
        out_ += ' ';
        writeText(label + QLatin1Char('\t'));
        out_ += '}';
    }
    int openField = 0; // the id of the field whose result is being written
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        const int field
            = format.hasProperty(rtf_field_property::Id) ? format.intProperty(rtf_field_property::Id) : 0;
        if (field != openField) {
            if (openField)
                out_ += "}}";
            if (field) {
                out_ += "{\\field{\\*\\fldinst ";
                writeText(format.stringProperty(rtf_field_property::Instruction));
                out_ += "}{\\fldrslt ";
            }
            openField = field;
        }
        if (format.isImageFormat()) {
            const QTextImageFormat image = format.toImageFormat();
            // One fragment may hold several copies of the same picture.
            for (int i = 0; i < fragment.length(); ++i)
                writePicture(document, image);
            continue;
        }
        out_ += '{';
        writeCharFormat(document, format);
        out_ += ' ';
        writeText(fragment.text());
        out_ += '}';
    }
    if (openField)
        out_ += "}}";
    if (block.length() <= 1)
        writeCharFormat(document, block.charFormat()); // the empty line's height
    out_ += mark;
    out_ += '\n';
}

void Writer::writeParagraphFormat(const QTextDocument& document, const QTextBlock& block)
{
    const QTextBlockFormat format = block.blockFormat();
    const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
    if (alignment & Qt::AlignHCenter)
        out_ += "\\qc";
    else if (alignment & Qt::AlignJustify)
        out_ += "\\qj";
    else if (alignment & (Qt::AlignRight | Qt::AlignTrailing))
        out_ += "\\qr";
    else
        out_ += "\\ql";
    double left = format.leftMargin() + format.indent() * document.indentWidth();
    if (QTextList* list = block.textList())
        left += list->format().indent() * document.indentWidth();
    if (const int value = twips(left))
        out_ += "\\li" + QByteArray::number(value);
    if (const int value = twips(format.rightMargin()))
        out_ += "\\ri" + QByteArray::number(value);
    if (const int value = twips(format.textIndent()))
        out_ += "\\fi" + QByteArray::number(value);
    if (const int value = twips(format.topMargin()))
        out_ += "\\sb" + QByteArray::number(value);
    if (const int value = twips(format.bottomMargin()))
        out_ += "\\sa" + QByteArray::number(value);
    switch (format.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        if (format.lineHeight() > 0 && format.lineHeight() != 100)
            out_ += "\\sl" + QByteArray::number(std::lround(format.lineHeight() * 240.0 / 100.0))
                + "\\slmult1";
        break;
    case QTextBlockFormat::MinimumHeight:
        out_ += "\\sl" + QByteArray::number(twips(format.lineHeight())) + "\\slmult0";
        break;
    case QTextBlockFormat::FixedHeight:
        out_ += "\\sl-" + QByteArray::number(twips(format.lineHeight())) + "\\slmult0";
        break;
    default:
        break;
    }
    for (const QTextOption::Tab& tab : format.tabPositions()) {
        if (tab.type == QTextOption::RightTab)
            out_ += "\\tqr";
        else if (tab.type == QTextOption::CenterTab)
            out_ += "\\tqc";
        else if (tab.type == QTextOption::DelimiterTab)
            out_ += "\\tqdec";
        out_ += "\\tx" + QByteArray::number(twips(tab.position));
    }
    if ((format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) || pageBreakNext_)
        out_ += "\\pagebb";
    pageBreakNext_ = (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter) != 0;
}

void Writer::writeCharFormat(const QTextDocument& document, const QTextCharFormat& format)
{
    QString family = familyOf(format);
    if (family.isEmpty())
        family = document.defaultFont().family();
    out_ += "\\f" + QByteArray::number(fontIndex(family));
    double points = format.fontPointSize();
    if (points <= 0) {
        points = document.defaultFont().pointSizeF();
        if (points <= 0)
            points = 12;
    }
    out_ += "\\fs" + QByteArray::number(std::max(2L, std::lround(points * 2)));
    if (format.fontWeight() > QFont::Medium)
        out_ += "\\b";
    if (format.fontItalic())
        out_ += "\\i";
    switch (format.underlineStyle()) {
    case QTextCharFormat::NoUnderline:
        break;
    case QTextCharFormat::DotLine:
        out_ += "\\uld";
        break;
    case QTextCharFormat::DashUnderline:
    case QTextCharFormat::DashDotLine:
    case QTextCharFormat::DashDotDotLine:
        out_ += "\\uldash";
        break;
    case QTextCharFormat::WaveUnderline:
    case QTextCharFormat::SpellCheckUnderline:
        out_ += "\\ulwave";
        break;
    default:
        out_ += "\\ul";
        break;
    }
    if (format.fontStrikeOut())
        out_ += "\\strike";
    if (format.fontCapitalization() == QFont::AllUppercase)
        out_ += "\\caps";
    else if (format.fontCapitalization() == QFont::SmallCaps)
        out_ += "\\scaps";
    if (format.foreground().style() != Qt::NoBrush)
        out_ += "\\cf" + QByteArray::number(colorIndex(format.foreground().color()));
    if (format.background().style() != Qt::NoBrush)
        out_ += "\\highlight" + QByteArray::number(colorIndex(format.background().color()));
    if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        out_ += "\\super";
    else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
        out_ += "\\sub";
}

void Writer::writeText(const QString& text)
{
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        switch (c) {
        case '\\':
            out_ += "\\\\";
            continue;
        case '{':
            out_ += "\\{";
            continue;
        case '}':
            out_ += "\\}";
            continue;
        case '\t':
            out_ += "\\tab ";
            continue;
        case QChar::LineSeparator:
            out_ += "\\line ";
            continue;
        case QChar::Nbsp:
            out_ += "\\~";
            continue;
        case QChar::SoftHyphen:
            out_ += "\\-";
            continue;
        case 0x2011:
            out_ += "\\_";
            continue;
        default:
            break;
        }
        if (c < 0x20 || c == 0xFFFC || c == QChar::ParagraphSeparator)
            continue;
        if (c < 0x80) {
            out_ += char(c);
            continue;
        }
        // C1 controls go out as \u: 1252 gives their bytes other characters.
        const int byte = c < 0xA0 ? -1 : windows1252Byte(c);
        if (byte >= 0) {
            static const char hex[] = "0123456789abcdef";
            out_ += "\\'";
            out_ += hex[byte >> 4];
            out_ += hex[byte & 15];
        } else {
            out_ += "\\u" + QByteArray::number(int(std::int16_t(c))) + '?';
        }
    }
}

void Writer::writePicture(const QTextDocument& document, const QTextImageFormat& format)
{
    QByteArray data = format.property(rtf_picture_property::Data).toByteArray();
    auto kind = RtfPictureKind(format.intProperty(rtf_picture_property::Kind));
    QSize pixels(format.intProperty(rtf_picture_property::PixelWidth),
        format.intProperty(rtf_picture_property::PixelHeight));

    const QVariant resource = document.resource(QTextDocument::ImageResource, QUrl(format.name()));
    QImage image;
    if (resource.typeId() == QMetaType::QImage)
        image = resource.value<QImage>();
    else if (resource.typeId() == QMetaType::QPixmap)
        image = resource.value<QPixmap>().toImage();
    else if (resource.typeId() == QMetaType::QByteArray)
        image = QImage::fromData(resource.toByteArray());

    if (data.isEmpty() || kind == RtfPictureKind::Unknown) {
        // A picture put in by the editor: written as PNG.
        if (image.isNull())
            return;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        kind = RtfPictureKind::Png;
        pixels = image.size();
    } else if (!image.isNull() && (kind == RtfPictureKind::Png || kind == RtfPictureKind::Jpeg)) {
        pixels = image.size();
    }
    double width = format.width();
    double height = format.height();
    if (width <= 0)
        width = pixels.width();
    if (height <= 0)
        height = pixels.height();

    out_ += "{\\pict";
    switch (kind) {
    case RtfPictureKind::Jpeg:
        out_ += "\\jpegblip";
        break;
    case RtfPictureKind::WindowsMetafile:
        out_ += "\\wmetafile8";
        break;
    case RtfPictureKind::EnhancedMetafile:
        out_ += "\\emfblip";
        break;
    case RtfPictureKind::MacPict:
        out_ += "\\macpict";
        break;
    case RtfPictureKind::Bitmap:
        out_ += "\\dibitmap0";
        break;
    default:
        out_ += "\\pngblip";
        break;
    }
    out_ += "\\picw" + QByteArray::number(pixels.width()) + "\\pich" + QByteArray::number(pixels.height())
        + "\\picwgoal" + QByteArray::number(twips(width)) + "\\pichgoal" + QByteArray::number(twips(height))
        + '\n';
    const QByteArray hex = data.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128) {
        out_ += QByteArrayView(hex).sliced(i, std::min<qsizetype>(128, hex.size() - i));
        out_ += '\n';
    }
    out_ += '}';
}

void Writer::writeFontName(const QString& name)
{
    QString cleaned = name;
    cleaned.remove(QLatin1Char(';'));
    writeText(cleaned);
}

} // namespace

QByteArray RtfWriter::write(const RtfDocument& document)
{
    return write(*document.body, document.header.get(), document.footer.get(), document.page);
}

QByteArray RtfWriter::write(const QTextDocument& body, const QTextDocument* header,
    const QTextDocument* footer, const RtfPageLayout& page)
{
    return Writer(body, header, footer, page).run();
}

bool RtfWriter::writeFile(const QString& path, const RtfDocument& document, QString* error)
{
    return writeFile(
        path, *document.body, document.header.get(), document.footer.get(), document.page, error);
}

bool RtfWriter::writeFile(const QString& path, const QTextDocument& body, const QTextDocument* header,
    const QTextDocument* footer, const RtfPageLayout& page, QString* error)
{
    // The system reads a name up to its first NUL: the file written would be
    // another one than the one asked for.
    if (path.contains(QChar(0))) {
        if (error)
            *error
                = QStringLiteral("Impossible d'enregistrer le fichier : son nom contient un caractère nul.");
        return false;
    }
    const QByteArray rtf = write(body, header, footer, page);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size() || !file.commit()) {
        if (error)
            *error
                = QStringLiteral("Impossible d'enregistrer le fichier %1 : %2").arg(path, file.errorString());
        return false;
    }
    // Reports name patients: other users of the workstation do not read them.
    makePrivateFile(path);
    return true;
}

} // namespace vexa
