#include "reports/rtf/RtfParser.h"

#include "base/core/Numeric.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>
#include <algorithm>
#include <atomic>
#include <map>

namespace vexa {

namespace {

// Deeper groups than this are never real documents; their content is skipped.
constexpr std::size_t kMaxDepth = 400;
// Table cells one reading may create, against rows that multiply them.
constexpr long long kCellBudget = 20000;
// Lengths beyond about 1.1 m are damage: clamp them.
constexpr int kMaxFontName = 256;
// Fields one reading keeps, and the length of an instruction.
constexpr std::size_t kMaxFields = 10000;
constexpr int kMaxInstruction = 4096;

// What reading cannot keep, as the editor tells it before saving.
const QString kLostHeaders = QStringLiteral(
    "les en-têtes et pieds de page propres à la première page, aux pages paires ou à une section");
const QString kLostSections
    = QStringLiteral("les sauts de section et leur mise en page (le texte est gardé)");
const QString kLostShapes = QStringLiteral(
    "la place et le cadre des zones de texte et des dessins (le texte des zones de texte est gardé)");
const QString kLostFields = QStringLiteral(
    "les champs imbriqués ou de formulaire, comme une table des matières (leur texte est gardé)");
const QString kLostLists
    = QStringLiteral("la numérotation automatique des listes (les numéros restent, comme du texte)");

// Ids of fields, unique in the process so that two documents' fields never
// merge when one is inserted into the other.
std::atomic<int> nextFieldId{1};

int clampTwips(int value)
{
    return std::clamp(value, -RtfParser::MaxTwips, RtfParser::MaxTwips);
}

bool isDroppedCharacter(char16_t c)
{
    // Controls other than tab, and the characters QTextDocument keeps for
    // paragraph and frame boundaries and embedded objects.
    return (c < 0x20 && c != '\t') || c == 0x7F || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1 || c == 0xFFFC
        || c == 0xFEFF;
}

} // namespace

RtfParser::RtfParser(RtfDocument& document)
    : document_(document)
    , cellBudget_(kCellBudget)
{
    builders_[Body] = std::make_unique<RtfDocumentBuilder>(document_.body.get());
    builders_[Body]->setCellBudget(&cellBudget_);
    stack_.reserve(64);
    stack_.push_back(GroupState{});
}

RtfParser::~RtfParser() = default;

void RtfParser::parse(QByteArrayView data)
{
    RtfTokenizer tokenizer(data);
    while (!finished_) {
        const RtfToken token = tokenizer.next();
        switch (token.type) {
        case RtfToken::Type::End:
            finished_ = true;
            break;
        case RtfToken::Type::GroupStart:
            groupStart();
            break;
        case RtfToken::Type::GroupEnd:
            groupEnd();
            break;
        case RtfToken::Type::ControlWord:
            if (overflowDepth_ == 0)
                controlWord(token);
            break;
        case RtfToken::Type::ControlSymbol:
            if (overflowDepth_ == 0)
                controlSymbol(token.symbol);
            break;
        case RtfToken::Type::Text:
            if (overflowDepth_ == 0)
                textBytes(token.text);
            break;
        case RtfToken::Type::HexByte: {
            const char byte = char(token.byte);
            if (overflowDepth_ == 0) {
                if (state().destination == Destination::Picture)
                    break; // escapes are not picture data
                textBytes(QByteArrayView(&byte, 1));
            }
            break;
        }
        case RtfToken::Type::Binary:
            if (overflowDepth_ == 0)
                binaryData(token.text);
            break;
        }
    }
    // Input that ends inside groups (truncated files) keeps what was read.
    flushBytes();
    flushRun();
    if (state().ownsPicture)
        finishPicture(state());
    // Text without a font of its own shows in the default font, at 12 points.
    const QString defaultFamily = fonts_.value(defaultFont_).name;
    for (auto& part : builders_) {
        if (part)
            part->finish();
    }
    finishFields();
    for (auto& part : builders_) {
        if (!part)
            continue;
        QFont font = part->document()->defaultFont();
        if (!defaultFamily.isEmpty())
            font.setFamilies({defaultFamily});
        font.setPointSizeF(12);
        part->document()->setDefaultFont(font);
    }
}

// ---- Groups ----

void RtfParser::groupStart()
{
    flushBytes();
    fallbackToSkip_ = 0;
    starPending_ = false;
    if (overflowDepth_ > 0 || stack_.size() >= kMaxDepth) {
        ++overflowDepth_;
        return;
    }
    groupOpening_ = true;
    GroupState inner = state();
    inner.ownsPicture = false;
    stack_.push_back(inner);
}

void RtfParser::groupEnd()
{
    groupOpening_ = false;
    flushBytes();
    fallbackToSkip_ = 0;
    starPending_ = false;
    if (overflowDepth_ > 0) {
        --overflowDepth_;
        return;
    }
    if (stack_.size() <= 1)
        return; // a closing brace too many: ignored
    const GroupState closed = stack_.back();
    stack_.pop_back();
    if (closed.ownsPicture)
        finishPicture(closed);
    if (closed.shapeText && !state().shapeText && closed.destination == Destination::Text) {
        // A box's last paragraph without its mark ends with the box.
        flushRun();
        if (builder(closed.part).paragraphHasContent())
            builder(closed.part)
                .endParagraph(blockFormat(closed.para), charFormat(closed.chars), closed.para.inTable);
    }
    if (closed.destination == Destination::FontTable && !fontName_.isEmpty())
        commitFontName(); // an entry without its ';'
    if ((closed.destination == Destination::FontTable || closed.destination == Destination::ColorTable)
        && state().destination != closed.destination)
        charCacheSize_ = charCacheNext_ = 0; // formats name fonts and colours: make them anew
    if (stack_.size() == 1)
        finished_ = true; // the document's own group is closed; what follows is not RTF
}

// ---- Control words ----

void RtfParser::controlWord(const RtfToken& token)
{
    flushBytes();
    GroupState& current = state();
    if (current.destination == Destination::Skip) {
        starPending_ = false;
        return;
    }
    if (fallbackToSkip_ > 0) {
        // A control word standing for the fallback of \uN counts as one character.
        --fallbackToSkip_;
        return;
    }
    const RtfKeyword keyword = lookUpRtfKeyword(token.text);
    if (current.destination == Destination::Numbering) {
        // Numbering property groups left open (files that lost a closing
        // brace) would hide the rest of the document: a word that only
        // paragraphs and sections have ends them.
        switch (keyword) {
        case RtfKeyword::SectionDefaults:
        case RtfKeyword::ParagraphDefaults:
        case RtfKeyword::Paragraph:
        case RtfKeyword::Section:
        case RtfKeyword::RowDefaults:
            current.destination = current.outerDestination;
            break;
        default:
            starPending_ = false;
            return;
        }
    }
    const bool starred = starPending_;
    starPending_ = false;
    // A destination is the first word of its group; elsewhere the same word
    // is not one (Word's \rsidroot is no \rsidtbl).
    const bool opening = groupOpening_;
    groupOpening_ = false;
    if (opening && startDestination(keyword))
        return;
    if (starred) {
        // \* before a word that is not a destination we read: skip the group.
        current.destination = Destination::Skip;
        return;
    }
    const int value = token.parameter;
    switch (current.destination) {
    case Destination::Text:
        textWord(keyword, token);
        break;
    case Destination::FontTable:
        fontTableWord(keyword, value);
        break;
    case Destination::ColorTable:
        colorTableWord(keyword, value);
        break;
    case Destination::Picture:
        pictureWord(keyword, value);
        break;
    case Destination::FieldInstruction:
        if (keyword == RtfKeyword::Unicode)
            unicodeCharacter(value);
        break;
    case Destination::UnicodeAlternatives:
    case Destination::Numbering:
    case Destination::Skip:
        break;
    }
}

bool RtfParser::startDestination(RtfKeyword keyword)
{
    if (startFieldDestination(keyword) || startShapeDestination(keyword) || skipLossyDestination(keyword))
        return true;
    GroupState& current = state();
    switch (keyword) {
    case RtfKeyword::UnicodeText:
        if (current.destination == Destination::UnicodeAlternatives)
            current.destination = current.outerDestination;
        return true;
    case RtfKeyword::ReadDestination:
        if (current.destination != Destination::Text
            && current.destination != Destination::UnicodeAlternatives)
            current.destination = Destination::Skip;
        return true;
    case RtfKeyword::SkippedDestination:
        current.destination = Destination::Skip;
        return true;
    case RtfKeyword::NumberingDestination:
        if (current.destination == Destination::Text) {
            noteLoss(kLostLists);
            current.outerDestination = Destination::Text;
            current.destination = Destination::Numbering;
        } else {
            current.destination = Destination::Skip;
        }
        return true;
    case RtfKeyword::FontTable:
    case RtfKeyword::ColorTable:
    case RtfKeyword::Picture:
    case RtfKeyword::Header:
    case RtfKeyword::HeaderRight:
    case RtfKeyword::HeaderLeft:
    case RtfKeyword::HeaderFirst:
    case RtfKeyword::Footer:
    case RtfKeyword::FooterRight:
    case RtfKeyword::FooterLeft:
    case RtfKeyword::FooterFirst:
    case RtfKeyword::UnicodeAlternatives:
        break;
    default:
        return false;
    }
    if (current.destination != Destination::Text) {
        current.destination = Destination::Skip;
        return true;
    }
    switch (keyword) {
    case RtfKeyword::FontTable:
        current.destination = Destination::FontTable;
        fontName_.clear();
        break;
    case RtfKeyword::ColorTable:
        current.destination = Destination::ColorTable;
        colors_.clear();
        red_ = green_ = blue_ = 0;
        colorGiven_ = false;
        break;
    case RtfKeyword::Picture:
        flushRun();
        current.destination = Destination::Picture;
        current.ownsPicture = true;
        picture_ = RtfPicture{};
        break;
    case RtfKeyword::Header:
    case RtfKeyword::HeaderRight:
        startPart(Header, 3);
        break;
    case RtfKeyword::HeaderLeft:
        startPart(Header, 2);
        break;
    case RtfKeyword::HeaderFirst:
        startPart(Header, 1);
        break;
    case RtfKeyword::Footer:
    case RtfKeyword::FooterRight:
        startPart(Footer, 3);
        break;
    case RtfKeyword::FooterLeft:
        startPart(Footer, 2);
        break;
    case RtfKeyword::FooterFirst:
        startPart(Footer, 1);
        break;
    case RtfKeyword::UnicodeAlternatives:
        current.outerDestination = current.destination;
        current.destination = Destination::UnicodeAlternatives;
        break;
    default:
        break;
    }
    return true;
}

bool RtfParser::startFieldDestination(RtfKeyword keyword)
{
    GroupState& current = state();
    switch (keyword) {
    case RtfKeyword::Field:
        if (current.destination == Destination::Text) {
            startField();
            return true;
        }
        if (current.destination == Destination::FieldInstruction)
            loseField(current.field); // a field inside an instruction
        current.destination = Destination::Skip;
        return true;
    case RtfKeyword::FieldInstruction:
        current.destination = current.destination == Destination::Text && current.field >= 0
            ? Destination::FieldInstruction
            : Destination::Skip;
        return true;
    case RtfKeyword::FieldResult:
        if (current.destination == Destination::Text)
            current.chars.field = current.field;
        else
            current.destination = Destination::Skip;
        return true;
    case RtfKeyword::FormField:
        loseField(current.field);
        current.destination = Destination::Skip;
        return true;
    default:
        return false;
    }
}

void RtfParser::startField()
{
    GroupState& current = state();
    current.field = -1;
    const bool nested = current.chars.field >= 0;
    if (nested)
        loseField(current.chars.field);
    if (fields_.size() >= kMaxFields)
        return;
    fields_.push_back(FieldEntry{QString(), nextFieldId++, nested});
    current.field = int(fields_.size()) - 1;
}

void RtfParser::loseField(int field)
{
    if (field >= 0 && std::size_t(field) < fields_.size())
        fields_[std::size_t(field)].lost = true;
}

// A text box's text reads where the box is anchored, as paragraphs; the
// fallback drawing that follows for older readers is then skipped.
bool RtfParser::startShapeDestination(RtfKeyword keyword)
{
    GroupState& current = state();
    const bool text = current.destination == Destination::Text;
    switch (keyword) {
    case RtfKeyword::Shape:
        if (text) {
            shapeHasText_ = false;
            noteLoss(kLostShapes);
        } else {
            current.destination = Destination::Skip;
        }
        return true;
    case RtfKeyword::ShapeInstructions:
        if (!text)
            current.destination = Destination::Skip;
        return true;
    case RtfKeyword::ShapeText:
        if (text) {
            // The box's text goes in paragraphs of its own where it is anchored.
            flushRun();
            if (builder(current.part).paragraphHasContent())
                builder(current.part)
                    .endParagraph(blockFormat(current.para), charFormat(current.chars), current.para.inTable);
            shapeHasText_ = true;
            current.anchorInTable = current.shapeText ? current.anchorInTable : current.para.inTable;
            current.shapeText = true;
        } else {
            current.destination = Destination::Skip;
        }
        return true;
    case RtfKeyword::ShapeResult:
        if (!text || shapeHasText_)
            current.destination = Destination::Skip;
        return true;
    default:
        return false;
    }
}

bool RtfParser::skipLossyDestination(RtfKeyword keyword)
{
    GroupState& current = state();
    const bool text = current.destination == Destination::Text;
    switch (keyword) {
    case RtfKeyword::Footnote:
        if (text)
            noteLoss(QStringLiteral("les notes de bas de page"));
        break;
    case RtfKeyword::Annotation:
        if (text)
            noteLoss(QStringLiteral("les commentaires"));
        break;
    case RtfKeyword::MathObject:
        if (text)
            noteLoss(QStringLiteral("les formules mathématiques"));
        break;
    case RtfKeyword::DrawingObject:
        if (text)
            noteLoss(kLostShapes);
        break;
    case RtfKeyword::EmbeddedObject:
        // Its result picture reads; the object itself is lost.
        if (text) {
            noteLoss(QStringLiteral("les objets incorporés (leur image est gardée)"));
            return true;
        }
        break;
    default:
        return false;
    }
    current.destination = Destination::Skip;
    return true;
}

void RtfParser::noteLoss(const QString& what)
{
    if (!document_.losses.contains(what))
        document_.losses.append(what);
}

// Fields whose result spans paragraphs or is empty, and fields marked lost,
// leave their result as plain text; the others keep their instruction.
void RtfParser::finishFields()
{
    if (fields_.empty())
        return;
    std::map<int, std::size_t> indexOfId;
    for (std::size_t i = 0; i < fields_.size(); ++i)
        indexOfId[fields_[i].id] = i;
    std::map<int, std::pair<const QTextDocument*, int>> blockOfId;
    for (const auto& part : builders_) {
        if (!part)
            continue;
        const QTextDocument* document = part->document();
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                if (!format.hasProperty(rtf_field_property::Id))
                    continue;
                const int id = format.intProperty(rtf_field_property::Id);
                const auto where = std::make_pair(document, block.blockNumber());
                const auto [seen, first] = blockOfId.emplace(id, where);
                if (!first && seen->second != where)
                    fields_[indexOfId[id]].lost = true;
            }
        }
    }
    bool anyLost = false;
    for (const FieldEntry& field : fields_) {
        if (field.lost || !blockOfId.contains(field.id))
            anyLost = anyLost || !field.instruction.trimmed().isEmpty();
    }
    for (const auto& part : builders_) {
        if (!part)
            continue;
        struct Run {
            int position;
            int length;
            QTextCharFormat format;
        };
        QList<Run> plain;
        QTextDocument* document = part->document();
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                QTextCharFormat format = it.fragment().charFormat();
                if (!format.hasProperty(rtf_field_property::Id)
                    || !fields_[indexOfId[format.intProperty(rtf_field_property::Id)]].lost)
                    continue;
                format.clearProperty(rtf_field_property::Id);
                format.clearProperty(rtf_field_property::Instruction);
                plain.append(Run{it.fragment().position(), it.fragment().length(), format});
            }
        }
        for (const Run& run : plain) {
            QTextCursor cursor(document);
            cursor.setPosition(run.position);
            cursor.setPosition(run.position + run.length, QTextCursor::KeepAnchor);
            cursor.setCharFormat(run.format);
        }
    }
    if (anyLost)
        noteLoss(kLostFields);
}

void RtfParser::startPart(Part part, int priority)
{
    // The page header and footer of all pages (or of odd pages) are kept; the
    // left-page or first-page ones only when the file has no other.
    GroupState& current = state();
    if (current.part == Body && (priority < 3 || priority <= partPriority_[part]))
        noteLoss(kLostHeaders);
    if (current.part != Body || priority <= partPriority_[part]) {
        current.destination = Destination::Skip;
        return;
    }
    flushRun();
    partPriority_[part] = priority;
    auto& slot = part == Header ? document_.header : document_.footer;
    builders_[part].reset(); // before the document it writes into
    slot = std::make_unique<QTextDocument>();
    builders_[part] = std::make_unique<RtfDocumentBuilder>(slot.get());
    builders_[part]->setCellBudget(&cellBudget_);
    current.part = part;
    current.para = ParaState{};
}

void RtfParser::textWord(RtfKeyword keyword, const RtfToken& token)
{
    GroupState& current = state();
    CharState& chars = current.chars;
    const int value = token.parameter;
    const bool on = !token.hasParameter || value != 0;
    switch (keyword) {
    case RtfKeyword::Ansi:
        codepage_ = 1252;
        break;
    case RtfKeyword::Mac:
        codepage_ = 10000;
        break;
    case RtfKeyword::Pc:
        codepage_ = 437;
        break;
    case RtfKeyword::Pca:
        codepage_ = 850;
        break;
    case RtfKeyword::AnsiCodepage:
        codepage_ = value > 0 ? value : 1252;
        break;
    case RtfKeyword::DefaultFont:
        defaultFont_ = value;
        break;
    case RtfKeyword::PaperWidth:
        if (value > 0)
            document_.page.paperWidth = std::min(value, MaxTwips);
        break;
    case RtfKeyword::PaperHeight:
        if (value > 0)
            document_.page.paperHeight = std::min(value, MaxTwips);
        break;
    case RtfKeyword::MarginLeft:
        document_.page.marginLeft = std::clamp(value, 0, MaxTwips);
        break;
    case RtfKeyword::MarginRight:
        document_.page.marginRight = std::clamp(value, 0, MaxTwips);
        break;
    case RtfKeyword::MarginTop:
        document_.page.marginTop = std::clamp(value, 0, MaxTwips);
        break;
    case RtfKeyword::MarginBottom:
        document_.page.marginBottom = std::clamp(value, 0, MaxTwips);
        break;
    case RtfKeyword::HeaderDistance:
        document_.page.headerDistance = std::clamp(value, 0, MaxTwips);
        break;
    case RtfKeyword::FooterDistance:
        document_.page.footerDistance = std::clamp(value, 0, MaxTwips);
        break;

    case RtfKeyword::Plain: {
        const int field = chars.field; // \plain in a field's result stays in the field
        chars = CharState{};
        chars.field = field;
        break;
    }
    case RtfKeyword::Font:
        chars.font = value;
        break;
    case RtfKeyword::FontSize:
        chars.halfPoints = value > 0 ? std::min(value, 3276) : 24;
        break;
    case RtfKeyword::Bold:
        chars.bold = on;
        break;
    case RtfKeyword::Italic:
        chars.italic = on;
        break;
    case RtfKeyword::Underline:
        chars.underline = on ? QTextCharFormat::SingleUnderline : QTextCharFormat::NoUnderline;
        break;
    case RtfKeyword::UnderlineDotted:
        chars.underline = on ? QTextCharFormat::DotLine : QTextCharFormat::NoUnderline;
        break;
    case RtfKeyword::UnderlineDashed:
        chars.underline = on ? QTextCharFormat::DashUnderline : QTextCharFormat::NoUnderline;
        break;
    case RtfKeyword::UnderlineWave:
        chars.underline = on ? QTextCharFormat::WaveUnderline : QTextCharFormat::NoUnderline;
        break;
    case RtfKeyword::UnderlineNone:
        chars.underline = QTextCharFormat::NoUnderline;
        break;
    case RtfKeyword::Strike:
    case RtfKeyword::StrikeDouble:
        chars.strike = on;
        break;
    case RtfKeyword::Hidden:
        chars.hidden = on;
        if (on)
            noteLoss(QStringLiteral("le texte masqué"));
        break;
    case RtfKeyword::Caps:
        chars.caps = on;
        break;
    case RtfKeyword::SmallCaps:
        chars.smallCaps = on;
        break;
    case RtfKeyword::Foreground:
        chars.foreground = value;
        break;
    case RtfKeyword::Background:
    case RtfKeyword::Highlight:
        chars.background = value;
        break;
    case RtfKeyword::Superscript:
        chars.vertical = on ? QTextCharFormat::AlignSuperScript : QTextCharFormat::AlignNormal;
        break;
    case RtfKeyword::Subscript:
        chars.vertical = on ? QTextCharFormat::AlignSubScript : QTextCharFormat::AlignNormal;
        break;
    case RtfKeyword::NoSuperSub:
        chars.vertical = QTextCharFormat::AlignNormal;
        break;
    case RtfKeyword::Unicode:
        unicodeCharacter(value);
        break;
    case RtfKeyword::UnicodeSkip:
        current.unicodeSkip = std::uint8_t(std::clamp(value, 0, 16));
        break;

    case RtfKeyword::EmDash:
        emitCharacter(0x2014);
        break;
    case RtfKeyword::EnDash:
        emitCharacter(0x2013);
        break;
    case RtfKeyword::EmSpace:
        emitCharacter(0x2003);
        break;
    case RtfKeyword::EnSpace:
        emitCharacter(0x2002);
        break;
    case RtfKeyword::QuarterEmSpace:
        emitCharacter(0x2005);
        break;
    case RtfKeyword::Bullet:
        emitCharacter(0x2022);
        break;
    case RtfKeyword::LeftQuote:
        emitCharacter(0x2018);
        break;
    case RtfKeyword::RightQuote:
        emitCharacter(0x2019);
        break;
    case RtfKeyword::LeftDoubleQuote:
        emitCharacter(0x201C);
        break;
    case RtfKeyword::RightDoubleQuote:
        emitCharacter(0x201D);
        break;
    case RtfKeyword::ZeroWidthJoiner:
        emitCharacter(0x200D);
        break;
    case RtfKeyword::ZeroWidthNonJoiner:
        emitCharacter(0x200C);
        break;
    case RtfKeyword::Line:
        emitCharacter(QChar::LineSeparator);
        break;
    case RtfKeyword::Tab:
        emitCharacter('\t');
        break;

    default:
        paragraphWord(keyword, value, on);
        break;
    }
}

void RtfParser::paragraphWord(RtfKeyword keyword, int value, bool on)
{
    GroupState& current = state();
    ParaState& para = current.para;
    switch (keyword) {
    case RtfKeyword::ParagraphDefaults:
        para = ParaState{};
        para.inTable = current.shapeText && current.anchorInTable; // a text box's text stays in its cell
        break;
    case RtfKeyword::ListOverride:
        if (value > 0)
            noteLoss(kLostLists);
        break;
    case RtfKeyword::Section:
        if (current.part == Body)
            noteLoss(kLostSections);
        [[fallthrough]];
    case RtfKeyword::Paragraph:
        if (current.chars.hidden)
            break; // a hidden paragraph mark joins the paragraphs
        flushRun();
        highSurrogate_ = 0;
        builder(current.part).endParagraph(blockFormat(para), charFormat(current.chars), para.inTable);
        break;
    case RtfKeyword::Page:
        flushRun();
        builder(current.part).pageBreak(blockFormat(para), charFormat(current.chars), para.inTable);
        break;
    case RtfKeyword::AlignLeft:
        para.alignment = 0;
        break;
    case RtfKeyword::AlignCenter:
        para.alignment = 1;
        break;
    case RtfKeyword::AlignRight:
        para.alignment = 2;
        break;
    case RtfKeyword::AlignJustify:
        para.alignment = 3;
        break;
    case RtfKeyword::LeftIndent:
        para.leftIndent = clampTwips(value);
        break;
    case RtfKeyword::RightIndent:
        para.rightIndent = clampTwips(value);
        break;
    case RtfKeyword::FirstLineIndent:
        para.firstLineIndent = clampTwips(value);
        break;
    case RtfKeyword::SpaceBefore:
        para.spaceBefore = std::clamp(value, 0, MaxTwips);
        break;
    case RtfKeyword::SpaceAfter:
        para.spaceAfter = std::clamp(value, 0, MaxTwips);
        break;
    case RtfKeyword::LineSpacing:
        para.lineSpacing = clampTwips(value);
        break;
    case RtfKeyword::LineMultiple:
        para.lineMultiple = on;
        break;
    case RtfKeyword::TabRight:
        para.nextTabType = QTextOption::RightTab;
        break;
    case RtfKeyword::TabCenter:
        para.nextTabType = QTextOption::CenterTab;
        break;
    case RtfKeyword::TabDecimal:
        para.nextTabType = QTextOption::DelimiterTab;
        break;
    case RtfKeyword::TabPosition:
        if (para.tabCount < MaxTabs)
            para.tabs[para.tabCount++] = TabStop{std::clamp(value, 0, MaxTwips), para.nextTabType};
        para.nextTabType = QTextOption::LeftTab;
        break;
    case RtfKeyword::PageBreakBefore:
        para.pageBreakBefore = on;
        break;
    default:
        tableWord(keyword, value);
        break;
    }
}

void RtfParser::tableWord(RtfKeyword keyword, int value)
{
    GroupState& current = state();
    RtfDocumentBuilder& part = builder(current.part);
    RtfRowDefinition& row = part.rowDefinition();
    switch (keyword) {
    case RtfKeyword::InTable:
        current.para.inTable = true;
        break;
    case RtfKeyword::TableLevel:
        current.para.inTable = value > 0;
        break;
    case RtfKeyword::RowDefaults:
        row = RtfRowDefinition{};
        borderPending_ = false;
        break;
    case RtfKeyword::CellRight:
        if (row.cellRightEdges.size() < RtfDocumentBuilder::MaxColumns)
            row.cellRightEdges.append(clampTwips(value));
        break;
    case RtfKeyword::RowGap:
        row.gap = std::clamp(value, 0, 1440);
        break;
    case RtfKeyword::RowLeft:
        row.left = clampTwips(value);
        break;
    case RtfKeyword::CellBorder:
        borderPending_ = true;
        break;
    case RtfKeyword::BorderNone:
        borderPending_ = false;
        break;
    case RtfKeyword::BorderStyle:
        if (borderPending_)
            row.bordered = true;
        borderPending_ = false;
        break;
    case RtfKeyword::Cell:
        flushRun();
        part.endCell(blockFormat(current.para), charFormat(current.chars));
        break;
    case RtfKeyword::Row:
        flushRun();
        part.endRow();
        break;
    case RtfKeyword::NestedCell:
        // A table inside a cell reads as paragraphs of that cell.
        noteLoss(QStringLiteral("les tableaux dans un tableau (leur texte est gardé)"));
        flushRun();
        part.endParagraph(blockFormat(current.para), charFormat(current.chars), true);
        break;
    default:
        break;
    }
}

void RtfParser::controlSymbol(char symbol)
{
    flushBytes();
    GroupState& current = state();
    if (symbol == '*') {
        starPending_ = true;
        return;
    }
    starPending_ = false;
    groupOpening_ = false;
    if (current.destination == Destination::Skip)
        return;
    if (fallbackToSkip_ > 0) {
        --fallbackToSkip_;
        return;
    }
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        if (current.destination == Destination::Text || current.destination == Destination::FontTable
            || current.destination == Destination::FieldInstruction)
            appendDecoded(QString(QChar(symbol)));
        break;
    case '~':
        emitCharacter(0x00A0);
        break;
    case '-':
        emitCharacter(0x00AD);
        break;
    case '_':
        emitCharacter(0x2011);
        break;
    case '\n':
        if (current.destination == Destination::Text)
            paragraphWord(RtfKeyword::Paragraph, 0, true);
        break;
    case '\t':
        emitCharacter('\t');
        break;
    default:
        break; // \: \| and the like: nothing to show
    }
}

// ---- Text ----

void RtfParser::textBytes(QByteArrayView bytes)
{
    starPending_ = false;
    groupOpening_ = false;
    GroupState& current = state();
    if (fallbackToSkip_ > 0) {
        const qsizetype dropped = std::min<qsizetype>(fallbackToSkip_, bytes.size());
        fallbackToSkip_ -= int(dropped);
        bytes = bytes.sliced(dropped);
        if (bytes.isEmpty())
            return;
    }
    switch (current.destination) {
    case Destination::Text:
        if (current.chars.hidden)
            return;
        if (pendingBytes_.isEmpty())
            pendingCodepage_ = codepageFor(current.chars);
        pendingBytes_.append(bytes);
        break;
    case Destination::FontTable:
        for (const char c : bytes) {
            if (c == ';') {
                commitFontName();
            } else if (fontNameBytes_.size() < kMaxFontName) {
                if (fontNameBytes_.isEmpty())
                    pendingCodepage_ = fonts_.value(currentFont_).codepage;
                fontNameBytes_.append(c);
            }
        }
        break;
    case Destination::ColorTable:
        for (const char c : bytes) {
            if (c != ';')
                continue;
            if (colors_.size() < MaxColors)
                colors_.append(colorGiven_ ? QColor(red_, green_, blue_) : QColor());
            red_ = green_ = blue_ = 0;
            colorGiven_ = false;
        }
        break;
    case Destination::Picture:
        picture_.appendHex(bytes);
        break;
    case Destination::FieldInstruction: {
        QString text;
        decoder_.decode(bytes, codepage_, text);
        appendDecoded(text);
        break;
    }
    case Destination::UnicodeAlternatives:
    case Destination::Numbering:
    case Destination::Skip:
        break;
    }
}

void RtfParser::binaryData(QByteArrayView bytes)
{
    flushBytes();
    if (fallbackToSkip_ > 0) {
        --fallbackToSkip_;
        return;
    }
    if (state().destination == Destination::Picture)
        picture_.appendBinary(bytes);
}

void RtfParser::unicodeCharacter(int value)
{
    const GroupState& current = state();
    // \uN is a signed 16-bit number; anything else is damage, and its
    // fallback text then stands in for it.
    if (value < -32768 || value > 65535)
        return;
    fallbackToSkip_ = current.unicodeSkip;
    const auto c = char16_t(value < 0 ? value + 65536 : value);
    if (QChar::isHighSurrogate(c)) {
        highSurrogate_ = c;
        return;
    }
    if (QChar::isLowSurrogate(c)) {
        if (highSurrogate_) {
            const QChar pair[2] = {QChar(highSurrogate_), QChar(c)};
            highSurrogate_ = 0;
            appendDecoded(QString(pair, 2));
        }
        return;
    }
    emitCharacter(c);
}

void RtfParser::emitCharacter(char16_t c)
{
    appendDecoded(QString(QChar(c)));
}

void RtfParser::flushBytes()
{
    if (pendingBytes_.isEmpty() && fontNameBytes_.isEmpty())
        return;
    if (!pendingBytes_.isEmpty()) {
        QString text;
        decoder_.decode(pendingBytes_, pendingCodepage_, text);
        pendingBytes_.clear();
        emitText(text);
    }
    if (!fontNameBytes_.isEmpty()) {
        decoder_.decode(fontNameBytes_, pendingCodepage_ ? pendingCodepage_ : codepage_, fontName_);
        fontNameBytes_.clear();
    }
}

void RtfParser::appendDecoded(const QString& text)
{
    switch (state().destination) {
    case Destination::Text:
        flushBytes();
        emitText(text);
        break;
    case Destination::FontTable:
        flushBytes();
        if (fontName_.size() < kMaxFontName)
            fontName_ += text;
        break;
    case Destination::FieldInstruction:
        if (const int field = state().field; field >= 0) {
            QString& instruction = fields_[std::size_t(field)].instruction;
            if (instruction.size() < kMaxInstruction)
                instruction += text;
        }
        break;
    default:
        break;
    }
}

void RtfParser::emitText(const QString& text)
{
    const GroupState& current = state();
    if (current.chars.hidden || text.isEmpty())
        return;
    if (highSurrogate_)
        highSurrogate_ = 0; // a lone high surrogate is dropped
    if (!run_.isEmpty()
        && (runPart_ != current.part || !(runChars_ == current.chars) || !(runPara_ == current.para)))
        flushRun();
    if (run_.isEmpty()) {
        runPart_ = current.part;
        runChars_ = current.chars;
        runPara_ = current.para;
    }
    run_.reserve(run_.size() + text.size());
    for (const QChar c : text) {
        if (!isDroppedCharacter(c.unicode()))
            run_.append(c);
    }
}

void RtfParser::flushRun()
{
    if (run_.isEmpty())
        return;
    builder(runPart_).appendText(run_, charFormat(runChars_), blockFormat(runPara_), runPara_.inTable);
    run_.clear();
}

void RtfParser::finishPicture(const GroupState& closed)
{
    if (picture_.kind == RtfPictureKind::Unknown && picture_.data.isEmpty())
        return;
    RtfDocumentBuilder& part = builder(closed.part);
    const QTextImageFormat format = addRtfPicture(*part.document(), picture_);
    part.appendImage(format, blockFormat(closed.para), closed.para.inTable);
    picture_ = RtfPicture{};
}

void RtfParser::commitFontName()
{
    flushBytes();
    if (auto found = fonts_.find(currentFont_); found != fonts_.end() && found->name.isEmpty())
        found->name = fontName_.trimmed();
    fontName_.clear();
}

} // namespace vexa
