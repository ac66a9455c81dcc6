#pragma once
// The patient search matches the start of any word of a name, ignoring
// accents and letter case, on both database engines. A name is compared in
// its "search words" form: a leading blank, letters without their accents and
// in lower case, and the separators of person names (^ - ' . ,) as blanks.
// SQLite computes it with a function registered on each connection
// (SqliteFunctions); PostgreSQL with an expression of translate() and
// replace() built from the same table, so no server extension is needed.
#include <QString>

namespace vexa {

// The longest text the patient search takes: a person name's length.
constexpr int kSearchTextMax = 64;

// " dupont jean" for "DUPONT^JEAN"; " lefevre" for "LEFÈVRE".
QString searchWords(const QString& name);

// The Jet LIKE pattern that finds `typed` at the start of a word of a
// name's search words: "jean" gives "* jean*". The user's "*" and "?" stay
// wild cards, a run of "*" folded into one; only the first kSearchTextMax
// characters count.
QString searchWordsPattern(const QString& typed);

// A regular expression (PostgreSQL's) matching the names whose search words
// match a LIKE pattern in that form (from SearchWordsPattern), tested on
// ' ' || name. Far quicker on the server than folding every name: each
// letter of the pattern becomes the set of letters that read as it.
QString postgresWordsRegex(const QString& wordsPattern);

// The PostgreSQL expression giving the search words of `column` (NULL reads
// as an empty name).
QString postgresSearchWords(const QString& column);

} // namespace vexa
