#include "HostileFiles.h"

#include <QFile>
#include <turbojpeg.h>
#include <vector>
#include <zlib.h>

namespace vexa::hostile {

namespace {

void appendWord(QByteArray& out, std::uint16_t value)
{
    out.append(char(value & 0xFF)).append(char(value >> 8));
}

void appendLong(QByteArray& out, std::uint32_t value)
{
    appendWord(out, std::uint16_t(value & 0xFFFF));
    appendWord(out, std::uint16_t(value >> 16));
}

QByteArray tagAndLength(std::uint16_t group, std::uint16_t number, std::uint32_t length)
{
    QByteArray out;
    appendWord(out, group);
    appendWord(out, number);
    appendLong(out, length);
    return out;
}

// The offset of the frame header's height in a stream from turbojpeg (SOF0 or SOF2).
qsizetype frameHeaderAt(const QByteArray& stream)
{
    for (qsizetype i = 2; i + 1 < stream.size(); ++i) {
        const auto marker = static_cast<unsigned char>(stream[i + 1]);
        if (static_cast<unsigned char>(stream[i]) == 0xFF && (marker == 0xC0 || marker == 0xC2))
            return i;
    }
    return -1;
}

} // namespace

QByteArray element(std::uint16_t group, std::uint16_t number, const char* vr, QByteArray value)
{
    if (value.size() % 2)
        value.append(QByteArrayView(vr) == "UI" ? '\0' : ' ');
    QByteArray out;
    appendWord(out, group);
    appendWord(out, number);
    out.append(vr, 2);
    const QByteArrayView name(vr, 2);
    if (name == "OB" || name == "OW" || name == "SQ" || name == "UN" || name == "UT") {
        appendWord(out, 0);
        appendLong(out, static_cast<std::uint32_t>(value.size()));
    } else {
        appendWord(out, static_cast<std::uint16_t>(value.size()));
    }
    return out + value;
}

QByteArray us(std::uint16_t group, std::uint16_t number, std::uint16_t value)
{
    QByteArray bytes;
    appendWord(bytes, value);
    return element(group, number, "US", bytes);
}

QByteArray withMetaHeader(const char* transferSyntax, const QByteArray& dataSet)
{
    QByteArray meta;
    meta += element(0x0002, 0x0001, "OB", QByteArray("\x00\x01", 2));
    meta += element(0x0002, 0x0002, "UI", "1.2.840.10008.5.1.4.1.1.7");
    meta += element(0x0002, 0x0003, "UI", "1.2.3.4.5.6.7.8.9");
    meta += element(0x0002, 0x0010, "UI", transferSyntax);
    meta += element(0x0002, 0x0012, "UI", "1.2.3.4.5.6.7");
    QByteArray groupLength;
    appendLong(groupLength, static_cast<std::uint32_t>(meta.size()));
    return QByteArray(128, '\0') + "DICM" + element(0x0002, 0x0000, "UL", groupLength) + meta + dataSet;
}

QByteArray imageHeader(int columns, int rows, int samples, int frames)
{
    QByteArray out;
    out += element(0x0008, 0x0016, "UI", "1.2.840.10008.5.1.4.1.1.7");
    out += element(0x0008, 0x0018, "UI", "1.2.3.4.5.6.7.8.9");
    out += element(0x0010, 0x0010, "PN", "HOSTILE^FILE");
    out += us(0x0028, 0x0002, std::uint16_t(samples));
    out += element(0x0028, 0x0004, "CS", samples == 3 ? "YBR_FULL_422" : "MONOCHROME2");
    if (samples == 3)
        out += us(0x0028, 0x0006, 0);
    if (frames > 1)
        out += element(0x0028, 0x0008, "IS", QByteArray::number(frames));
    out += us(0x0028, 0x0010, std::uint16_t(rows));
    out += us(0x0028, 0x0011, std::uint16_t(columns));
    out += us(0x0028, 0x0100, 8);
    out += us(0x0028, 0x0101, 8);
    out += us(0x0028, 0x0102, 7);
    out += us(0x0028, 0x0103, 0);
    return out;
}

QByteArray encapsulatedPixels(const QList<QByteArray>& fragments)
{
    QByteArray out;
    appendWord(out, 0x7FE0);
    appendWord(out, 0x0010);
    out.append("OB", 2);
    appendWord(out, 0);
    appendLong(out, 0xFFFFFFFF);
    out += tagAndLength(0xFFFE, 0xE000, 0);
    for (QByteArray fragment : fragments) {
        if (fragment.size() % 2)
            fragment.append('\0');
        out += tagAndLength(0xFFFE, 0xE000, static_cast<std::uint32_t>(fragment.size())) + fragment;
    }
    return out + tagAndLength(0xFFFE, 0xE0DD, 0);
}

QByteArray nestedSequences(int depth)
{
    // (0040,A730) Content Sequence, undefined lengths all the way down.
    QByteArray open, close;
    for (int i = 0; i < depth; ++i) {
        appendWord(open, 0x0040);
        appendWord(open, 0xA730);
        open.append("SQ", 2);
        appendWord(open, 0);
        appendLong(open, 0xFFFFFFFF);
        open += tagAndLength(0xFFFE, 0xE000, 0xFFFFFFFF);
        close += tagAndLength(0xFFFE, 0xE00D, 0) + tagAndLength(0xFFFE, 0xE0DD, 0);
    }
    return open + close;
}

QByteArray jpeg(int width, int height, int components, bool progressive)
{
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * components);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<unsigned char>((i / components) % width * 4 + i % components * 50);
    tjhandle handle = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const int format = components == 3 ? TJPF_RGB : TJPF_GRAY;
    const int sampling = components == 3 ? TJSAMP_444 : TJSAMP_GRAY;
    const int flags = progressive ? TJFLAG_PROGRESSIVE : 0;
    QByteArray stream;
    if (tjCompress2(handle, pixels.data(), width, 0, height, format, &out, &size, sampling, 90, flags) == 0)
        stream = QByteArray(reinterpret_cast<const char*>(out), static_cast<qsizetype>(size));
    tjFree(out);
    tjDestroy(handle);
    return stream;
}

QByteArray withFrameSize(QByteArray stream, int width, int height)
{
    const qsizetype at = frameHeaderAt(stream);
    if (at < 0)
        return {};
    stream[at + 5] = char(height >> 8);
    stream[at + 6] = char(height & 0xFF);
    stream[at + 7] = char(width >> 8);
    stream[at + 8] = char(width & 0xFF);
    return stream;
}

QByteArray withPadding(const QByteArray& stream, int bytes)
{
    QByteArray padding;
    while (bytes > 0) {
        const int segment = std::min(bytes, 65533);
        padding.append("\xFF\xFE", 2).append(char((segment + 2) >> 8)).append(char((segment + 2) & 0xFF));
        padding.append(QByteArray(segment, 'x'));
        bytes -= segment;
    }
    return stream.left(2) + padding + stream.mid(2);
}

QByteArray deflated(const QByteArray& dataSet)
{
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    QByteArray out(static_cast<qsizetype>(deflateBound(&stream, static_cast<uLong>(dataSet.size()))), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(dataSet.constData()));
    stream.avail_in = static_cast<uInt>(dataSet.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(static_cast<qsizetype>(stream.total_out));
    deflateEnd(&stream);
    return out;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

namespace {

QByteArray jpegFile(
    const char* syntax, int columns, int rows, int samples, const QList<QByteArray>& fragments)
{
    return withMetaHeader(syntax, imageHeader(columns, rows, samples, 1) + encapsulatedPixels(fragments));
}

// A frame split in two fragments of even length (only the last may take a pad byte).
QList<QByteArray> inHalves(const QByteArray& stream)
{
    const qsizetype half = stream.size() / 2 & ~qsizetype(1);
    return {stream.left(half), stream.mid(half)};
}

// Private blocks of 255 elements under their creator, group after group.
QByteArray manyPrivateElements(int count)
{
    QByteArray elements;
    for (int i = 0; i < count; ++i) {
        const auto group = static_cast<std::uint16_t>(0x0009 + 2 * (i / 255));
        if (i % 255 == 0)
            elements += element(group, 0x0010, "LO", "HOSTILE");
        elements += element(group, static_cast<std::uint16_t>(0x1000 + i % 255), "SH", "x");
    }
    return elements;
}

QByteArray emptyFragments(int count)
{
    QByteArray pixels;
    appendWord(pixels, 0x7FE0);
    appendWord(pixels, 0x0010);
    pixels.append("OB", 2);
    appendWord(pixels, 0);
    appendLong(pixels, 0xFFFFFFFF);
    for (int i = 0; i <= count; ++i)
        pixels += tagAndLength(0xFFFE, 0xE000, 0);
    return pixels + tagAndLength(0xFFFE, 0xE0DD, 0);
}

QByteArray uncompressedImage(int columns, int rows)
{
    return imageHeader(columns, rows, 1) + element(0x7FE0, 0x0010, "OB", QByteArray(columns * rows, '\x40'));
}

} // namespace

QList<NamedFile> untrustedFiles()
{
    const QByteArray small = jpeg(32, 32, 1, false), smallProgressive = jpeg(32, 32, 1, true);
    const QByteArray sound = jpeg(64, 64, 1, false), soundProgressive = jpeg(64, 64, 1, true);
    const QByteArray padding = withPadding(small, 140 << 10);
    // Beyond the structure bounds; the deflated bomb inflates to 100 MB of an element.
    const QByteArray bomb = element(0x0009, 0x1000, "OB", QByteArray(100 << 20, '\0'));
    return {
        {"jpeg-baseline-32-in-64.dcm", jpegFile(JpegBaseline, 64, 64, 1, {small})},
        {"jpeg-progressive-32-in-64.dcm", jpegFile(JpegProgressive, 64, 64, 1, {smallProgressive})},
        {"jpeg-bands-32-in-64.dcm", jpegFile(JpegBandSelection, 64, 64, 1, {small})},
        {"jpeg-padded-32-in-64.dcm", jpegFile(JpegBaseline, 64, 64, 1, {padding})},
        {"jpeg-split-32-in-64.dcm", jpegFile(JpegExtended, 64, 64, 1, {small.left(20), small.mid(20)})},
        {"jpeg-grey-in-rgb.dcm", jpegFile(JpegBaseline, 64, 64, 3, {sound})},
        {"jpeg-progressive-60000-in-64.dcm",
            jpegFile(JpegProgressive, 64, 64, 1, {withFrameSize(soundProgressive, 60000, 60000)})},
        {"jpeg-frames-missing.dcm",
            withMetaHeader(
                JpegBaseline, imageHeader(64, 64, 1, 3) + encapsulatedPixels({sound, sound.left(40)}))},
        {"jpeg-baseline.dcm", jpegFile(JpegBaseline, 64, 64, 1, {sound})},
        {"jpeg-progressive.dcm", jpegFile(JpegProgressive, 64, 64, 1, {soundProgressive})},
        {"jpeg-rgb-progressive.dcm", jpegFile(JpegProgressive, 64, 64, 3, {jpeg(64, 64, 3, true)})},
        {"jpeg-padded.dcm", jpegFile(JpegBaseline, 64, 64, 1, {withPadding(sound, 140 << 10)})},
        {"jpeg-split.dcm", jpegFile(JpegExtended, 64, 64, 1, inHalves(sound))},
        {"jpeg-12000-frames.dcm",
            withMetaHeader(JpegBaseline,
                imageHeader(8, 8, 1, 12000)
                    + encapsulatedPixels(QList<QByteArray>(12000, jpeg(8, 8, 1, false))))},
        {"nested-6000.dcm", withMetaHeader(ExplicitLittle, nestedSequences(6000) + uncompressedImage(8, 8))},
        {"nested-100.dcm", withMetaHeader(ExplicitLittle, nestedSequences(100) + uncompressedImage(8, 8))},
        {"private-elements-1m.dcm",
            withMetaHeader(ExplicitLittle, manyPrivateElements(1000000) + uncompressedImage(8, 8))},
        {"fragments-200000.dcm",
            withMetaHeader(JpegBaseline, imageHeader(64, 64, 1) + emptyFragments(200000))},
        {"deflate-bomb.dcm", withMetaHeader(Deflated, deflated(bomb + uncompressedImage(8, 8)))},
    };
}

} // namespace vexa::hostile
