// Opens a window's stored button design in Qt Designer and writes it back:
//
//   brixel_design_form to-form <design file> <form.ui>
//   brixel_design_form to-design <form.ui> <design file>
//
// to-form also writes <form>.qrc beside the form, listing the pictures the
// design takes from the program's resources, so Designer shows them.
// to-design updates the design file in place (or creates it), keeping what
// the form did not change as it was written.
#include "DesignForm.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextStream>
#include <QXmlStreamWriter>

using namespace brixel;

namespace {

int fail(const QString& message)
{
    QTextStream(stderr) << message << '\n';
    return 1;
}

std::optional<QString> readText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return QString::fromUtf8(file.readAll());
}

bool writeText(const QString& path, const QString& text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text.toUtf8());
    return file.commit();
}

// The resource pictures a design names (":/app/icons/x.png"), found under
// the resources folder that holds the design's folder.
QString resourceList(const QString& designText, const QString& designPath, const QString& qrcPath)
{
    const QDir resourcesRoot(QFileInfo(designPath).absoluteDir().absoluteFilePath(QStringLiteral("..")));
    const QDir qrcFolder = QFileInfo(qrcPath).absoluteDir();
    QString out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartElement(QStringLiteral("RCC"));
    xml.writeStartElement(QStringLiteral("qresource"));
    xml.writeAttribute(QStringLiteral("prefix"), QStringLiteral("/"));
    QStringList listed;
    static const QRegularExpression reference(QStringLiteral("\":/([^\"]+)\""));
    for (auto match = reference.globalMatch(designText); match.hasNext();) {
        const QString alias = match.next().captured(1);
        const QString file = resourcesRoot.absoluteFilePath(alias);
        if (listed.contains(alias) || !QFileInfo::exists(file))
            continue;
        listed << alias;
        xml.writeStartElement(QStringLiteral("file"));
        xml.writeAttribute(QStringLiteral("alias"), alias);
        xml.writeCharacters(qrcFolder.relativeFilePath(QDir::cleanPath(file)));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
    return out + QLatin1Char('\n');
}

int toForm(const QString& designPath, const QString& formPath)
{
    const auto design = readText(designPath);
    if (!design)
        return fail(QStringLiteral("Lecture impossible : %1").arg(designPath));
    const QFileInfo form(formPath);
    const QString qrcPath = form.absoluteDir().filePath(form.completeBaseName() + QStringLiteral(".qrc"));
    FormOptions options{QFileInfo(designPath).completeBaseName(), QFileInfo(qrcPath).fileName()};
    if (!writeText(qrcPath, resourceList(*design, designPath, qrcPath)))
        return fail(QStringLiteral("Écriture impossible : %1").arg(qrcPath));
    if (!writeText(formPath, designToForm(*design, options)))
        return fail(QStringLiteral("Écriture impossible : %1").arg(formPath));
    return 0;
}

int toDesign(const QString& formPath, const QString& designPath)
{
    const auto form = readText(formPath);
    if (!form)
        return fail(QStringLiteral("Lecture impossible : %1").arg(formPath));
    DesignOptions options;
    options.baseDesign = readText(designPath).value_or(QString());
    options.formFolder = QFileInfo(formPath).absolutePath();
    options.designFolder = QFileInfo(designPath).absolutePath();
    QString error;
    const auto design = formToDesign(*form, options, &error);
    if (!design)
        return fail(QStringLiteral("%1 : %2").arg(formPath, error));
    if (!writeText(designPath, *design))
        return fail(QStringLiteral("Écriture impossible : %1").arg(designPath));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // Fonts need a GUI application; no window is shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("to-form"))
        return toForm(args[2], args[3]);
    if (args.size() == 4 && args[1] == QLatin1String("to-design"))
        return toDesign(args[2], args[3]);
    return fail(QStringLiteral("Usage : brixel_design_form to-form <fichier de dessin> <formulaire.ui>\n"
                               "        brixel_design_form to-design <formulaire.ui> <fichier de dessin>"));
}
