#include "reports/rtf/RtfTokenizer.h"

#include <algorithm>
#include <limits>

namespace vexa {

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

RtfToken RtfTokenizer::next()
{
    const qsizetype size = data_.size();
    while (position_ < size) {
        const char c = data_[position_];
        switch (c) {
        case '{':
            ++position_;
            return {RtfToken::Type::GroupStart};
        case '}':
            ++position_;
            return {RtfToken::Type::GroupEnd};
        case '\\': {
            RtfToken token;
            if (readControl(token))
                return token;
            continue; // a malformed escape, dropped
        }
        case '\r':
        case '\n':
            ++position_; // line ends are not part of the text
            continue;
        default: {
            const qsizetype start = position_;
            while (position_ < size) {
                const char t = data_[position_];
                if (t == '{' || t == '}' || t == '\\' || t == '\r' || t == '\n')
                    break;
                ++position_;
            }
            RtfToken token{RtfToken::Type::Text};
            token.text = data_.sliced(start, position_ - start);
            return token;
        }
        }
    }
    return {RtfToken::Type::End};
}

bool RtfTokenizer::readControl(RtfToken& token)
{
    const qsizetype size = data_.size();
    ++position_; // the backslash
    if (position_ >= size)
        return false;

    const char first = data_[position_];
    if (!isLetter(first)) {
        ++position_;
        if (first == '\'') {
            // \'hh: two hex digits; a malformed escape is dropped.
            if (position_ + 2 <= size) {
                const int high = hexDigitValue(data_[position_]);
                const int low = hexDigitValue(data_[position_ + 1]);
                if (high >= 0 && low >= 0) {
                    position_ += 2;
                    token.type = RtfToken::Type::HexByte;
                    token.byte = static_cast<std::uint8_t>(high * 16 + low);
                    return true;
                }
            }
            return false;
        }
        token.type = RtfToken::Type::ControlSymbol;
        // "\" before a line end is a paragraph mark, as \par.
        token.symbol = (first == '\r' || first == '\n') ? '\n' : first;
        return true;
    }

    const qsizetype nameStart = position_;
    while (position_ < size && isLetter(data_[position_]))
        ++position_;
    token.type = RtfToken::Type::ControlWord;
    // Names longer than any real control word are cut; they match nothing.
    token.text = data_.sliced(nameStart, std::min<qsizetype>(position_ - nameStart, 32));

    bool negative = false;
    if (position_ < size && data_[position_] == '-' && position_ + 1 < size
        && isDigit(data_[position_ + 1])) {
        negative = true;
        ++position_;
    }
    if (position_ < size && isDigit(data_[position_])) {
        long long value = 0;
        while (position_ < size && isDigit(data_[position_])) {
            if (value <= std::numeric_limits<int>::max())
                value = value * 10 + (data_[position_] - '0');
            ++position_;
        }
        if (negative)
            value = -value;
        value
            = std::clamp<long long>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        token.parameter = static_cast<int>(value);
        token.hasParameter = true;
    }
    if (position_ < size && data_[position_] == ' ')
        ++position_; // the delimiting blank belongs to the control word

    if (token.text == "bin") {
        // Raw bytes follow; they never count as RTF text.
        const qsizetype length = std::clamp<qsizetype>(token.parameter, 0, size - position_);
        token.type = RtfToken::Type::Binary;
        token.text = data_.sliced(position_, length);
        token.hasParameter = false;
        position_ += length;
    }
    return true;
}

} // namespace vexa
