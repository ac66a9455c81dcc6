// Labels with no printer installed: each becomes a PDF file of its own on an
// 89 x 36 mm page, and the user is told where it is.
#include "printing/labels/LabelPrinter.h"
#include "ScriptedDialogService.h"
#include "base/core/AppValues.h"
#include "base/core/DialogService.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vexa;

TEST(LabelPrinterTest, WithoutPrinterEachLabelIsAPdfOnTheLabelPage)
{
    ScriptedDialogService dialogs;
    AppValues& settings = appValues();
    settings.isEtiquette = true;
    settings.etiquettePrinter = QStringLiteral("Etiquettes");
    settings.formatEtiquette = 1;
    QTemporaryDir folder;
    LabelPrinter printer;
    printer.setInstalledPrinters(QStringList());
    printer.setPdfFolder(QDir(folder.path()).filePath(QStringLiteral("labels")));

    EXPECT_EQ(printer.print(2, {QStringLiteral("05/03/2024"), QStringLiteral("DUPONT JEAN"), QString()}), 2);

    const QDir out(QDir(folder.path()).filePath(QStringLiteral("labels")));
    const QStringList pdfs = out.entryList({QStringLiteral("Etiquette *.pdf")}, QDir::Files);
    ASSERT_EQ(pdfs.size(), 2);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    for (const QString& pdf : pdfs) {
        QProcess text;
        text.start(
            QStringLiteral("pdftotext"), {QStringLiteral("-layout"), out.filePath(pdf), QStringLiteral("-")});
        ASSERT_TRUE(text.waitForFinished(30000));
        const QString lines = QString::fromUtf8(text.readAllStandardOutput());
        EXPECT_TRUE(lines.contains(QStringLiteral("Examen du : 05/03/2024"))) << lines.toStdString();
        EXPECT_TRUE(lines.contains(QStringLiteral("Patient : DUPONT JEAN"))) << lines.toStdString();
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {out.filePath(pdf)});
        ASSERT_TRUE(info.waitForFinished(30000));
        static const QRegularExpression pageSize(
            QStringLiteral(R"re(Page size:\s+([\d.]+) x ([\d.]+) pts)re"));
        const QRegularExpressionMatch size = pageSize.match(QString::fromUtf8(info.readAllStandardOutput()));
        ASSERT_TRUE(size.hasMatch());
        EXPECT_NEAR(size.captured(1).toDouble(), 89 / 25.4 * 72, 1);
        EXPECT_NEAR(size.captured(2).toDouble(), 36 / 25.4 * 72, 1);
    }
    for (const MessageRequest& message : dialogs.messages)
        EXPECT_TRUE(message.text.contains(QDir::toNativeSeparators(out.path())))
            << message.text.toStdString();
}
