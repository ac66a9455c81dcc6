#include "ButtonTaskMenu.h"

#include <brixel/Button.h>
#include <brixel/ButtonPropertyPage.h>

#include <QAction>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QtDesigner/QDesignerFormWindowCursorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>

namespace brixel {

namespace {

// What the page may change on a button, by the names Designer stores.
const char* const PageProperties[] = {"objectName", "caption", "captionDown", "btnAppearance", "backStyle",
    "btnContentEffects", "btnSunkenEffects", "geometry", "enabled", "picAutoFit", "picDefaultArrange",
    "picCapSpacing", "toolTipText"};

using Snapshot = QList<QVariant>;

Snapshot snapshotOf(const Button* button)
{
    Snapshot values;
    for (const char* name : PageProperties)
        values << button->property(name);
    return values;
}

} // namespace

ButtonPropertyDialog::ButtonPropertyDialog(
    const QList<Button*>& buttons, QDesignerFormWindowInterface* form, QWidget* parent)
    : QDialog(parent)
    , m_page(new ButtonPropertyPage)
    , m_form(form)
    , m_refusedLabel(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Modifier le bouton"));
    auto* tabs = new QTabWidget(this);
    tabs->addTab(m_page, ButtonPropertyPage::tabCaption());
    m_refusedLabel->setObjectName(QStringLiteral("refusedLabel"));
    m_refusedLabel->setWordWrap(true);
    m_refusedLabel->hide();
    auto* box = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    m_applyButton = box->button(QDialogButtonBox::Apply);
    m_applyButton->setText(QStringLiteral("Appliquer"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(m_refusedLabel);
    layout->addWidget(box);

    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(box, &QDialogButtonBox::accepted, this, [this] {
        if (applyPage())
            accept();
    });
    connect(m_applyButton, &QPushButton::clicked, this, [this] { applyPage(); });
    connect(m_page, &ButtonPropertyPage::changedChanged, m_applyButton, &QPushButton::setEnabled);
    m_page->selectionChanged(buttons);
    m_applyButton->setEnabled(m_page->isChanged());
}

bool ButtonPropertyDialog::applyPage()
{
    const QList<Button*> buttons = m_page->selection();
    QList<Snapshot> before;
    for (const Button* button : buttons)
        before << snapshotOf(button);
    const QStringList refused = m_page->apply();

    if (m_form) {
        // The page wrote the buttons directly; each change is put back and
        // made again through the form, so Designer records it (undo, save).
        m_form->beginCommand(QStringLiteral("Modifier le bouton"));
        for (qsizetype b = 0; b < buttons.size(); ++b) {
            Button* button = buttons[b];
            const Snapshot after = snapshotOf(button);
            for (qsizetype p = 0; p < after.size(); ++p) {
                if (after[p] == before[b][p])
                    continue;
                button->setProperty(PageProperties[p], before[b][p]);
                m_form->cursor()->setWidgetProperty(button, QLatin1String(PageProperties[p]), after[p]);
            }
        }
        m_form->endCommand();
    }

    m_refusedLabel->setVisible(!refused.isEmpty());
    m_refusedLabel->setText(QStringLiteral("Valeurs refusées : ") + refused.join(QStringLiteral(", ")));
    return refused.isEmpty();
}

ButtonTaskMenu::ButtonTaskMenu(Button* button, QObject* parent)
    : QObject(parent)
    , m_button(button)
    , m_editAction(new QAction(QStringLiteral("Modifier le bouton..."), this))
{
    m_editAction->setObjectName(QStringLiteral("editButtonAction"));
    connect(m_editAction, &QAction::triggered, this, &ButtonTaskMenu::editButtons);
}

QAction* ButtonTaskMenu::preferredEditAction() const
{
    return m_editAction;
}

QList<QAction*> ButtonTaskMenu::taskActions() const
{
    return {m_editAction};
}

void ButtonTaskMenu::editButtons()
{
    // The button the menu was opened on comes first: the page shows its values.
    QList<Button*> buttons{m_button};
    QDesignerFormWindowInterface* form = QDesignerFormWindowInterface::findFormWindow(m_button);
    if (form != nullptr) {
        QDesignerFormWindowCursorInterface* cursor = form->cursor();
        for (int i = 0; i < cursor->selectedWidgetCount(); ++i) {
            auto* selected = qobject_cast<Button*>(cursor->selectedWidget(i));
            if (selected != nullptr && !buttons.contains(selected))
                buttons << selected;
        }
    }
    ButtonPropertyDialog dialog(buttons, form, m_button->window());
    dialog.exec();
}

ButtonTaskMenuFactory::ButtonTaskMenuFactory(QExtensionManager* parent)
    : QExtensionFactory(parent)
{
}

QObject* ButtonTaskMenuFactory::createExtension(QObject* object, const QString& iid, QObject* parent) const
{
    auto* button = qobject_cast<Button*>(object);
    if (button == nullptr || iid != QLatin1String(Q_TYPEID(QDesignerTaskMenuExtension)))
        return nullptr;
    return new ButtonTaskMenu(button, parent);
}

} // namespace brixel
