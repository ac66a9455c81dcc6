#include "reports/core/FieldReplacement.h"

#include <QTextCursor>
#include <QTextDocument>

namespace vexa {

namespace {

// The last valid caret index of a document.
int lastPosition(const QTextDocument& document)
{
    return std::max(0, document.characterCount() - 1);
}

} // namespace

int replaceField(QTextDocument& document, const QString& token, const QString& value, bool underline,
    QTextCursor* selection)
{
    if (token.isEmpty())
        return 0;
    int start = 0;
    int length = 0;
    if (selection) {
        start = selection->selectionStart();
        length = selection->selectionEnd() - start;
    }

    int replaced = 0;
    QTextCursor edit(&document);
    edit.beginEditBlock();
    int from = 0;
    for (;;) {
        QTextCursor found = document.find(token, from, QTextDocument::FindCaseSensitively);
        if (found.isNull())
            break;
        const int at = found.selectionStart();
        QTextCharFormat format = found.charFormat();
        if (underline)
            format.setFontUnderline(true);
        found.insertText(value, format);
        ++replaced;
        from = at + static_cast<int>(value.size());
    }
    edit.endEditBlock();

    if (selection) {
        const int last = lastPosition(document);
        const int anchor = std::min(start, last);
        selection->setPosition(anchor);
        selection->setPosition(std::min(anchor + length, last), QTextCursor::KeepAnchor);
    }
    return replaced;
}

void replaceFieldsWithValues(
    QTextDocument& document, const PatientFieldValues& fields, QTextCursor* selection)
{
    for (const PatientField& field : patientFields())
        replaceField(document, field.token, fields[field.index], false, selection);
}

} // namespace vexa
