#include "reports/rtf/RtfCodepage.h"

#include "base/core/Windows1252.h"

#include <QStringDecoder>

namespace vexa {

namespace {

const char* codecName(int codepage)
{
    switch (codepage) {
    case 437:
        return "IBM437";
    case 850:
        return "IBM850";
    case 874:
        return "windows-874";
    case 932:
        return "Shift_JIS";
    case 936:
        return "GBK";
    case 949:
        return "windows-949";
    case 950:
        return "Big5";
    case 1250:
        return "windows-1250";
    case 1251:
        return "windows-1251";
    case 1253:
        return "windows-1253";
    case 1254:
        return "windows-1254";
    case 1255:
        return "windows-1255";
    case 1256:
        return "windows-1256";
    case 1257:
        return "windows-1257";
    case 1258:
        return "windows-1258";
    case 10000:
        return "macintosh";
    case 65001:
        return "UTF-8";
    default:
        return nullptr;
    }
}

} // namespace

int codepageForCharset(int charset)
{
    switch (charset) {
    case 0:
        return 1252;
    case 2:
        return RtfTextDecoder::SymbolCodepage;
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    default:
        return 0;
    }
}

RtfTextDecoder::RtfTextDecoder() = default;
RtfTextDecoder::~RtfTextDecoder() = default;

QStringDecoder* RtfTextDecoder::decoderFor(int codepage)
{
    auto found = decoders_.find(codepage);
    if (found != decoders_.end())
        return found->second.get();
    std::unique_ptr<QStringDecoder> decoder;
    if (const char* name = codecName(codepage)) {
        decoder = std::make_unique<QStringDecoder>(name, QStringConverter::Flag::Stateless);
        if (!decoder->isValid())
            decoder.reset();
    }
    return decoders_.emplace(codepage, std::move(decoder)).first->second.get();
}

void RtfTextDecoder::decode(QByteArrayView bytes, int codepage, QString& out)
{
    if (bytes.isEmpty())
        return;
    if (codepage == SymbolCodepage) {
        for (const char byte : bytes) {
            const auto b = static_cast<unsigned char>(byte);
            out.append(QChar(b < 0x20 ? char16_t(b) : char16_t(0xF000 + b)));
        }
        return;
    }
    if (codepage != 1252 && codepage != 0) {
        if (QStringDecoder* decoder = decoderFor(codepage)) {
            out.append(decoder->decode(bytes));
            return;
        }
    }
    out.append(fromWindows1252(bytes));
}

} // namespace vexa
