#pragma once
// Person names as users read them. DICOM stores a person's name as
// components separated by "^" (family, given, middle, prefix, suffix);
// lists, labels, printed sheets and reports show it with blanks instead.
#include <QString>

namespace vexa {

// "Moriarty^James" -> "Moriarty James"; "DUPONT^JEAN^^^" -> "DUPONT JEAN";
// "^^Marie" -> "Marie". The components are trimmed and joined by one blank,
// empty ones dropped. Never a null string ("" for an empty or null name).
QString readablePersonName(const QString& dicomName);

} // namespace vexa
