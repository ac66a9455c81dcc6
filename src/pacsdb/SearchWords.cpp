#include "SearchWords.h"

#include <QHash>

namespace vexa {

namespace {

// Each accented Latin letter and name separator, with what it reads as.
struct FoldTable {
    QString from; // one character each, for translate()
    QString to; // the same length
    QList<QPair<QChar, QString>> expansions; // letters read as two
    QHash<QChar, QString> map; // everything above, for SearchWords()
};

FoldTable BuildTable()
{
    FoldTable table;
    const auto add = [&table](QChar c, const QString& reading) {
        table.map.insert(c, reading);
        if (reading.size() == 1) {
            table.from += c;
            table.to += reading;
        } else {
            table.expansions.append({c, reading});
        }
    };
    for (const char16_t separator : {u'^', u'-', u'\'', u'.', u','})
        add(QChar(separator), QStringLiteral(" "));
    // Letters whose decomposition is an ASCII letter followed by accents.
    for (char16_t code = 0xC0; code <= 0x24F; ++code) {
        const QChar c(code);
        if (!c.isLetter())
            continue;
        const QString decomposed = QString(c).normalized(QString::NormalizationForm_D);
        const QChar base = decomposed.at(0);
        if (decomposed.size() > 1 && base.unicode() < 0x80 && base.isLetter())
            add(c, QString(base.toLower()));
    }
    // Letters that do not decompose but read as plain ones.
    const struct {
        char16_t letter;
        const char* reading;
    } plain[] = {{u'Ø', "o"}, {u'ø', "o"}, {u'Đ', "d"}, {u'đ', "d"}, {u'Ð', "d"}, {u'ð', "d"}, {u'Ł', "l"},
        {u'ł', "l"}, {u'Ħ', "h"}, {u'ħ', "h"}, {u'Ŧ', "t"}, {u'ŧ', "t"}, {u'ı', "i"}, {u'ß', "ss"},
        {u'Œ', "oe"}, {u'œ', "oe"}, {u'Æ', "ae"}, {u'æ', "ae"}, {u'Ĳ', "ij"}, {u'ĳ', "ij"}};
    for (const auto& p : plain)
        add(QChar(p.letter), QString::fromLatin1(p.reading));
    return table;
}

const FoldTable& Table()
{
    static const FoldTable table = BuildTable();
    return table;
}

QString Fold(const QString& text)
{
    const FoldTable& table = Table();
    QString out;
    out.reserve(text.size() + 1);
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            // The common case, without a lookup.
            if (c >= u'A' && c <= u'Z')
                out += QChar(c.unicode() + 32);
            else if (c == u'^' || c == u'-' || c == u'\'' || c == u'.' || c == u',')
                out += u' ';
            else
                out += c;
            continue;
        }
        const auto found = table.map.constFind(c);
        if (found != table.map.cend())
            out += *found;
        else
            out += c.toLower();
    }
    return out;
}

QString SqlText(const QString& text)
{
    QString quoted = text;
    return u'\'' + quoted.replace(u'\'', QStringLiteral("''")) + u'\'';
}

} // namespace

QString SearchWords(const QString& name)
{
    return u' ' + Fold(name);
}

QString SearchWordsPattern(const QString& typed)
{
    return QStringLiteral("* ") + Fold(typed) + u'*';
}

QString PostgresSearchWords(const QString& column)
{
    const FoldTable& table = Table();
    QString expression = QStringLiteral("COALESCE(%1, '')").arg(column);
    for (const auto& [letter, reading] : table.expansions)
        expression = QStringLiteral("replace(%1, %2, %3)").arg(expression, SqlText(letter), SqlText(reading));
    return QStringLiteral("(' ' || lower(translate(%1, %2, %3)))")
        .arg(expression, SqlText(table.from), SqlText(table.to));
}

} // namespace vexa
