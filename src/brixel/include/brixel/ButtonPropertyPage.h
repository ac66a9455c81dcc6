#pragma once
// The design-time property page of the Brixel button, shown by a form designer
// under the tab "General" when one or more buttons are selected.
//
// The designer makes two requests: selectionChanged() fills the page from the
// first selected button, apply() writes the page to every selected button
// through the button's properties. Any edit marks the page changed, which is
// the designer's cue to offer its apply command.
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace brixel {

class Button;

class ButtonPropertyPage : public QWidget {
    Q_OBJECT

public:
    // Long enough for every value the properties take: a box's maximum
    // length also cuts the text put in it, and applying would then write the
    // cut value (10500 as 1050). Sizes and spacing are 16-bit numbers of
    // twips (five digits); texts have a line edit's own limit.
    static constexpr int MaxCaptionLength = 32767;
    static constexpr int MaxSpacingLength = 5;
    static constexpr int MaxSizeLength = 5;
    static constexpr int MaxToolTipLength = 32767;

    explicit ButtonPropertyPage(QWidget* parent = nullptr);

    // The caption of the designer's tab holding the page.
    static QString tabCaption() { return QStringLiteral("General"); }

    // The designer's two requests. apply() returns the assignments a button
    // refused ("Button1.Width"), each skipped while the others still went on;
    // afterwards the page is no longer marked changed.
    void selectionChanged(const QList<Button*>& selected);
    QStringList apply();

    QList<Button*> selection() const;
    bool isChanged() const { return m_changed; }
    void setChanged(bool changed);
    bool isLoading() const { return m_loading; }

signals:
    // The changed mark went on or off.
    void changedChanged(bool changed);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* addTextBox(const char* objectName, int maxLength);
    QComboBox* addList(const char* objectName);
    void fillList(QComboBox* list, const QStringList& suffixes, int value);
    void enableArrangement(bool enabled);
    void markChangedByClick();

    QList<QPointer<Button>> m_selection;
    bool m_loading = false;
    bool m_changed = false;

    QLineEdit* m_nameEdit;
    QGroupBox* m_captionFrame;
    QLineEdit* m_captionEdit;
    QLineEdit* m_captionDownEdit;
    QGroupBox* m_pictureFrame;
    QComboBox* m_autoFitList;
    QRadioButton* m_arrangeLeftOption;
    QRadioButton* m_arrangeTopOption;
    QLabel* m_spacingLabel;
    QLineEdit* m_spacingEdit;
    QGroupBox* m_styleFrame;
    QCheckBox* m_enabledCheck;
    QComboBox* m_backStyleList;
    QComboBox* m_appearanceList;
    QComboBox* m_contentEffectsList;
    QComboBox* m_sunkenEffectsList;
    QLineEdit* m_widthEdit;
    QLineEdit* m_heightEdit;
    QGroupBox* m_toolTipFrame;
    QLineEdit* m_toolTipEdit;
};

} // namespace brixel
