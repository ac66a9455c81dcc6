#include "dicom/DicomStructure.h"

#include <dcmtk/dcmdata/dctag.h>
#include <dcmtk/dcmdata/dcuid.h>
#include <dcmtk/dcmdata/dcvr.h>

#include <QFile>
#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>
#include <vector>

namespace vexa {

namespace {

constexpr std::uint64_t undefinedEnd = std::numeric_limits<std::uint64_t>::max();
constexpr Uint32 undefinedLength = 0xFFFFFFFF;

// Buffered reading with cheap skips: most values are skipped a few bytes at
// a time, which a seek each would make slow on a file of many elements.
class ByteReader {
public:
    explicit ByteReader(QFile& file)
        : file_(file)
        , size_(static_cast<std::uint64_t>(file.size()))
        , buffer_(1 << 16)
    {
    }

    bool read(std::uint8_t* out, std::size_t count)
    {
        if (at_ > size_ || count > size_ - at_)
            return false;
        while (count > 0) {
            if (at_ < bufferStart_ || at_ >= bufferStart_ + filled_) {
                if (!file_.seek(static_cast<qint64>(at_)))
                    return false;
                const qint64 got
                    = file_.read(reinterpret_cast<char*>(buffer_.data()), qint64(buffer_.size()));
                if (got <= 0)
                    return false;
                bufferStart_ = at_;
                filled_ = static_cast<std::size_t>(got);
            }
            const std::size_t offset = static_cast<std::size_t>(at_ - bufferStart_);
            const std::size_t n = std::min(count, filled_ - offset);
            std::memcpy(out, buffer_.data() + offset, n);
            out += n;
            count -= n;
            at_ += n;
        }
        return true;
    }

    void skip(std::uint64_t count) { at_ = count > undefinedEnd - at_ ? undefinedEnd : at_ + count; }
    void seek(std::uint64_t position) { at_ = position; }
    std::uint64_t position() const { return at_; }
    bool atEnd() const { return at_ >= size_; }

private:
    QFile& file_;
    std::uint64_t size_;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t bufferStart_ = 0;
    std::size_t filled_ = 0;
    std::uint64_t at_ = 0;
};

enum class Encoding { ImplicitLittle, ExplicitLittle, ExplicitBig };

struct Level {
    enum Kind { DataSet, Item, Sequence, Fragments } kind;
    std::uint64_t end; // undefinedEnd until a delimiter closes it
    Encoding encoding;
};

QString unreadable()
{
    return QStringLiteral("Fichier DICOM illisible : la structure de ses éléments est incohérente.");
}

// Walks the elements from the reader's position, keeping the levels it is
// in on a list of its own rather than the call stack.
class Walker {
public:
    Walker(ByteReader& in, const StructureBounds& bounds)
        : in_(in)
        , bounds_(bounds)
    {
    }

    // metaOnly: stops before the first element outside group 0002 and keeps
    // the transfer syntax it names.
    QString walk(Encoding encoding, bool metaOnly)
    {
        levels_.assign(1, {Level::DataSet, undefinedEnd, encoding});
        truncated_ = false;
        while (true) {
            const Level top = levels_.back();
            if (top.end != undefinedEnd && in_.position() >= top.end) {
                close(); // an element running past the end closes it too, as DCMTK reads it
                continue;
            }
            std::uint8_t tag[4];
            const std::uint64_t start = in_.position();
            if (in_.atEnd() || !in_.read(tag, 4))
                return {}; // a truncated file is DCMTK's to report
            const bool big = top.encoding == Encoding::ExplicitBig;
            const Uint16 group = word(tag, big), element = word(tag + 2, big);
            if (metaOnly && levels_.size() == 1 && group != 0x0002) {
                in_.seek(start);
                return {};
            }
            if (++elements_ > bounds_.elements)
                return QStringLiteral("Fichier DICOM refusé : il compte plus de %1 éléments.")
                    .arg(bounds_.elements);
            const QString problem
                = group == 0xFFFE ? delimiter(element, top, big) : dataElement(group, element, top, metaOnly);
            if (truncated_)
                return {};
            if (!problem.isEmpty())
                return problem;
        }
    }

    std::string transferSyntax;

private:
    ByteReader& in_;
    const StructureBounds& bounds_;
    std::vector<Level> levels_;
    std::uint64_t elements_ = 0, fragments_ = 0;
    int depth_ = 0;
    bool truncated_ = false; // the file ends inside an element header

    QString endOfFile()
    {
        truncated_ = true;
        return {};
    }

    static Uint16 word(const std::uint8_t* p, bool big)
    {
        return big ? Uint16((p[0] << 8) | p[1]) : Uint16(p[0] | (p[1] << 8));
    }
    static Uint32 longWord(const std::uint8_t* p, bool big)
    {
        return big ? (Uint32(word(p, true)) << 16) | word(p + 2, true)
                   : Uint32(word(p, false)) | (Uint32(word(p + 2, false)) << 16);
    }

    void close()
    {
        if (levels_.back().kind == Level::Sequence || levels_.back().kind == Level::Fragments)
            --depth_;
        levels_.pop_back();
    }

    QString open(Level::Kind kind, Uint32 length, Encoding encoding)
    {
        if ((kind == Level::Sequence || kind == Level::Fragments) && ++depth_ > bounds_.depth)
            return QStringLiteral(
                "Fichier DICOM refusé : ses séquences sont imbriquées sur plus de %1 niveaux.")
                .arg(bounds_.depth);
        // A level ends at its stated length or at its delimiter, whichever comes first.
        const std::uint64_t end = length == undefinedLength ? undefinedEnd : in_.position() + length;
        levels_.push_back({kind, std::min(end, levels_.back().end), encoding});
        return {};
    }

    // Items and the delimiters that close items and sequences.
    QString delimiter(Uint16 element, const Level& top, bool big)
    {
        std::uint8_t bytes[4];
        if (!in_.read(bytes, 4))
            return endOfFile();
        const Uint32 length = longWord(bytes, big);
        if (element == 0xE000 && top.kind == Level::Fragments) {
            if (length == undefinedLength)
                return unreadable();
            if (++fragments_ > bounds_.fragments)
                return QStringLiteral("Fichier DICOM refusé : ses pixels sont en plus de %1 fragments.")
                    .arg(bounds_.fragments);
            in_.skip(length);
            return {};
        }
        if (element == 0xE000 && top.kind == Level::Sequence)
            return open(Level::Item, length, top.encoding);
        if (element == 0xE00D && top.kind == Level::Item) {
            close();
            return {};
        }
        if (element == 0xE0DD && (top.kind == Level::Sequence || top.kind == Level::Fragments)) {
            close();
            return {};
        }
        return unreadable();
    }

    QString dataElement(Uint16 group, Uint16 element, const Level& top, bool metaOnly)
    {
        if (top.kind == Level::Sequence || top.kind == Level::Fragments)
            return unreadable();
        const bool big = top.encoding == Encoding::ExplicitBig;
        DcmVR vr(EVR_UNKNOWN);
        Uint32 length = 0;
        std::uint8_t bytes[4];
        if (top.encoding == Encoding::ImplicitLittle) {
            vr = DcmTag(group, element).getVR();
            if (!in_.read(bytes, 4))
                return endOfFile();
            length = longWord(bytes, false);
        } else {
            char name[3] = {};
            if (!in_.read(reinterpret_cast<std::uint8_t*>(name), 2))
                return endOfFile();
            vr = DcmVR(name);
            if (vr.usesExtendedLengthEncoding() || !vr.isStandard()) {
                if (!in_.read(bytes, 2) || !in_.read(bytes, 4)) // reserved, then the length
                    return endOfFile();
                length = longWord(bytes, big);
            } else {
                if (!in_.read(bytes, 2))
                    return endOfFile();
                length = word(bytes, big);
            }
        }
        if (group == 0x7FE0 && element == 0x0010 && length == undefinedLength)
            return open(Level::Fragments, length, top.encoding);
        if (length == undefinedLength) {
            // Unknown contents of undefined length are read as a sequence in
            // implicit VR little endian.
            const bool unknown = top.encoding != Encoding::ImplicitLittle && vr.getEVR() == EVR_UN;
            return open(Level::Sequence, length, unknown ? Encoding::ImplicitLittle : top.encoding);
        }
        if (vr.getEVR() == EVR_SQ || startsWithItem(group, length, top.encoding))
            return open(Level::Sequence, length, top.encoding);
        if (metaOnly && group == 0x0002 && element == 0x0010 && length <= 64) {
            std::uint8_t uid[64];
            if (!in_.read(uid, length))
                return endOfFile();
            transferSyntax.assign(reinterpret_cast<const char*>(uid), length);
            while (!transferSyntax.empty() && (transferSyntax.back() == '\0' || transferSyntax.back() == ' '))
                transferSyntax.pop_back();
            return {};
        }
        in_.skip(length);
        return {};
    }

    // A private element in implicit VR may be a sequence by a private
    // dictionary: when its value starts with an item, it is walked as one.
    bool startsWithItem(Uint16 group, Uint32 length, Encoding encoding)
    {
        if (encoding != Encoding::ImplicitLittle || (group & 1) == 0 || length < 8)
            return false;
        const std::uint64_t start = in_.position();
        std::uint8_t bytes[4];
        const bool item = in_.read(bytes, 4) && bytes[0] == 0xFE && bytes[1] == 0xFF && bytes[2] == 0x00
            && bytes[3] == 0xE0;
        in_.seek(start);
        return item;
    }
};

Encoding encodingOf(const std::string& transferSyntax)
{
    if (transferSyntax == UID_LittleEndianImplicitTransferSyntax)
        return Encoding::ImplicitLittle;
    if (transferSyntax == UID_BigEndianExplicitTransferSyntax)
        return Encoding::ExplicitBig;
    return Encoding::ExplicitLittle;
}

// Without a meta header, the first element tells the encoding: a standard
// VR after its tag means explicit VR, and a group whose high byte comes
// first means big endian.
Encoding guessEncoding(ByteReader& in)
{
    std::uint8_t first[6] = {};
    const bool read = in.read(first, 6);
    in.seek(0);
    if (!read)
        return Encoding::ImplicitLittle;
    const char name[3] = {char(first[4]), char(first[5]), 0};
    const bool explicitVr = DcmVR(name).isStandard() && std::isupper(first[4]) && std::isupper(first[5]);
    if (!explicitVr)
        return Encoding::ImplicitLittle;
    return first[0] == 0 && first[1] != 0 ? Encoding::ExplicitBig : Encoding::ExplicitLittle;
}

QString notOpened()
{
    return QStringLiteral("Fichier DICOM illisible : le fichier ne peut pas être lu.");
}

} // namespace

QString checkFileStructure(const QString& path, const StructureBounds& bounds)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return notOpened();
    ByteReader in(file);
    Walker walker(in, bounds);
    std::uint8_t preamble[132];
    const bool hasMeta = in.read(preamble, 132) && std::memcmp(preamble + 128, "DICM", 4) == 0;
    if (!hasMeta) {
        in.seek(0);
        return walker.walk(guessEncoding(in), false);
    }
    if (const QString problem = walker.walk(Encoding::ExplicitLittle, true); !problem.isEmpty())
        return problem;
    if (walker.transferSyntax == UID_DeflatedExplicitVRLittleEndianTransferSyntax)
        return {};
    return walker.walk(encodingOf(walker.transferSyntax), false);
}

QString checkDataSetStructure(const QString& path, const StructureBounds& bounds)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return notOpened();
    ByteReader in(file);
    return Walker(in, bounds).walk(Encoding::ExplicitLittle, false);
}

} // namespace vexa
