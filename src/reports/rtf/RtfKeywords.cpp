#include "reports/rtf/RtfKeywords.h"

#include <string_view>
#include <unordered_map>

namespace vexa {

namespace {

using K = RtfKeyword;

const std::unordered_map<std::string_view, RtfKeyword>& table()
{
    static const std::unordered_map<std::string_view, RtfKeyword> words = [] {
        std::unordered_map<std::string_view, RtfKeyword> map{
            {"fonttbl", K::FontTable},
            {"colortbl", K::ColorTable},
            {"pict", K::Picture},
            {"header", K::Header},
            {"headerr", K::HeaderRight},
            {"headerl", K::HeaderLeft},
            {"headerf", K::HeaderFirst},
            {"footer", K::Footer},
            {"footerr", K::FooterRight},
            {"footerl", K::FooterLeft},
            {"footerf", K::FooterFirst},
            {"upr", K::UnicodeAlternatives},
            {"field", K::Field},
            {"fldinst", K::FieldInstruction},
            {"fldrslt", K::FieldResult},
            {"formfield", K::FormField},
            {"shp", K::Shape},
            {"shpinst", K::ShapeInstructions},
            {"shptxt", K::ShapeText},
            {"shprslt", K::ShapeResult},
            {"footnote", K::Footnote},
            {"annotation", K::Annotation},
            {"object", K::EmbeddedObject},
            {"do", K::DrawingObject},
            {"mmath", K::MathObject},
            {"ls", K::ListOverride},
            {"ud", K::UnicodeText},

            {"ansi", K::Ansi},
            {"mac", K::Mac},
            {"pc", K::Pc},
            {"pca", K::Pca},
            {"ansicpg", K::AnsiCodepage},
            {"deff", K::DefaultFont},
            {"paperw", K::PaperWidth},
            {"paperh", K::PaperHeight},
            {"margl", K::MarginLeft},
            {"margr", K::MarginRight},
            {"margt", K::MarginTop},
            {"margb", K::MarginBottom},
            {"pgwsxn", K::PaperWidth},
            {"pghsxn", K::PaperHeight},
            {"marglsxn", K::MarginLeft},
            {"margrsxn", K::MarginRight},
            {"margtsxn", K::MarginTop},
            {"margbsxn", K::MarginBottom},
            {"headery", K::HeaderDistance},
            {"footery", K::FooterDistance},

            {"plain", K::Plain},
            {"f", K::Font},
            {"fs", K::FontSize},
            {"b", K::Bold},
            {"i", K::Italic},
            {"ul", K::Underline},
            {"uldb", K::Underline},
            {"ulth", K::Underline},
            {"ulw", K::Underline},
            {"uld", K::UnderlineDotted},
            {"ulthd", K::UnderlineDotted},
            {"uldash", K::UnderlineDashed},
            {"uldashd", K::UnderlineDashed},
            {"uldashdd", K::UnderlineDashed},
            {"ulldash", K::UnderlineDashed},
            {"ulthdash", K::UnderlineDashed},
            {"ulthldash", K::UnderlineDashed},
            {"ulthdashd", K::UnderlineDashed},
            {"ulthdashdd", K::UnderlineDashed},
            {"ulwave", K::UnderlineWave},
            {"ulhwave", K::UnderlineWave},
            {"ululdbwave", K::UnderlineWave},
            {"ulnone", K::UnderlineNone},
            {"strike", K::Strike},
            {"striked", K::StrikeDouble},
            {"v", K::Hidden},
            {"caps", K::Caps},
            {"scaps", K::SmallCaps},
            {"cf", K::Foreground},
            {"cb", K::Background},
            {"chcbpat", K::Background},
            {"highlight", K::Highlight},
            {"super", K::Superscript},
            {"sub", K::Subscript},
            {"nosupersub", K::NoSuperSub},
            {"u", K::Unicode},
            {"uc", K::UnicodeSkip},

            {"pn", K::NumberingDestination},
            {"pnseclvl", K::NumberingDestination},
            {"sectd", K::SectionDefaults},
            {"pard", K::ParagraphDefaults},
            {"par", K::Paragraph},
            {"sect", K::Section},
            {"line", K::Line},
            {"tab", K::Tab},
            {"page", K::Page},
            {"ql", K::AlignLeft},
            {"qc", K::AlignCenter},
            {"qr", K::AlignRight},
            {"qj", K::AlignJustify},
            {"qd", K::AlignJustify},
            {"li", K::LeftIndent},
            {"ri", K::RightIndent},
            {"fi", K::FirstLineIndent},
            {"sb", K::SpaceBefore},
            {"sa", K::SpaceAfter},
            {"sl", K::LineSpacing},
            {"slmult", K::LineMultiple},
            {"tx", K::TabPosition},
            {"tqr", K::TabRight},
            {"tqc", K::TabCenter},
            {"tqdec", K::TabDecimal},
            {"pagebb", K::PageBreakBefore},

            {"intbl", K::InTable},
            {"itap", K::TableLevel},
            {"trowd", K::RowDefaults},
            {"cellx", K::CellRight},
            {"trgaph", K::RowGap},
            {"trleft", K::RowLeft},
            {"clbrdrt", K::CellBorder},
            {"clbrdrb", K::CellBorder},
            {"clbrdrl", K::CellBorder},
            {"clbrdrr", K::CellBorder},
            {"trbrdrt", K::CellBorder},
            {"trbrdrb", K::CellBorder},
            {"trbrdrl", K::CellBorder},
            {"trbrdrr", K::CellBorder},
            {"trbrdrh", K::CellBorder},
            {"trbrdrv", K::CellBorder},
            {"brdrnone", K::BorderNone},
            {"brdrnil", K::BorderNone},
            {"brdrtbl", K::BorderNone},
            {"cell", K::Cell},
            {"row", K::Row},
            {"nestcell", K::NestedCell},
            {"nestrow", K::NestedRow},

            {"emdash", K::EmDash},
            {"endash", K::EnDash},
            {"emspace", K::EmSpace},
            {"enspace", K::EnSpace},
            {"qmspace", K::QuarterEmSpace},
            {"bullet", K::Bullet},
            {"lquote", K::LeftQuote},
            {"rquote", K::RightQuote},
            {"ldblquote", K::LeftDoubleQuote},
            {"rdblquote", K::RightDoubleQuote},
            {"zwj", K::ZeroWidthJoiner},
            {"zwnj", K::ZeroWidthNonJoiner},

            {"fcharset", K::FontCharset},
            {"cpg", K::FontCodepage},
            {"red", K::Red},
            {"green", K::Green},
            {"blue", K::Blue},

            {"pngblip", K::PngBlip},
            {"jpegblip", K::JpegBlip},
            {"wmetafile", K::WindowsMetafile},
            {"emfblip", K::EnhancedMetafile},
            {"macpict", K::MacPict},
            {"pmmetafile", K::WindowsMetafile},
            {"dibitmap", K::Bitmap},
            {"wbitmap", K::Bitmap},
            {"picw", K::PictureWidth},
            {"pich", K::PictureHeight},
            {"picwgoal", K::PictureGoalWidth},
            {"pichgoal", K::PictureGoalHeight},
            {"picscalex", K::PictureScaleX},
            {"picscaley", K::PictureScaleY},
        };
        // Border styles of table cells: any of them draws the border.
        for (const char* style : {"brdrs", "brdrth", "brdrsh", "brdrdb", "brdrdot", "brdrdash", "brdrhair",
                 "brdrinset", "brdroutset", "brdrtriple", "brdrtnthsg", "brdrthtnsg", "brdrtnthtnsg",
                 "brdrtnthmg", "brdrthtnmg", "brdrtnthtnmg", "brdrtnthlg", "brdrthtnlg", "brdrtnthtnlg",
                 "brdrwavy", "brdrwavydb", "brdrdashsm", "brdrdashd", "brdrdashdd", "brdrdashdotstr",
                 "brdremboss", "brdrengrave", "brdrframe"})
            map.emplace(style, K::BorderStyle);
        // Destinations whose content is not document text.
        for (const char* word : {"stylesheet", "info", "listtable", "listoverridetable", "revtbl", "rsidtbl",
                 "pgdsctbl", "filetbl", "nonshppict", "xe", "tc", "txe", "rxe", "template", "private",
                 "atnid", "atnauthor", "atndate", "atnref", "atrfstart", "atrfend", "bkmkstart", "bkmkend",
                 "pntxta", "pntxtb", "ftnsep", "ftnsepc", "ftncn", "aftnsep", "aftnsepc", "aftncn", "objdata",
                 "objclass", "objname", "themedata", "colorschememapping", "datastore", "latentstyles",
                 "xmlnstbl", "generator", "mmathPr", "userprops", "docvar", "listpicture", "comment",
                 "author", "operator", "title", "subject", "keywords", "doccomm", "company", "creatim",
                 "revtim", "printim", "buptim", "falt", "panose", "leveltext", "levelnumbers", "datafield",
                 "fldtype", "background", "pgptbl", "nesttableprops", "nonesttables", "protusertbl",
                 "passwordhash", "wgrffmtfilter", "blipuid", "fchars", "lchars", "sp", "picprop", "mhtmltag",
                 "htmltag", "xmlopen", "xmlclose", "ebcstart", "ebcend", "factoidname", "oldcprops",
                 "oldpprops", "oldsprops", "oldtprops"})
            map.emplace(word, K::SkippedDestination);
        // Groups whose content reads as text: list labels, picture containers.
        for (const char* word : {"listtext", "pntext", "shppict", "result"})
            map.emplace(word, K::ReadDestination);
        return map;
    }();
    return words;
}

} // namespace

RtfKeyword lookUpRtfKeyword(QByteArrayView word)
{
    const auto& words = table();
    const auto found = words.find(std::string_view(word.data(), std::size_t(word.size())));
    return found == words.end() ? RtfKeyword::Unknown : found->second;
}

} // namespace vexa
