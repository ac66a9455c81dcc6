// Labels on a real label printer: the private CUPS scheduler's cups-pdf queue
// "VexaLabel" (89 x 36 mm, 6 points unprintable on each side). Each label comes
// back as a PDF in VEXA_PDF_OUT, read with poppler's pdftotext -bbox.
#include "ScriptedDialogService.h"
#include "base/core/AppValues.h"
#include "base/core/CurrentPrinter.h"
#include "base/core/DialogService.h"
#include "printing/labels/LabelPrinter.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <QUuid>
#include <gtest/gtest.h>

using namespace vexa;

namespace {

const QString LabelQueue = QStringLiteral("VexaLabel");
const QString SheetQueue = QStringLiteral("VexaPDF");
constexpr double LabelWidth = 252, LabelHeight = 102, Unprintable = 6; // points

struct Word {
    QString text;
    double xMin, yMin, xMax, yMax;
};

struct PrintedLabel {
    QString path;
    double width = 0, height = 0;
    QList<QList<Word>> lines; // words grouped by line, top to bottom
    QStringList fonts;

    QString line(int n) const
    {
        QStringList words;
        for (const Word& word : lines.value(n))
            words << word.text;
        return words.join(QLatin1Char(' '));
    }
};

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The page size, words and fonts of a PDF; nullopt while poppler cannot read it.
std::optional<PrintedLabel> readLabel(const QString& pdf)
{
    const QString html
        = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    // The page as it reads: cups-pdf may store a landscape label upright and turned.
    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    static const QRegularExpression page(QStringLiteral(R"re(Page size:\s+([\d.]+) x ([\d.]+) pts)re"));
    static const QRegularExpression turn(QStringLiteral(R"re(Page rot:\s+(\d+))re"));
    const QRegularExpressionMatch size = page.match(info);
    if (!size.hasMatch() || !html.contains(QStringLiteral("</doc>")))
        return std::nullopt;
    PrintedLabel label{pdf, size.captured(1).toDouble(), size.captured(2).toDouble(), {}, {}};
    if (turn.match(info).captured(1).toInt() % 180 == 90)
        std::swap(label.width, label.height);
    static const QRegularExpression word(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const Word found{m.captured(5).replace(QStringLiteral("&amp;"), QStringLiteral("&")),
            m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
            m.captured(4).toDouble()};
        // Words of one line share most of their height, whatever their size.
        if (label.lines.isEmpty() || found.yMin >= label.lines.last().first().yMax - 1)
            label.lines.append({found});
        else
            label.lines.last().append(found);
    }
    const QStringList fontLines = run(QStringLiteral("pdffonts"), {pdf}).split(QLatin1Char('\n'));
    for (const QString& line : fontLines.mid(2))
        if (!line.trimmed().isEmpty())
            label.fonts << line.section(QLatin1Char(' '), 0, 0);
    return label;
}

using PdfStamps = QHash<QString, QDateTime>;

PdfStamps pdfsIn(const QDir& folder)
{
    PdfStamps stamps;
    for (const QFileInfo& file : folder.entryInfoList({QStringLiteral("*.pdf")}, QDir::Files))
        stamps.insert(file.absoluteFilePath(), file.lastModified());
    return stamps;
}

// The labels written since `before` that mention `marker`, once `expected`
// of them are readable (or after 20 s). Other tests may share the folder.
QList<PrintedLabel> newLabels(
    const QDir& folder, const PdfStamps& before, const QString& marker, int expected)
{
    const QDeadlineTimer deadline(20000);
    QList<PrintedLabel> labels;
    while (labels.size() < expected && !deadline.hasExpired()) {
        QThread::msleep(200);
        labels.clear();
        const PdfStamps now = pdfsIn(folder);
        for (auto file = now.begin(); file != now.end(); ++file) {
            if (before.value(file.key()) == file.value())
                continue;
            const std::optional<PrintedLabel> label = readLabel(file.key());
            if (!label)
                continue;
            for (int n = 0; n < label->lines.size(); ++n)
                if (label->line(n).contains(marker))
                    labels.append(*label);
        }
    }
    return labels;
}

// Whether the queue still holds or has ever completed a job of this test.
int jobsOn(const QString& queue)
{
    return run(
        QStringLiteral("lpstat"), {QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-o"), queue})
        .count(QLatin1Char('\n'));
}

class LabelPrinterCupsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QStringList installed = QPrinterInfo::availablePrinterNames();
        ASSERT_TRUE(installed.contains(LabelQueue) && installed.contains(SheetQueue))
            << "the test scheduler's queues are missing";
        ASSERT_EQ(QPrinterInfo::printerInfo(LabelQueue).defaultPageSize().sizePoints(),
            QSize(int(LabelWidth), int(LabelHeight)));
        outFolder_ = QDir(qEnvironmentVariable("VEXA_PDF_OUT"));
        ASSERT_FALSE(outFolder_.path().isEmpty());
        AppValues& settings = appValues();
        settings.isEtiquette = true;
        settings.etiquettePrinter = LabelQueue;
        settings.imagePrinter = SheetQueue;
        settings.formatEtiquette = 0;
        settings.entete = QStringLiteral("Cabinet de radiologie du Parc");
        setCurrentPrinterName(QStringLiteral("Ailleurs"));
        marker_ = QUuid::createUuid().toString(QUuid::Id128).left(8).toUpper();
    }

    // Every word lies inside the label's printable area, lines from its top left.
    static void expectInsidePrintableArea(const PrintedLabel& label)
    {
        EXPECT_NEAR(label.width, LabelWidth, 1);
        EXPECT_NEAR(label.height, LabelHeight, 1);
        ASSERT_FALSE(label.lines.isEmpty());
        EXPECT_NEAR(label.lines.first().first().xMin, Unprintable, 2) << "starts at the left margin";
        EXPECT_LT(label.lines.first().first().yMin, Unprintable + 4) << "starts at the top margin";
        for (const auto& line : label.lines) {
            for (const Word& word : line) {
                EXPECT_GE(word.xMin, Unprintable - 0.5) << word.text.toStdString();
                EXPECT_LE(word.xMax, LabelWidth - Unprintable + 0.5) << word.text.toStdString();
                EXPECT_GE(word.yMin, Unprintable - 0.5) << word.text.toStdString();
                EXPECT_LE(word.yMax, LabelHeight - Unprintable + 0.5) << word.text.toStdString();
            }
        }
    }

    QDir outFolder_;
    QString marker_;
    ScriptedDialogService dialogs_;
    LabelPrinter printer_;
};

TEST_F(LabelPrinterCupsTest, EachLabelIsADocumentOfItsOwnStartingWithTheBoldHeader)
{
    const PdfStamps before = pdfsIn(outFolder_);
    const LabelExam exam{QStringLiteral("05/03/2024"), QStringLiteral("DUPONT JEAN ") + marker_, QString()};
    EXPECT_EQ(printer_.print(2, exam), 2);
    EXPECT_TRUE(dialogs_.messages.empty());
    EXPECT_EQ(currentPrinterName(), SheetQueue) << "the sheet printer is current again";

    const QList<PrintedLabel> labels = newLabels(outFolder_, before, marker_, 2);
    ASSERT_EQ(labels.size(), 2) << "two documents of one label each";
    for (const PrintedLabel& label : labels) {
        SCOPED_TRACE(label.path.toStdString());
        ASSERT_EQ(label.lines.size(), 3) << "header, exam date, patient; no practitioner line";
        EXPECT_EQ(label.line(0), QStringLiteral("Cabinet de radiologie du Parc"));
        EXPECT_EQ(label.line(1), QStringLiteral("Examen du : 05/03/2024"));
        EXPECT_EQ(label.line(2), QStringLiteral("Patient : DUPONT JEAN ") + marker_);
        EXPECT_TRUE(label.fonts.filter(QStringLiteral("LiberationSans-Bold")).size() == 1)
            << label.fonts.join(' ').toStdString();
        // The date is set larger than its caption.
        const QList<Word>& dateLine = label.lines[1];
        EXPECT_GT(dateLine.last().yMax - dateLine.last().yMin, dateLine.first().yMax - dateLine.first().yMin);
        expectInsidePrintableArea(label);
    }
}

TEST_F(LabelPrinterCupsTest, LongPatientNameIsShortenedInsideTheLabel)
{
    appValues().formatEtiquette = 1;
    const PdfStamps before = pdfsIn(outFolder_);
    const QString name
        = marker_ + QStringLiteral(" DE LA TOUR D'AUVERGNE-MONTMORENCY MARIE-CHRISTINE ÉLÉONORE");
    const LabelExam exam{QStringLiteral("05/03/2024"), name, QStringLiteral("Dr Lefèvre")};
    EXPECT_EQ(printer_.print(1, exam), 1);

    const QList<PrintedLabel> labels = newLabels(outFolder_, before, marker_, 1);
    ASSERT_EQ(labels.size(), 1);
    const PrintedLabel& label = labels.first();
    ASSERT_EQ(label.lines.size(), 3) << "no header in this format; exam date, patient, practitioner";
    EXPECT_EQ(label.line(0), QStringLiteral("Examen du : 05/03/2024"));
    const QString patient = label.line(1);
    EXPECT_TRUE(patient.startsWith(QStringLiteral("Patient : ") + marker_)) << patient.toStdString();
    EXPECT_TRUE(patient.endsWith(QStringLiteral("…"))) << patient.toStdString();
    EXPECT_LT(patient.size(), QString(QStringLiteral("Patient : ") + name).size());
    EXPECT_EQ(label.line(2), QStringLiteral("Praticien : Dr Lefèvre"));
    expectInsidePrintableArea(label);
    EXPECT_EQ(currentPrinterName(), SheetQueue);
}

TEST_F(LabelPrinterCupsTest, NothingIsPrintedWhenLabelsAreOffOrNoneAsked)
{
    const int jobsBefore = jobsOn(LabelQueue);
    const LabelExam exam{QStringLiteral("05/03/2024"), marker_, QString()};

    EXPECT_EQ(printer_.print(0, exam), 0);
    EXPECT_EQ(printer_.print(-3, exam), 0);
    EXPECT_TRUE(dialogs_.messages.empty()) << "no label asked: nothing said";

    appValues().isEtiquette = false;
    EXPECT_EQ(printer_.print(2, exam), 0);
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(
        dialogs_.messages[0].text, QStringLiteral("Il n'y a pas d'imprimante-étiquette sur votre station."));
    EXPECT_EQ(dialogs_.messages[0].title, QStringLiteral("VexaDicom"));
    EXPECT_EQ(dialogs_.messages[0].icon, MsgIcon::Exclamation);

    EXPECT_EQ(jobsOn(LabelQueue), jobsBefore) << "no job reached the label queue";
    EXPECT_EQ(currentPrinterName(), QStringLiteral("Ailleurs")) << "no printer was switched";
}

} // namespace
