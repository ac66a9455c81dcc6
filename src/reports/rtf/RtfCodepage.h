#pragma once
// The 8-bit code pages of RTF text. Windows-1252 (the ANSI code page of
// western Windows, and the one we write) is built in; other code pages of the
// files we read (Cyrillic, Central European, East Asian double-byte) go
// through Qt's converters when they are available, else read as 1252.
#include <QByteArrayView>
#include <QString>
#include <map>
#include <memory>

class QStringDecoder;

namespace vexa {

// Code page for an RTF \fcharsetN; 0 when the charset names none (keep the document's).
int codepageForCharset(int charset);

// Decodes byte runs of any code page; keeps one converter per code page.
class RtfTextDecoder {
public:
    RtfTextDecoder();
    ~RtfTextDecoder();

    static constexpr int SymbolCodepage = 42; // Symbol fonts: bytes map to U+F0xx

    void decode(QByteArrayView bytes, int codepage, QString& out);

private:
    QStringDecoder* decoderFor(int codepage);

    std::map<int, std::unique_ptr<QStringDecoder>> decoders_;
};

} // namespace vexa
