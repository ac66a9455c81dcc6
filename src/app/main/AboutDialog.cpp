#include "AboutDialog.h"

#include "DesignButtons.h"
#include "DialogService.h"
#include "StartupSteps.h"
#include "SystemInfoViewer.h"
#include "VexaVersion.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
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
    versionLabel = new QLabel(AboutVersionText(VexaVersionMajor, VexaVersionMinor, VexaVersionPatch), this);
    descriptionLabel
        = new QLabel(QStringLiteral("Ce programme nécessite l'installation préalable du MicroPACS CONQUEST, "
                                    "configuré pour utiliser une base de donnée au format Access®."),
            this);
    descriptionLabel->setWordWrap(true);
    const brixel::DesignFile design = LoadDesign(QStringLiteral(":/app/AboutDialog.design"));
    okButton = MakeDesignButton(design, QStringLiteral("cmdOK"), this);
    systemInfoButton = MakeDesignButton(design, QStringLiteral("cmdSysInfo"), this);
    connect(okButton, &brixel::Button::Click, this, &QDialog::accept);
    connect(systemInfoButton, &brixel::Button::Click, this, &AboutDialog::ShowSystemInfo);

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

void AboutDialog::ShowSystemInfo()
{
    const QString viewer = FindSystemInfoViewer(SystemInfoPrograms());
    if (viewer.isEmpty() || !QProcess::startDetached(viewer, {}))
        MsgBox(SystemInfoUnavailableText(), MsgIcon::Information);
}

} // namespace vexa
