#pragma once
// Puts the patient's values in place of the field tokens of a document.
#include "reports/core/PatientFields.h"

#include <QString>

class QTextCursor;
class QTextDocument;

namespace vexa {

// Replaces every occurrence of `token` in the whole document (letter case
// included) by `value`, keeping the format of the replaced text; with
// `underline` the inserted value is underlined as well. The search resumes
// after each inserted value, so a value holding its own token ends the loop.
// `selection`, when given, keeps its start and length by character index.
// Answers how many occurrences were replaced.
int replaceField(QTextDocument& document, const QString& token, const QString& value, bool underline,
    QTextCursor* selection = nullptr);

// The eight tokens in index order, each by its entry of `fields`.
void replaceFieldsWithValues(
    QTextDocument& document, const PatientFieldValues& fields, QTextCursor* selection = nullptr);

} // namespace vexa
