#include "dicom/DicomTags.h"

#include "dicom/DicomCodecs.h"
#include "dicom/DicomFileOpening.h"
#include "dicom/DicomLoader.h"

#include <dcmtk/dcmdata/dcdeftag.h>
#include <dcmtk/dcmdata/dcfilefo.h>
#include <dcmtk/dcmdata/dcspchrs.h>
#include <dcmtk/dcmdata/dcvr.h>

#include <algorithm>
#include <map>
#include <memory>
#include <ostream>
#include <streambuf>

namespace vexa {

namespace {

// Texts of a data set whose character sets DCMTK cannot convert as a whole
// (ISO 2022 IR 87 and 159 with the C library's iconv, for one) are
// converted value by value: what DCMTK converts is kept, what it cannot
// becomes "?", one per character, and the raw bytes never reach the text.
class ValueConverter {
public:
    std::string toUtf8(const OFString& value, const OFString& charset, bool personName)
    {
        const OFString delimiters = personName ? "\\^=" : "\\";
        OFString out;
        if (DcmSpecificCharacterSet* whole = converterFor(charset);
            whole && whole->convertString(value, out, delimiters).good())
            return out.c_str();
        return questionMarks(value, firstSetConverter(charset), delimiters);
    }

private:
    struct Converter {
        DcmSpecificCharacterSet dcmtk;
        bool selected = false;
    };
    std::map<std::string, std::unique_ptr<Converter>> converters_;

    // DCMTK's converter from `charset` to UTF-8, or null when it has none.
    DcmSpecificCharacterSet* converterFor(const OFString& charset)
    {
        std::unique_ptr<Converter>& converter = converters_[charset.c_str()];
        if (!converter) {
            converter = std::make_unique<Converter>();
            converter->selected = converter->dcmtk.selectCharacterSet(charset).good();
        }
        return converter->selected ? &converter->dcmtk : nullptr;
    }

    // The converter of the value's first character set alone; as the only
    // set, "ISO 2022 IR 13" is known to DCMTK by its single-set name.
    DcmSpecificCharacterSet* firstSetConverter(const OFString& charset)
    {
        const OFString first = firstTerm(charset);
        DcmSpecificCharacterSet* converter = converterFor(first);
        if (!converter && first.compare(0, 12, "ISO 2022 IR ") == 0)
            converter = converterFor("ISO_IR " + first.substr(12));
        return converter;
    }

    static OFString firstTerm(const OFString& charset)
    {
        const std::size_t end = charset.find('\\');
        return end == OFString_npos ? charset : charset.substr(0, end);
    }

    // Splits the value at its escape sequences. Runs in the first character
    // set (the state at the start and after each delimiter) are converted
    // with it; in any other set each character becomes "?": two bytes a
    // character for the sets an "ESC $" sequence designates, one otherwise.
    // Escape sequences and control bytes never reach the text.
    static std::string questionMarks(
        const OFString& value, DcmSpecificCharacterSet* firstSet, const OFString& delimiters)
    {
        std::string out;
        OFString run; // bytes in the first character set, not yet converted
        const auto flushRun = [&] {
            OFString converted;
            if (firstSet && firstSet->convertString(run, converted).good()) {
                out += converted.c_str();
            } else {
                for (const char byte : run)
                    out += static_cast<unsigned char>(byte) < 0x80 ? byte : '?';
            }
            run.clear();
        };
        bool g0Other = false, g0Double = false, g1Other = false, g1Double = false;
        for (std::size_t i = 0; i < value.size();) {
            const auto byte = static_cast<unsigned char>(value[i]);
            if (byte == 0x1B) {
                flushRun();
                std::size_t end = i + 1;
                while (end < value.size() && static_cast<unsigned char>(value[end]) >= 0x20
                    && static_cast<unsigned char>(value[end]) <= 0x2F)
                    ++end; // intermediate bytes, then one final byte
                const std::string intermediates = value.substr(i + 1, end - i - 1).c_str();
                const bool doubleByte = !intermediates.empty() && intermediates[0] == '$';
                const bool toG1 = intermediates.find_first_of(")-") != std::string::npos;
                const bool toAscii
                    = intermediates == "(" && end < value.size() && (value[end] == 'B' || value[end] == 'J');
                if (toG1) {
                    g1Other = true;
                    g1Double = doubleByte;
                } else {
                    g0Other = !toAscii;
                    g0Double = doubleByte;
                }
                i = std::min(end + 1, value.size());
                continue;
            }
            if (delimiters.find(static_cast<char>(byte)) != OFString_npos || byte == '\r' || byte == '\n') {
                g0Other = g0Double = g1Other = g1Double = false; // back to the first set
                run += static_cast<char>(byte);
                ++i;
                continue;
            }
            const bool high = byte >= 0x80;
            if ((!high && !g0Other) || (high && !g1Other)) {
                if (byte >= 0x20 || byte == '\t' || high)
                    run += static_cast<char>(byte);
                ++i;
                continue;
            }
            flushRun();
            out += '?';
            i += (high ? g1Double : g0Double) ? 2 : 1;
        }
        flushRun();
        return out;
    }
};

void convertItem(DcmItem& item, OFString charset, ValueConverter& converter)
{
    if (item.tagExists(DCM_SpecificCharacterSet)) {
        item.findAndGetOFStringArray(DCM_SpecificCharacterSet, charset);
        item.putAndInsertString(DCM_SpecificCharacterSet, "ISO_IR 192");
    }
    for (unsigned long i = 0; i < item.card(); ++i) {
        DcmElement* element = item.getElement(i);
        if (!element || element->getTag() == DCM_SpecificCharacterSet)
            continue;
        if (element->ident() == EVR_SQ) {
            auto* sequence = static_cast<DcmSequenceOfItems*>(element);
            for (unsigned long k = 0; k < sequence->card(); ++k)
                convertItem(*sequence->getItem(k), charset, converter);
            continue;
        }
        OFString value;
        if (!element->isAffectedBySpecificCharacterSet() || element->getOFStringArray(value).bad())
            continue;
        element->putOFStringArray(converter.toUtf8(value, charset, element->ident() == EVR_PN).c_str());
    }
}

// Keeps the first `most` bytes written to it and drops the rest: a file of
// many long values would otherwise make a text of hundreds of megabytes.
class BoundedText : public std::streambuf {
public:
    explicit BoundedText(std::size_t most)
        : most_(most)
    {
    }

    std::string text;
    bool cut = false;

protected:
    int_type overflow(int_type c) override
    {
        if (c != traits_type::eof()) {
            const char byte = traits_type::to_char_type(c);
            xsputn(&byte, 1);
        }
        return traits_type::not_eof(c);
    }

    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        const std::size_t room = most_ - text.size();
        const auto count = static_cast<std::size_t>(n);
        text.append(s, std::min(count, room));
        cut = cut || count > room;
        return n;
    }

private:
    std::size_t most_;
};

// Opened as the images are: long values stay in the file, a deflated data
// set is inflated under the image limit, and no stated length is trusted.
QString openDump(const QString& path, std::unique_ptr<OpenedFile>& opened)
{
    opened = std::make_unique<OpenedFile>();
    if (QString problem = openForDecoding(path, imageMemoryLimit(), *opened); !problem.isEmpty())
        return problem;
    return checkElementLengths(*opened->file.getDataset(), opened->available);
}

} // namespace

QString dicomTagsText(const QString& path, std::size_t maxTextBytes)
{
    registerDicomCodecs();
    std::unique_ptr<OpenedFile> opened;
    if (const QString problem = openDump(path, opened); !problem.isEmpty())
        return problem;
    // Names with accents are stored in the file's character set; as UTF-8 they
    // read the same whatever that set was.
    if (opened->file.convertToUTF8().bad()) {
        // A failed conversion may have left some values converted: start again
        // from the file and go value by value.
        if (const QString problem = openDump(path, opened); !problem.isEmpty())
            return problem;
        ValueConverter converter;
        convertItem(*opened->file.getDataset(), OFString(), converter);
    }
    BoundedText bounded(maxTextBytes);
    std::ostream text(&bounded);
    // Long values (pixel data) are shortened: the text is for reading.
    opened->file.print(text, DCMTypes::PF_shortenLongTagValues);
    QString out = QString::fromUtf8(bounded.text);
    if (bounded.cut)
        out += QStringLiteral("\n… texte tronqué : il dépasse %1 Ko.\n").arg(maxTextBytes >> 10);
    return out;
}

} // namespace vexa
