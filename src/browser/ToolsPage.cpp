#include "browser/ToolsPage.h"

#include "base/ui/DesignButtons.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

namespace vexa {

QString unavailableToolText()
{
    return QStringLiteral("Cette fonction n'est pas disponible dans cette version.");
}

ToolsPage::ToolsPage(const brixel::DesignFile& design, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Fond(3)"));
    auto* tools = new QWidget(this);
    auto* grid = new QGridLayout(tools);
    int row = 0;
    QLabel* lastLabel = nullptr;
    auto add = [&](const char* name, const QString& label) {
        brixel::Button* button = makeDesignButton(design, QString::fromLatin1(name), tools);
        // A button with its own caption takes the label's place too.
        if (label.isEmpty()) {
            grid->addWidget(button, row, 0, 1, 2);
        } else {
            grid->addWidget(button, row, 0);
            lastLabel = new QLabel(label, tools);
            grid->addWidget(lastLabel, row, 1);
        }
        ++row;
        return button;
    };
    dayListButton = add("Button1", QStringLiteral("Liste des images du jour"));
    markAllBurnedButton = add("Button5", QStringLiteral("Considérer tous les dossiers comme gravé"));
    reportTemplateButton = add("Button20", QStringLiteral("Créer-modifier un Compte-rendu type"));
    letterheadButton = add("Button19", QStringLiteral("Définir l'entête des comptes-rendus"));
    worklistButton = add("Button18", QString()); // its caption says it
    updateButton = add("Button21", QStringLiteral("         VexaUpdate         Mise à jour par Internet"));
    // Not built yet: shown greyed, and saying so, rather than doing nothing.
    auto unavailable = [&](brixel::Button* button) {
        const QString text = unavailableToolText();
        button->setEnabled(false);
        button->setToolTipText(text);
        lastLabel->setEnabled(false);
        // The window's text colour is set for every state: greyed here.
        QPalette greyed = lastLabel->palette();
        greyed.setColor(QPalette::Disabled, QPalette::WindowText, Qt::gray);
        lastLabel->setPalette(greyed);
        lastLabel->setToolTip(text);
        return button;
    };
    archiveDvdButton = unavailable(add("ArchiveDvd", QStringLiteral("Archiver sur DVD")));
    backupButton = unavailable(add("Backup", QStringLiteral("Sauvegarder")));
    enablePrintingButton = add("EnablePrinting", QString());
    helpButton = add("Button22", QString());
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(tools);
    layout->addStretch(1);
}

} // namespace vexa
