#include "pacsdb/LikeMatch.h"

#include <QList>

namespace vexa {

namespace {

using Token = SqlLikePattern::Token;

QList<Token> tokens(const QString& folded, QChar any, QChar one, QChar escape)
{
    QList<Token> tokens;
    for (qsizetype i = 0; i < folded.size(); ++i) {
        const QChar c = folded.at(i);
        if (!escape.isNull() && c == escape && i + 1 < folded.size())
            tokens.append({Token::Literal, folded.at(++i)});
        else if (c == any)
            tokens.append({Token::Any, c});
        else if (c == one)
            tokens.append({Token::One, c});
        else
            tokens.append({Token::Literal, c});
    }
    return tokens;
}

// Greedy match with one backtracking point per "any" token.
bool match(const QList<Token>& tokens, const QString& text)
{
    qsizetype p = 0, s = 0, starP = -1, starS = 0;
    while (s < text.size()) {
        if (p < tokens.size() && tokens[p].kind != Token::Any
            && (tokens[p].kind == Token::One || tokens[p].c == text.at(s))) {
            ++p;
            ++s;
        } else if (p < tokens.size() && tokens[p].kind == Token::Any) {
            starP = p++;
            starS = s;
        } else if (starP >= 0) {
            p = starP + 1;
            s = ++starS;
        } else {
            return false;
        }
    }
    while (p < tokens.size() && tokens[p].kind == Token::Any)
        ++p;
    return p == tokens.size();
}

} // namespace

SqlLikePattern::SqlLikePattern(const QString& pattern, QChar escape)
    : tokens_(tokens(pattern.toCaseFolded(), u'%', u'_', escape.isNull() ? escape : escape.toCaseFolded()))
{
}

bool SqlLikePattern::matches(const QString& text) const
{
    return match(tokens_, text.toCaseFolded());
}

bool sqlLikeMatches(const QString& pattern, const QString& text, QChar escape)
{
    const QChar foldedEscape = escape.isNull() ? escape : escape.toCaseFolded();
    return match(tokens(pattern.toCaseFolded(), u'%', u'_', foldedEscape), text.toCaseFolded());
}

bool jetLikeMatches(const QString& pattern, const QString& text)
{
    return match(tokens(pattern.toCaseFolded(), u'*', u'?', QChar()), text.toCaseFolded());
}

} // namespace vexa
