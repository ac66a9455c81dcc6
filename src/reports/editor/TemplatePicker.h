#pragma once
// The template chooser: lists the templates of the "CR" folder, takes the
// name of a new one, deletes one, and leaves the chosen template's path in
// the report session (empty when nothing was chosen).
#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace vexa {

class TemplatePicker : public QDialog {
    Q_OBJECT
public:
    explicit TemplatePicker(QWidget* parent = nullptr);

    static const QString DeleteQuestion; // followed by CR LF, the name and " ?"

    QLabel* namePrompt;
    QLabel* listLabel;
    QLineEdit* nameBox;
    QListWidget* templateList;
    QPushButton* okButton;
    QPushButton* cancelButton;
    QPushButton* deleteButton;

    // The buttons' actions, also for tests.
    void confirm();
    void deleteTemplate();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillList();
};

} // namespace vexa
