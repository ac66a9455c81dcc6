#pragma once
// The title the main window shows and the messages about the exam at hand
// carry, as the practice has always read it.
#include <QString>

namespace vexa {

inline const QString ProgramTitle = QStringLiteral("VexaDicom");

} // namespace vexa
