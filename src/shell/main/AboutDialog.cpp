#include "shell/main/AboutDialog.h"

#include "VexaVersion.h"
#include "base/core/AppValues.h"
#include "base/core/DialogService.h"
#include "base/ui/DesignButtons.h"
#include "pacsdb/ConquestSchema.h"
#include "pacsdb/PacsConnection.h"
#include "shell/main/StartupSteps.h"
#include "shell/main/SystemInfoViewer.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QSqlQuery>
#include <QVBoxLayout>

namespace vexa {

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(QStringLiteral("A propos de VexaDICOM"));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    titleLabel = new QLabel(QStringLiteral("VexaDICOM"), this);
    QFont font = titleLabel->font();
    font.setPointSize(font.pointSize() * 2);
    font.setBold(true);
    titleLabel->setFont(font);
    versionLabel = new QLabel(aboutVersionText(VexaVersionMajor, VexaVersionMinor, VexaVersionPatch), this);
    descriptionLabel
        = new QLabel(QStringLiteral("Ce programme nécessite l'installation préalable du MicroPACS CONQUEST, "
                                    "configuré pour utiliser une base de données SQLite ou PostgreSQL."),
            this);
    descriptionLabel->setWordWrap(true);
    const brixel::DesignFile design = loadDesign(QStringLiteral(":/app/AboutDialog.design"));
    okButton = makeDesignButton(design, QStringLiteral("cmdOK"), this);
    systemInfoButton = makeDesignButton(design, QStringLiteral("cmdSysInfo"), this);
    connect(okButton, &brixel::Button::Click, this, &QDialog::accept);
    connect(systemInfoButton, &brixel::Button::Click, this, &AboutDialog::showSystemInfo);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(systemInfoButton);
    buttons->addWidget(okButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(titleLabel);
    layout->addWidget(versionLabel);
    layout->addWidget(descriptionLabel);
    layout->addLayout(buttons);
    setFixedWidth(460);
}

namespace {

// The engine and its version as the open connection reports them, or why
// there is none.
QString databaseEngine(const QString& conquestPath)
{
    if (conquestPath.isEmpty())
        return QStringLiteral("aucune base configurée");
    const QString engine
        = isPostgresUrl(conquestPath) ? QStringLiteral("PostgreSQL") : QStringLiteral("SQLite");
    QString error;
    const QSqlDatabase db = pacsConnection(conquestPath, &error);
    if (!db.isOpen())
        return QStringLiteral("%1, non ouverte : %2").arg(engine, error);
    QSqlQuery query(db);
    const bool answered
        = query.exec(backendOf(db) == SqlBackend::Postgres ? QStringLiteral("SHOW server_version")
                                                           : QStringLiteral("SELECT sqlite_version()"))
        && query.next();
    return answered ? engine + u' ' + query.value(0).toString() : engine;
}

} // namespace

void AboutDialog::showSystemInfo()
{
    SystemFacts facts = programFacts();
    facts.databasePath = appValues().conquestPath;
    facts.databaseEngine = databaseEngine(facts.databasePath);
    const QString text = systemInfoText(facts);
    const QString title = QStringLiteral("Infos système");
    const QString viewer = findSystemInfoViewer(systemInfoPrograms());
    if (viewer.isEmpty()) {
        msgBox(text, MsgIcon::Information, MsgButtons::Ok, title);
        return;
    }
    const QString question = text + QStringLiteral("\n\n") + openSystemViewerQuestion(viewer);
    if (msgBox(question, MsgIcon::Information, MsgButtons::YesNo, title, MsgResult::No) == MsgResult::Yes
        && !QProcess::startDetached(viewer, {}))
        msgBox(systemInfoUnavailableText(), MsgIcon::Information);
}

} // namespace vexa
