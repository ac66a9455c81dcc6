#include "reports/editor/TemplatePicker.h"

#include "base/core/DialogService.h"
#include "reports/core/PatientFields.h"
#include "reports/core/ReportFiles.h"

#include <QFile>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace vexa {

const QString TemplatePicker::DeleteQuestion
    = QStringLiteral("Etes-vous sûr de vouloir effacer le compte-rendu : ");

TemplatePicker::TemplatePicker(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmTTSelect"));
    setWindowTitle(QStringLiteral("Choisissez un texte-type...."));
    namePrompt = new QLabel(QStringLiteral("Saisir le nom du texte à créer ou cliquer sur un texte"), this);
    listLabel = new QLabel(QStringLiteral("Textes types :"), this);
    nameBox = new QLineEdit(this);
    nameBox->setObjectName(QStringLiteral("Text1"));
    templateList = new QListWidget(this);
    templateList->setObjectName(QStringLiteral("List1"));
    okButton = new QPushButton(QStringLiteral("Ok"), this);
    okButton->setObjectName(QStringLiteral("Command1"));
    okButton->setDefault(true);
    cancelButton = new QPushButton(QStringLiteral("Annuler"), this);
    cancelButton->setObjectName(QStringLiteral("Command2"));
    deleteButton = new QPushButton(QStringLiteral("&Supprimer"), this);
    deleteButton->setObjectName(QStringLiteral("Command3"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(namePrompt, 0, 0, 1, 2);
    layout->addWidget(nameBox, 1, 0, 1, 2);
    layout->addWidget(listLabel, 2, 0, 1, 2);
    layout->addWidget(templateList, 3, 0, 4, 1);
    layout->addWidget(okButton, 3, 1);
    layout->addWidget(cancelButton, 4, 1);
    layout->addWidget(deleteButton, 5, 1);
    layout->setRowStretch(6, 1);
    resize(460, 360);

    nameBox->installEventFilter(this);
    connect(nameBox, &QLineEdit::textChanged, this, [this](const QString& text) {
        // A pasted name loses the refused characters too: a name never
        // leads out of the template folder ("../entete").
        QString name = text;
        if (name.removeIf(isRefusedNameCharacter).size() != text.size()) {
            const int caret = nameBox->cursorPosition();
            nameBox->setText(name);
            nameBox->setCursorPosition(std::min(caret, static_cast<int>(name.size())));
            return;
        }
        deleteButton->setEnabled(!text.isEmpty());
    });
    connect(templateList, &QListWidget::itemClicked, this,
        [this](QListWidgetItem* item) { nameBox->setText(item->text()); });
    connect(templateList, &QListWidget::currentTextChanged, this, [this](const QString& text) {
        if (!text.isEmpty() && templateList->hasFocus())
            nameBox->setText(text);
    });
    connect(templateList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        nameBox->setText(item->text());
        confirm();
    });
    connect(okButton, &QPushButton::clicked, this, &TemplatePicker::confirm);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(deleteButton, &QPushButton::clicked, this, &TemplatePicker::deleteTemplate);

    fillList();
}

void TemplatePicker::fillList()
{
    reportSession().reportPath.clear();
    templateList->clear();
    templateList->addItems(templateNames());
}

void TemplatePicker::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (templateList->count() == 0) {
        nameBox->setFocus();
        return;
    }
    // The list shows a template highlighted: it is the one "Ok" and Enter
    // open, so the name box holds it from the start.
    templateList->setFocus();
    if (templateList->currentRow() < 0)
        templateList->setCurrentRow(0);
    if (nameBox->text().isEmpty())
        nameBox->setText(templateList->currentItem()->text());
}

bool TemplatePicker::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == nameBox && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.size() == 1 && isRefusedNameCharacter(text.front()))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TemplatePicker::confirm()
{
    const QString name = nameBox->text();
    if (!name.isEmpty())
        reportSession().reportPath = templatePath(name);
    accept();
}

void TemplatePicker::deleteTemplate()
{
    const QString name = nameBox->text();
    if (name.isEmpty())
        return;
    const MsgResult answer = msgBox(DeleteQuestion + QStringLiteral("\r\n") + name + QStringLiteral(" ?"),
        MsgIcon::Question, MsgButtons::YesNo);
    if (answer != MsgResult::Yes)
        return;
    QFile::remove(templatePath(name));
    nameBox->clear();
    fillList();
}

} // namespace vexa
