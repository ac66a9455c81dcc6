#pragma once
// Case-insensitive LIKE matching with full Unicode case folding, so that
// "émile" matches "ÉMILE". Used by SQLite's like() on our connections and by
// record sets' in-memory find.
#include <QList>
#include <QString>

namespace vexa {

// SQL pattern: "%" any run, "_" one character, escape (if not null) makes the
// next character literal.
bool sqlLikeMatches(const QString& pattern, const QString& text, QChar escape = QChar());

// An SQL pattern read once, for matching many texts (a query's rows).
class SqlLikePattern {
public:
    SqlLikePattern(const QString& pattern, QChar escape = QChar());
    bool matches(const QString& text) const;

    struct Token {
        enum Kind { Literal, One, Any } kind;
        QChar c;
    };

private:
    QList<Token> tokens_;
};

// Jet pattern: "*" any run, "?" one character.
bool jetLikeMatches(const QString& pattern, const QString& text);

} // namespace vexa
