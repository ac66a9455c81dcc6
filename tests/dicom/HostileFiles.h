#pragma once
// Byte-level makers of damaged and hostile DICOM files, written the way an
// attacker or a bad disk would leave them: what DCMTK's writer refuses to
// produce (lying sizes, deep nesting, a million elements) is assembled here
// element by element, in explicit VR little endian.
#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>

namespace vexa::hostile {

// One element, explicit VR little endian; its value is padded to an even length.
QByteArray element(std::uint16_t group, std::uint16_t number, const char* vr, QByteArray value);
QByteArray us(std::uint16_t group, std::uint16_t number, std::uint16_t value);
// Preamble, "DICM", a meta header naming transferSyntax, then the data set.
QByteArray withMetaHeader(const char* transferSyntax, const QByteArray& dataSet);

// The elements that describe an image's pixels (8 bits a sample).
QByteArray imageHeader(int columns, int rows, int samples, int frames = 1);
// The encapsulated pixel element: an empty offset table, then the fragments.
QByteArray encapsulatedPixels(const QList<QByteArray>& fragments);
// A sequence holding an item holding a sequence... `depth` levels deep.
QByteArray nestedSequences(int depth);

// A JPEG of a smooth pattern (grey or RGB), baseline or progressive.
QByteArray jpeg(int width, int height, int components, bool progressive);
// The same stream with another size written in its frame header.
QByteArray withFrameSize(QByteArray stream, int width, int height);
// The same stream with comment segments of `bytes` in all before its frame header.
QByteArray withPadding(const QByteArray& stream, int bytes);

// Deflates a data set the way the deflated transfer syntax stores it.
QByteArray deflated(const QByteArray& dataSet);

bool writeFile(const QString& path, const QByteArray& bytes);

// Every file the faults of untrusted images are tried with, by name: sizes
// that lie, runaway structures, and their sound counterparts. Large ones
// are made here rather than kept in the repository.
struct NamedFile {
    QString name;
    QByteArray bytes;
};
QList<NamedFile> untrustedFiles();

// Transfer syntaxes.
inline constexpr const char* ExplicitLittle = "1.2.840.10008.1.2.1";
inline constexpr const char* Deflated = "1.2.840.10008.1.2.1.99";
inline constexpr const char* JpegBaseline = "1.2.840.10008.1.2.4.50";
inline constexpr const char* JpegExtended = "1.2.840.10008.1.2.4.51";
inline constexpr const char* JpegBandSelection = "1.2.840.10008.1.2.4.53";
inline constexpr const char* JpegProgressive = "1.2.840.10008.1.2.4.55";

} // namespace vexa::hostile
