#pragma once
// A report as its RTF file holds it: the body, the page header and footer
// (each a document of its own, as the editor shows them apart) and the page.
#include <QStringList>
#include <QTextDocument>
#include <QTextFormat>
#include <memory>

namespace vexa {

// Page size and margins in twips (1440 per inch). New documents are A4 with
// 2 cm margins; a file that names its page keeps it.
struct RtfPageLayout {
    int paperWidth = 11906;
    int paperHeight = 16838;
    int marginLeft = 1134;
    int marginRight = 1134;
    int marginTop = 1134;
    int marginBottom = 1134;
    int headerDistance = 709; // from the top edge to the header text
    int footerDistance = 709; // from the bottom edge to the footer text

    int textWidth() const { return paperWidth - marginLeft - marginRight; }
    bool operator==(const RtfPageLayout&) const = default;
};

struct RtfDocument {
    RtfDocument();
    RtfDocument(RtfDocument&&) noexcept;
    RtfDocument& operator=(RtfDocument&&) noexcept;
    ~RtfDocument();

    std::unique_ptr<QTextDocument> body;
    std::unique_ptr<QTextDocument> header; // null when the file has none
    std::unique_ptr<QTextDocument> footer; // null when the file has none
    RtfPageLayout page;
    // What the file holds that reading leaves out or turns into plain text,
    // each said once in French ("les notes de bas de page"), in the order met.
    QStringList losses;
};

// Properties of a picture's QTextImageFormat that keep the picture's bytes as
// the file held them, so writing it again neither re-encodes a JPEG nor loses
// a metafile that we can only show as a placeholder.
namespace rtf_picture_property {
constexpr int Data = QTextFormat::UserProperty + 0x5200; // QByteArray
constexpr int Kind = QTextFormat::UserProperty + 0x5201; // int, RtfPictureKind
constexpr int PixelWidth = QTextFormat::UserProperty + 0x5202; // \picw of a metafile
constexpr int PixelHeight = QTextFormat::UserProperty + 0x5203; // \pich of a metafile
} // namespace rtf_picture_property

// Properties of the characters of a field's result: the field's instruction
// ("PAGE", "HYPERLINK \"...\"") and the field they belong to, so that the
// writer gives the field back around them.
namespace rtf_field_property {
constexpr int Instruction = QTextFormat::UserProperty + 0x5210; // QString
constexpr int Id = QTextFormat::UserProperty + 0x5211; // int, one per field read
} // namespace rtf_field_property

enum class RtfPictureKind { Unknown = 0, Png, Jpeg, WindowsMetafile, EnhancedMetafile, MacPict, Bitmap };

} // namespace vexa
