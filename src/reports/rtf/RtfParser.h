#pragma once
// The reading engine behind RtfReader: a stack of group states (destination,
// character and paragraph properties) driven by the tokens, handing text,
// paragraph ends, cells and pictures to one document builder per part
// (body, header, footer).
#include "reports/rtf/RtfCodepage.h"
#include "reports/rtf/RtfDocument.h"
#include "reports/rtf/RtfDocumentBuilder.h"
#include "reports/rtf/RtfKeywords.h"
#include "reports/rtf/RtfPicture.h"
#include "reports/rtf/RtfTokenizer.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <array>
#include <memory>
#include <vector>

namespace vexa {

class RtfParser {
public:
    explicit RtfParser(RtfDocument& document);
    ~RtfParser();

    void parse(QByteArrayView data);

    // Bounds against damaged files: lengths beyond about 1.1 m, table sizes.
    static constexpr int MaxTwips = 63360;
    static constexpr int MaxColors = 4096;
    static constexpr int MaxFonts = 4096;

private:
    enum class Destination : std::uint8_t {
        Text,
        Skip,
        FontTable,
        ColorTable,
        Picture,
        UnicodeAlternatives,
        Numbering, // old paragraph numbering properties; see controlWord
        FieldInstruction, // the text of a field's instruction ("PAGE", "HYPERLINK ...")
    };
    enum Part : std::uint8_t { Body, Header, Footer };

    struct CharState {
        int font = -1; // -1: the document's default font
        int halfPoints = 24;
        int foreground = 0; // colour table index; 0 is automatic
        int background = 0;
        std::uint8_t underline = 0; // QTextCharFormat::UnderlineStyle
        std::uint8_t vertical = 0; // QTextCharFormat::VerticalAlignment
        bool bold = false;
        bool italic = false;
        bool strike = false;
        bool hidden = false;
        bool caps = false;
        bool smallCaps = false;
        int field = -1; // index in fields_ of the field whose result this is
        bool operator==(const CharState&) const = default;
    };
    struct TabStop {
        int position = 0;
        std::uint8_t type = 0; // QTextOption::TabType
        bool operator==(const TabStop&) const = default;
    };
    static constexpr int MaxTabs = 32;
    struct ParaState {
        int leftIndent = 0; // twips
        int rightIndent = 0;
        int firstLineIndent = 0;
        int spaceBefore = 0;
        int spaceAfter = 0;
        int lineSpacing = 0;
        bool lineMultiple = false;
        std::uint8_t alignment = 0; // 0 left, 1 centre, 2 right, 3 justified
        bool inTable = false;
        bool pageBreakBefore = false;
        std::uint8_t nextTabType = 0;
        std::uint8_t tabCount = 0;
        std::array<TabStop, MaxTabs> tabs{};
        bool operator==(const ParaState&) const = default;
    };
    struct GroupState {
        Destination destination = Destination::Text;
        Destination outerDestination = Destination::Text; // where \ud text goes, and text after \pn
        Part part = Body;
        bool ownsPicture = false;
        int field = -1; // the field this group (and its \fldinst, \fldrslt) belongs to
        bool shapeText = false; // inside a text box: its paragraphs stay where the box is
        bool anchorInTable = false; // ... in the table cell of the box, when it is in one
        std::uint8_t unicodeSkip = 1;
        CharState chars;
        ParaState para;
    };
    struct FontEntry {
        QString name;
        int codepage = 0;
    };

    GroupState& state() { return stack_.back(); }
    RtfDocumentBuilder& builder(Part part) { return *builders_[part]; }

    void groupStart();
    void groupEnd();
    void controlWord(const RtfToken& token);
    void controlSymbol(char symbol);
    void textBytes(QByteArrayView bytes);
    void binaryData(QByteArrayView bytes);

    bool startDestination(RtfKeyword keyword);
    void startPart(Part part, int priority);
    void textWord(RtfKeyword keyword, const RtfToken& token);
    void paragraphWord(RtfKeyword keyword, int value, bool on);
    void tableWord(RtfKeyword keyword, int value);
    void pictureWord(RtfKeyword keyword, int value);
    void fontTableWord(RtfKeyword keyword, int value);
    void colorTableWord(RtfKeyword keyword, int value);
    void unicodeCharacter(int value);
    bool startFieldDestination(RtfKeyword keyword);
    bool startShapeDestination(RtfKeyword keyword);
    bool skipLossyDestination(RtfKeyword keyword);
    void startField();
    void loseField(int field);
    void finishFields();
    void noteLoss(const QString& what);

    void flushBytes();
    void appendDecoded(const QString& text);
    void emitText(const QString& text);
    void emitCharacter(char16_t c);
    void flushRun();
    void finishPicture(const GroupState& closed);
    void commitFontName();

    int codepageFor(const CharState& chars) const;
    const QTextCharFormat& charFormat(const CharState& chars);
    const QTextBlockFormat& blockFormat(const ParaState& para);

    RtfDocument& document_;
    std::array<std::unique_ptr<RtfDocumentBuilder>, 3> builders_;
    std::array<int, 3> partPriority_{};
    std::vector<GroupState> stack_;
    int overflowDepth_ = 0;
    bool finished_ = false;
    bool starPending_ = false;
    bool groupOpening_ = false; // no word read yet in the current group
    int fallbackToSkip_ = 0;
    char16_t highSurrogate_ = 0;
    bool borderPending_ = false;
    long long cellBudget_;

    int codepage_ = 1252;
    int defaultFont_ = 0;
    QHash<int, FontEntry> fonts_;
    int currentFont_ = 0;
    QByteArray fontNameBytes_;
    QString fontName_;
    QList<QColor> colors_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colorGiven_ = false;
    RtfPicture picture_;

    // Fields as read: the instruction their result's text carries, so that
    // writing gives the field back. A field nested in another, a form field
    // or one whose result spans paragraphs keeps its result as plain text.
    struct FieldEntry {
        QString instruction;
        int id = 0;
        bool lost = false;
    };
    std::vector<FieldEntry> fields_;
    bool shapeHasText_ = false; // the shape being read gave its text box's text

    RtfTextDecoder decoder_;
    QByteArray pendingBytes_;
    int pendingCodepage_ = 1252;

    QString run_;
    CharState runChars_;
    ParaState runPara_;
    Part runPart_ = Body;

    struct CachedChar {
        CharState state;
        QTextCharFormat format;
    };
    std::array<CachedChar, 8> charCache_;
    int charCacheSize_ = 0;
    int charCacheNext_ = 0;
    ParaState cachedPara_;
    QTextBlockFormat cachedBlock_;
    bool blockCached_ = false;
};

} // namespace vexa
