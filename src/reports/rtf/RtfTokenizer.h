#pragma once
// Splits RTF bytes into tokens: group braces, control words with their
// numeric parameter, control symbols, text runs, \'hh bytes and \binN data.
// It never allocates: every token points into the input, which must outlive
// the tokenizer. Hostile input is bounded here: parameters are clamped to the
// int range and \binN never reaches past the end of the data.
#include <QByteArrayView>
#include <cstdint>

namespace vexa {

// The value of a hexadecimal digit of either case; -1 for any other byte.
int hexDigitValue(char c);

struct RtfToken {
    enum class Type : std::uint8_t {
        End, // no more input
        GroupStart, // {
        GroupEnd, // }
        ControlWord, // \name or \nameN: name in text, hasParameter/parameter
        ControlSymbol, // \ followed by one non-letter (\~, \-, \*, \{ ...): symbol
        Text, // a run of plain bytes (no braces, backslashes or line ends): text
        HexByte, // \'hh: byte
        Binary, // the data of \binN: text
    };
    Type type = Type::End;
    QByteArrayView text;
    int parameter = 0;
    bool hasParameter = false;
    char symbol = 0;
    std::uint8_t byte = 0;

    bool isWord(const char* name) const { return type == Type::ControlWord && text == name; }
};

class RtfTokenizer {
public:
    explicit RtfTokenizer(QByteArrayView data)
        : data_(data)
    {
    }

    RtfToken next();
    bool atEnd() const { return position_ >= data_.size(); }
    qsizetype position() const { return position_; }

private:
    // Reads the escape at the current backslash; false when it is malformed.
    bool readControl(RtfToken& token);

    QByteArrayView data_;
    qsizetype position_ = 0;
};

} // namespace vexa
