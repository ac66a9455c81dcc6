#include "pacsdb/SearchWords.h"

#include <QHash>
#include <QRegularExpression>

namespace vexa {

namespace {

// Each accented Latin letter and name separator, with what it reads as.
struct FoldTable {
    QString from; // one character each, for translate()
    QString to; // the same length
    QList<QPair<QChar, QString>> expansions; // letters read as two
    QHash<QChar, QString> map; // everything above, for SearchWords()
};

FoldTable buildTable()
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
        {u'ẞ', "ss"}, {u'Œ', "oe"}, {u'œ', "oe"}, {u'Æ', "ae"}, {u'æ', "ae"}, {u'Ĳ', "ij"}, {u'ĳ', "ij"},
        // The digraphs, in their three cases (capital, title, small).
        {u'Ǆ', "dz"}, {u'ǅ', "dz"}, {u'ǆ', "dz"}, {u'Ǳ', "dz"}, {u'ǲ', "dz"}, {u'ǳ', "dz"}, {u'Ǉ', "lj"},
        {u'ǈ', "lj"}, {u'ǉ', "lj"}, {u'Ǌ', "nj"}, {u'ǋ', "nj"}, {u'ǌ', "nj"}};
    for (const auto& p : plain)
        add(QChar(p.letter), QString::fromLatin1(p.reading));
    return table;
}

const FoldTable& foldTable()
{
    static const FoldTable table = buildTable();
    return table;
}

QString fold(const QString& text)
{
    const FoldTable& table = foldTable();
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

// A character of a PostgreSQL regular expression: non-ASCII ones as \uXXXX,
// which reads the same on a UTF8 and a LATIN1 database (a LATIN1 server
// refuses a statement holding a character it cannot store).
QString regexLiteral(QChar c)
{
    return c.unicode() < 0x80 ? QString(c) : QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar(u'0'));
}

QString sqlText(const QString& text)
{
    QString quoted = text;
    return u'\'' + quoted.replace(u'\'', QStringLiteral("''")) + u'\'';
}

} // namespace

QString searchWords(const QString& name)
{
    return u' ' + fold(name);
}

QString searchWordsPattern(const QString& typed)
{
    // A run of "*" means what one does, and costs the server far more.
    QString folded = fold(typed.left(kSearchTextMax));
    static const QRegularExpression runOfStars(QStringLiteral("\\*{2,}"));
    folded.replace(runOfStars, QStringLiteral("*"));
    QString pattern = QStringLiteral("* ") + folded + u'*';
    return pattern.replace(runOfStars, QStringLiteral("*"));
}

QString postgresWordsRegex(const QString& wordsPattern)
{
    const FoldTable& table = foldTable();
    // Every character that reads as a given plain one, both cases.
    static const QHash<QChar, QString> readers = [&table] {
        QHash<QChar, QString> readers;
        for (auto it = table.map.cbegin(); it != table.map.cend(); ++it)
            if (it.value().size() == 1 && it.value() != QStringLiteral(" "))
                readers[it.value().at(0)] += it.key();
        return readers;
    }();
    const QString separators = QStringLiteral("[ ^'.,-]");
    const auto anyOf = [](const QString& characters) {
        QString set = QStringLiteral("[");
        for (const QChar c : characters)
            set += regexLiteral(c);
        return set + u']';
    };
    const auto one = [&anyOf](QChar c) {
        QString alternatives = readers.value(c);
        for (const QChar variant : {c, c.toUpper(), c.toLower()})
            if (!alternatives.contains(variant))
                alternatives += variant;
        if (alternatives.size() > 1)
            return anyOf(alternatives);
        static const QString special = QStringLiteral("\\^$.|?*+()[]{}");
        return special.contains(c) ? QString(u'\\') + c : regexLiteral(c);
    };
    // A LIKE pattern matches the whole text; a leading or trailing "*" is
    // what an unanchored expression does anyway, and costs less left out.
    const bool anyStart = wordsPattern.startsWith(u'*');
    const bool anyEnd = wordsPattern.endsWith(u'*') && wordsPattern.size() > 1;
    const QString pattern
        = wordsPattern.mid(anyStart ? 1 : 0, wordsPattern.size() - (anyStart ? 1 : 0) - (anyEnd ? 1 : 0));
    QString regex = anyStart ? QString() : QStringLiteral("^");
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == u'*') {
            regex += QStringLiteral(".*");
            continue;
        }
        if (c == u'?') {
            regex += u'.';
            continue;
        }
        if (c == u' ') {
            regex += separators;
            continue;
        }
        // A letter read as two ("œ" as "oe") matches where the two are.
        QString both;
        for (const auto& [letter, reading] : table.expansions)
            if (pattern.mid(i, 2) == reading)
                both += letter;
        if (!both.isEmpty()) {
            regex += QStringLiteral("(?:%1%2|%3)").arg(one(c), one(pattern.at(i + 1)), anyOf(both));
            ++i;
            continue;
        }
        regex += one(c);
    }
    return anyEnd ? regex : regex + u'$';
}

QString postgresSearchWords(const QString& column)
{
    const FoldTable& table = foldTable();
    QString expression = QStringLiteral("COALESCE(%1, '')").arg(column);
    for (const auto& [letter, reading] : table.expansions)
        expression = QStringLiteral("replace(%1, %2, %3)").arg(expression, sqlText(letter), sqlText(reading));
    return QStringLiteral("(' ' || lower(translate(%1, %2, %3)))")
        .arg(expression, sqlText(table.from), sqlText(table.to));
}

} // namespace vexa
