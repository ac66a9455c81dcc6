#pragma once
// The sliding measurement panel: the seven tool buttons, the text
// to place with its size, and "Préselection" with the preset texts. It only
// reports the user's choices; the window slides it and the measurement
// controller acts on them.
#include <QList>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vexa {

class MeasurePanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int ClosedWidthTwips = 2175;
    static constexpr int WideWidthTwips = 5100;

    explicit MeasurePanel(QWidget* parent = nullptr);

    QLineEdit* textEdit = nullptr;
    QComboBox* textSizeBox = nullptr;
    QLabel* sizeLabel = nullptr;
    QPushButton* widenButton = nullptr;
    QList<QPushButton*> toolButtons; // the tools, indexes 0..6
    QList<QPushButton*> presetButtons; // the preset texts, indexes 0..22

    // Shows a preset's caption and size in the text and size boxes.
    void showPreset(const QString& text, int size);

signals:
    void toolClicked(int index); // toolButtons[index]
    void presetClicked(int index); // presetButtons[index]
    void widenClicked(); // widenButton
    void closeClicked(); // a click on the panel itself or on sizeLabel

protected:
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createTools();
    void createTextBoxes();
    void createPresets();
};

} // namespace vexa
