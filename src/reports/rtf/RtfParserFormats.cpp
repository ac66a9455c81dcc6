// The parts of the reading engine that read the font table, the colour table
// and a picture's description, and that turn group states into Qt formats.
#include "reports/rtf/RtfParser.h"

#include "base/core/Numeric.h"

#include <QTextOption>
#include <algorithm>

namespace vexa {

namespace {

double pixels(int twips)
{
    return double(twips) / TwipsPerPixel;
}

} // namespace

void RtfParser::pictureWord(RtfKeyword keyword, int value)
{
    switch (keyword) {
    case RtfKeyword::PngBlip:
        picture_.kind = RtfPictureKind::Png;
        break;
    case RtfKeyword::JpegBlip:
        picture_.kind = RtfPictureKind::Jpeg;
        break;
    case RtfKeyword::WindowsMetafile:
        picture_.kind = RtfPictureKind::WindowsMetafile;
        break;
    case RtfKeyword::EnhancedMetafile:
        picture_.kind = RtfPictureKind::EnhancedMetafile;
        break;
    case RtfKeyword::MacPict:
        picture_.kind = RtfPictureKind::MacPict;
        break;
    case RtfKeyword::Bitmap:
        picture_.kind = RtfPictureKind::Bitmap;
        break;
    case RtfKeyword::PictureWidth:
        picture_.width = std::clamp(value, 0, 1 << 20);
        break;
    case RtfKeyword::PictureHeight:
        picture_.height = std::clamp(value, 0, 1 << 20);
        break;
    case RtfKeyword::PictureGoalWidth:
        picture_.goalWidth = std::clamp(value, 0, MaxTwips);
        break;
    case RtfKeyword::PictureGoalHeight:
        picture_.goalHeight = std::clamp(value, 0, MaxTwips);
        break;
    case RtfKeyword::PictureScaleX:
        picture_.scaleX = value;
        break;
    case RtfKeyword::PictureScaleY:
        picture_.scaleY = value;
        break;
    default:
        break;
    }
}

void RtfParser::fontTableWord(RtfKeyword keyword, int value)
{
    switch (keyword) {
    case RtfKeyword::Font:
        if (!fontName_.isEmpty())
            commitFontName();
        currentFont_ = value;
        if (fonts_.size() < MaxFonts || fonts_.contains(value))
            fonts_.insert(value, FontEntry{});
        break;
    case RtfKeyword::FontCharset:
        if (auto found = fonts_.find(currentFont_); found != fonts_.end())
            found->codepage = codepageForCharset(value);
        break;
    case RtfKeyword::FontCodepage:
        if (auto found = fonts_.find(currentFont_); found != fonts_.end() && value > 0)
            found->codepage = value;
        break;
    case RtfKeyword::Unicode:
        unicodeCharacter(value);
        break;
    default:
        break;
    }
}

void RtfParser::colorTableWord(RtfKeyword keyword, int value)
{
    const int component = std::clamp(value, 0, 255);
    switch (keyword) {
    case RtfKeyword::Red:
        red_ = component;
        colorGiven_ = true;
        break;
    case RtfKeyword::Green:
        green_ = component;
        colorGiven_ = true;
        break;
    case RtfKeyword::Blue:
        blue_ = component;
        colorGiven_ = true;
        break;
    default:
        break;
    }
}

int RtfParser::codepageFor(const CharState& chars) const
{
    const auto found = fonts_.constFind(chars.font < 0 ? defaultFont_ : chars.font);
    if (found != fonts_.constEnd() && found->codepage != 0)
        return found->codepage;
    return codepage_;
}

const QTextCharFormat& RtfParser::charFormat(const CharState& chars)
{
    for (int i = 0; i < charCacheSize_; ++i) {
        if (charCache_[i].state == chars)
            return charCache_[i].format;
    }
    QTextCharFormat format;
    // Text in the default font takes the document's default font; other
    // fonts are named.
    if (chars.font >= 0 && chars.font != defaultFont_) {
        const auto font = fonts_.constFind(chars.font);
        if (font != fonts_.constEnd() && !font->name.isEmpty())
            format.setFontFamilies({font->name});
    }
    format.setFontPointSize(chars.halfPoints / 2.0);
    if (chars.bold)
        format.setFontWeight(QFont::Bold);
    if (chars.italic)
        format.setFontItalic(true);
    if (chars.underline != QTextCharFormat::NoUnderline)
        format.setUnderlineStyle(QTextCharFormat::UnderlineStyle(chars.underline));
    if (chars.strike)
        format.setFontStrikeOut(true);
    if (chars.caps)
        format.setFontCapitalization(QFont::AllUppercase);
    else if (chars.smallCaps)
        format.setFontCapitalization(QFont::SmallCaps);
    if (chars.foreground > 0 && chars.foreground < colors_.size() && colors_[chars.foreground].isValid())
        format.setForeground(colors_[chars.foreground]);
    if (chars.background > 0 && chars.background < colors_.size() && colors_[chars.background].isValid())
        format.setBackground(colors_[chars.background]);
    if (chars.vertical != QTextCharFormat::AlignNormal)
        format.setVerticalAlignment(QTextCharFormat::VerticalAlignment(chars.vertical));
    if (chars.field >= 0) {
        const FieldEntry& field = fields_[std::size_t(chars.field)];
        if (!field.instruction.trimmed().isEmpty()) {
            format.setProperty(rtf_field_property::Instruction, field.instruction);
            format.setProperty(rtf_field_property::Id, field.id);
        }
    }

    CachedChar& slot = charCache_[charCacheNext_];
    charCacheNext_ = (charCacheNext_ + 1) % int(charCache_.size());
    charCacheSize_ = std::min(charCacheSize_ + 1, int(charCache_.size()));
    slot.state = chars;
    slot.format = format;
    return slot.format;
}

const QTextBlockFormat& RtfParser::blockFormat(const ParaState& para)
{
    if (blockCached_ && cachedPara_ == para)
        return cachedBlock_;
    QTextBlockFormat format;
    switch (para.alignment) {
    case 1:
        format.setAlignment(Qt::AlignHCenter);
        break;
    case 2:
        format.setAlignment(Qt::AlignRight);
        break;
    case 3:
        format.setAlignment(Qt::AlignJustify);
        break;
    default:
        break;
    }
    if (para.leftIndent)
        format.setLeftMargin(pixels(para.leftIndent));
    if (para.rightIndent)
        format.setRightMargin(pixels(para.rightIndent));
    if (para.firstLineIndent)
        format.setTextIndent(pixels(para.firstLineIndent));
    if (para.spaceBefore)
        format.setTopMargin(pixels(para.spaceBefore));
    if (para.spaceAfter)
        format.setBottomMargin(pixels(para.spaceAfter));
    if (para.lineSpacing > 0 && para.lineMultiple)
        format.setLineHeight(para.lineSpacing * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
    else if (para.lineSpacing > 0)
        format.setLineHeight(pixels(para.lineSpacing), QTextBlockFormat::MinimumHeight);
    else if (para.lineSpacing < 0)
        format.setLineHeight(pixels(-para.lineSpacing), QTextBlockFormat::FixedHeight);
    if (para.tabCount > 0) {
        QList<QTextOption::Tab> tabs;
        for (int i = 0; i < para.tabCount; ++i) {
            const auto type = QTextOption::TabType(para.tabs[i].type);
            tabs.append(QTextOption::Tab(pixels(para.tabs[i].position), type,
                type == QTextOption::DelimiterTab ? QChar(',') : QChar()));
        }
        std::stable_sort(tabs.begin(), tabs.end(),
            [](const QTextOption::Tab& a, const QTextOption::Tab& b) { return a.position < b.position; });
        format.setTabPositions(tabs);
    }
    if (para.pageBreakBefore)
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    cachedPara_ = para;
    cachedBlock_ = format;
    blockCached_ = true;
    return cachedBlock_;
}

} // namespace vexa
