#pragma once
// Adhesive labels for the opened exam: exam date, patient and practitioner,
// under the practice's header line when the label format asks for it. Each
// label is a print document of its own on the label printer, laid out on the
// printer's own label size from the top left of its printable area; a line
// too long for the label ends in "…" instead of running off its edge.
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class QFont;
class QPaintDevice;

namespace vexa {

// A piece of a label line in one font: Liberation Sans, which has Arial's metrics.
struct LabelText {
    QString text;
    int pointSize = 8;
    bool bold = false;

    bool operator==(const LabelText&) const = default;
};
using LabelLine = QList<LabelText>;

// What a label says about the exam, as the main window shows it.
struct LabelExam {
    QString examDate; // DD/MM/YYYY
    QString patientName;
    QString practitioner; // may be empty
};

// The label's lines: the header (only when `format` is 0), the exam date, the
// patient and, when there is one, the practitioner.
QList<LabelLine> labelLines(const LabelExam& exam, const QString& header, int format);

// The line as it fits in `width` device pixels of `device`: unchanged when it
// fits, else its last pieces are shortened, ending in "…", and any piece
// that no longer has room is left out.
LabelLine fitLine(const LabelLine& line, qreal width, QPaintDevice* device);

// The font of a piece on `device`.
QFont labelFont(const LabelText& piece, QPaintDevice* device);

class LabelPrinter {
public:
    // Prints `count` labels, reading the label settings (enabled, label
    // printer, sheet printer, format, header). Disabled: says so and prints
    // nothing. A count of 0 or less does nothing. Afterwards the sheet printer
    // is the current printer again. Answers the number of labels printed.
    int print(int count, const LabelExam& exam);

    // The installed printers are asked from the system unless given here.
    void setInstalledPrinters(std::optional<QStringList> names) { installed_ = std::move(names); }
    // Where labels go as PDF files when there is no printer to print on.
    void setPdfFolder(const QString& folder) { pdfFolder_ = folder; }

private:
    bool printOne(const QList<LabelLine>& lines, const QStringList& printers);

    std::optional<QStringList> installed_;
    QString pdfFolder_;
};

QString labelsDisabledText(); // "Il n'y a pas d'imprimante-étiquette sur votre station."

} // namespace vexa
