#pragma once
// The task-menu entry Designer shows on a Brixel button, and the dialog it
// opens: the button's property page acting on the selected buttons.
#include <QDialog>
#include <QPointer>
#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtDesigner/QExtensionFactory>

class QAction;
class QDesignerFormWindowInterface;
class QLabel;
class QPushButton;

namespace brixel {

class Button;
class ButtonPropertyPage;

class ButtonPropertyDialog : public QDialog {
    Q_OBJECT

public:
    // `form` is the Designer form holding the buttons (changes then go through
    // it, undoable and saved); without one the buttons are written directly.
    ButtonPropertyDialog(
        const QList<Button*>& buttons, QDesignerFormWindowInterface* form, QWidget* parent = nullptr);

    ButtonPropertyPage* page() const { return m_page; }
    // Writes the page to the buttons; false when a value was refused (then listed in the dialog).
    bool applyPage();

private:
    ButtonPropertyPage* m_page;
    QPointer<QDesignerFormWindowInterface> m_form;
    QLabel* m_refusedLabel;
    QPushButton* m_applyButton;
};

class ButtonTaskMenu : public QObject, public QDesignerTaskMenuExtension {
    Q_OBJECT
    Q_INTERFACES(QDesignerTaskMenuExtension)

public:
    ButtonTaskMenu(Button* button, QObject* parent);

    QAction* preferredEditAction() const override;
    QList<QAction*> taskActions() const override;

private:
    void editButtons();

    Button* m_button;
    QAction* m_editAction;
};

class ButtonTaskMenuFactory : public QExtensionFactory {
    Q_OBJECT

public:
    explicit ButtonTaskMenuFactory(QExtensionManager* parent = nullptr);

protected:
    QObject* createExtension(QObject* object, const QString& iid, QObject* parent) const override;
};

} // namespace brixel
