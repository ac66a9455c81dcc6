#include "base/ui/QtFrench.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace vexa {

bool installQtFrench(QCoreApplication& app)
{
    // "qt_fr" gathers the modules' catalogues (qtbase_fr and the others).
    auto* translator = new QTranslator(&app);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(
            QLocale(QLocale::French, QLocale::France), QStringLiteral("qt"), QStringLiteral("_"), folder)) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace vexa
