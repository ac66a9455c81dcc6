#include <brixel/ButtonPropertyPage.h>

#include <brixel/Button.h>
#include <brixel/PropertyError.h>

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace brixel {

namespace {

// Item i of a list reads "i - <suffix i>" and stands for the property value i.
const QStringList AppearanceItems
    = {QStringLiteral(" - Flat"), QStringLiteral(" - HalfRaised"), QStringLiteral(" - Raised")};
const QStringList BackStyleItems = {QStringLiteral(" - Transparent"), QStringLiteral(" - Opaque")};
const QStringList ContentEffectsItems = {QStringLiteral(" - bceYes"), QStringLiteral(" - bceNo")};
const QStringList SunkenEffectsItems = {QStringLiteral(" - bseYes"), QStringLiteral(" - bseNo")};
const QStringList AutoFitItems = {QStringLiteral(" - pafYes"), QStringLiteral(" - pafNo")};

constexpr char BackspaceCode = 8;

QLabel* addLabel(QWidget* parent, const char* objectName, const QString& caption)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(objectName));
    return label;
}

QGroupBox* addFrame(QWidget* parent, const char* objectName, const QString& caption)
{
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(QLatin1String(objectName));
    return frame;
}

// A length typed in a box; the property refuses a text that is not a number.
int lengthFrom(const QString& text, const char* property)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        throw PropertyError(ErrorInvalidPropertyValue, QStringLiteral("Button.") + QLatin1String(property));
    return value;
}

// The number the text starts with, 0 when it starts with none.
int leadingNumber(const QString& text)
{
    int value = 0;
    for (const QChar c : text.trimmed()) {
        if (!c.isDigit() || value > 100000)
            break;
        value = value * 10 + c.digitValue();
    }
    return value;
}

} // namespace

ButtonPropertyPage::ButtonPropertyPage(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pagButton"));

    m_nameEdit = addTextBox("txbName", 32767);

    m_captionFrame = addFrame(this, "fraCaption", QStringLiteral("Caption"));
    m_captionEdit = addTextBox("txbCaption", MaxCaptionLength);
    m_captionDownEdit = addTextBox("txbCaptionDown", MaxCaptionLength);
    auto* captionGrid = new QGridLayout(m_captionFrame);
    captionGrid->addWidget(addLabel(m_captionFrame, "lblCaption", QStringLiteral("Caption")), 0, 0);
    captionGrid->addWidget(m_captionEdit, 0, 1);
    captionGrid->addWidget(
        addLabel(m_captionFrame, "lblCaptionDown", QStringLiteral("CaptionDown (If diff)")), 1, 0);
    captionGrid->addWidget(m_captionDownEdit, 1, 1);

    m_pictureFrame = addFrame(this, "fraPicCap", QStringLiteral("Picture"));
    m_autoFitList = addList("cboPicAutoFit");
    m_arrangeLeftOption = new QRadioButton(QStringLiteral("On Left"), m_pictureFrame);
    m_arrangeLeftOption->setObjectName(QStringLiteral("optPicDefaultArrange(0)"));
    m_arrangeTopOption = new QRadioButton(QStringLiteral("On Top"), m_pictureFrame);
    m_arrangeTopOption->setObjectName(QStringLiteral("optPicDefaultArrange(1)"));
    m_spacingLabel = addLabel(m_pictureFrame, "lblPicCapSpacing", QStringLiteral("PicCapSpacing"));
    m_spacingEdit = addTextBox("txbPicCapSpacing", MaxSpacingLength);
    auto* line = new QFrame(m_pictureFrame);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* pictureGrid = new QGridLayout(m_pictureFrame);
    pictureGrid->addWidget(addLabel(m_pictureFrame, "lblpicAutoFit", QStringLiteral("PicAutoFit")), 0, 0);
    pictureGrid->addWidget(m_autoFitList, 0, 1);
    pictureGrid->addWidget(line, 1, 0, 1, 2);
    pictureGrid->addWidget(m_arrangeLeftOption, 2, 0);
    pictureGrid->addWidget(m_arrangeTopOption, 2, 1);
    pictureGrid->addWidget(m_spacingLabel, 3, 0);
    pictureGrid->addWidget(m_spacingEdit, 3, 1);

    m_styleFrame = addFrame(this, "fraSizeAndStyle", QStringLiteral("Style && Appearance"));
    m_enabledCheck = new QCheckBox(QStringLiteral("Enabled"), m_styleFrame);
    m_enabledCheck->setObjectName(QStringLiteral("ckbEnabled"));
    m_backStyleList = addList("cboBtnBackStyle");
    m_appearanceList = addList("cboBtnAppearance");
    m_contentEffectsList = addList("cboBtnContentEffects");
    m_sunkenEffectsList = addList("cboBtnSunkenEffects");
    m_widthEdit = addTextBox("txbWidth", MaxSizeLength);
    m_heightEdit = addTextBox("txbHeight", MaxSizeLength);
    auto* styleGrid = new QGridLayout(m_styleFrame);
    styleGrid->addWidget(m_enabledCheck, 0, 0, 1, 4);
    const struct {
        const char* label;
        const char* caption;
        QComboBox* list;
    } lists[] = {
        {"lblBtnBackStyle", "BtnBackStyle", m_backStyleList},
        {"lblBtnAppearance", "BtnAppearance", m_appearanceList},
        {"lblBtnContentEffects", "BtnContentEffects", m_contentEffectsList},
        {"lblBtnSunkenEffects", "BtnSunkenEffects", m_sunkenEffectsList},
    };
    int row = 1;
    for (const auto& entry : lists) {
        styleGrid->addWidget(addLabel(m_styleFrame, entry.label, QLatin1String(entry.caption)), row, 0);
        styleGrid->addWidget(entry.list, row++, 1, 1, 3);
    }
    styleGrid->addWidget(addLabel(m_styleFrame, "lblWidth", QStringLiteral("Width")), row, 0);
    styleGrid->addWidget(m_widthEdit, row, 1);
    styleGrid->addWidget(addLabel(m_styleFrame, "lblHeight", QStringLiteral("Height")), row, 2);
    styleGrid->addWidget(m_heightEdit, row, 3);
    const int sizeBoxWidth = m_widthEdit->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 12;
    m_widthEdit->setMaximumWidth(sizeBoxWidth);
    m_heightEdit->setMaximumWidth(sizeBoxWidth);
    m_spacingEdit->setMaximumWidth(sizeBoxWidth);

    m_toolTipFrame = addFrame(this, "fraToolTipText", QStringLiteral("ToolTipText"));
    m_toolTipEdit = addTextBox("txbToolTipText", MaxToolTipLength);
    (new QVBoxLayout(m_toolTipFrame))->addWidget(m_toolTipEdit);

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(addLabel(this, "lblName", QStringLiteral("Name")));
    nameRow->addWidget(m_nameEdit, 1);
    auto* left = new QVBoxLayout;
    left->addWidget(m_captionFrame);
    left->addWidget(m_pictureFrame);
    left->addStretch();
    auto* page = new QGridLayout(this);
    page->addLayout(nameRow, 0, 0, 1, 2);
    page->addLayout(left, 1, 0);
    page->addWidget(m_styleFrame, 1, 1, Qt::AlignTop);
    page->addWidget(m_toolTipFrame, 2, 0, 1, 2);
    page->setRowStretch(3, 1);

    for (QLineEdit* digitsOnly : {m_widthEdit, m_heightEdit, m_spacingEdit})
        digitsOnly->setProperty("digitsOnly", true);
    for (QComboBox* list :
        {m_autoFitList, m_backStyleList, m_appearanceList, m_contentEffectsList, m_sunkenEffectsList})
        connect(list, &QComboBox::currentIndexChanged, this, &ButtonPropertyPage::markChangedByClick);
    connect(m_autoFitList, &QComboBox::currentIndexChanged, this,
        [this](int index) { enableArrangement(index == pafNo); });
    for (QRadioButton* option : {m_arrangeLeftOption, m_arrangeTopOption}) {
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                markChangedByClick();
        });
    }
    connect(m_enabledCheck, &QCheckBox::stateChanged, this, &ButtonPropertyPage::markChangedByClick);
    setEnabled(false); // until a selection is given
}

QLineEdit* ButtonPropertyPage::addTextBox(const char* objectName, int maxLength)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(objectName));
    edit->setMaxLength(maxLength);
    edit->installEventFilter(this);
    // Any change of the text, by hand or while the page is filled, marks it changed.
    connect(edit, &QLineEdit::textChanged, this, [this] { setChanged(true); });
    return edit;
}

QComboBox* ButtonPropertyPage::addList(const char* objectName)
{
    auto* list = new QComboBox(this);
    list->setObjectName(QLatin1String(objectName));
    return list;
}

void ButtonPropertyPage::fillList(QComboBox* list, const QStringList& suffixes, int value)
{
    list->clear();
    for (int i = 0; i < suffixes.size(); ++i)
        list->addItem(QString::number(i) + suffixes[i]);
    // A value outside the list (a button drawn pressed) shows no item.
    list->setCurrentIndex(value >= 0 && value < suffixes.size() ? value : -1);
}

void ButtonPropertyPage::enableArrangement(bool enabled)
{
    m_arrangeLeftOption->setEnabled(enabled);
    m_arrangeTopOption->setEnabled(enabled);
    m_spacingLabel->setEnabled(enabled);
    m_spacingEdit->setEnabled(enabled);
}

void ButtonPropertyPage::markChangedByClick()
{
    if (!m_loading)
        setChanged(true);
}

void ButtonPropertyPage::setChanged(bool changed)
{
    if (m_changed == changed)
        return;
    m_changed = changed;
    emit changedChanged(changed);
}

QList<Button*> ButtonPropertyPage::selection() const
{
    QList<Button*> buttons;
    for (const QPointer<Button>& button : m_selection) {
        if (button)
            buttons << button.data();
    }
    return buttons;
}

void ButtonPropertyPage::selectionChanged(const QList<Button*>& selected)
{
    m_selection.clear();
    for (Button* button : selected) {
        if (button != nullptr)
            m_selection << button;
    }
    setEnabled(!m_selection.isEmpty());
    if (m_selection.isEmpty())
        return;

    m_loading = true;
    const bool several = m_selection.size() > 1;
    m_captionEdit->setEnabled(!several);
    m_captionDownEdit->setEnabled(!several);

    const Button* first = m_selection.first();
    m_nameEdit->setText(first->name());
    fillList(m_appearanceList, AppearanceItems, first->btnAppearance());
    fillList(m_backStyleList, BackStyleItems, first->backStyle());
    fillList(m_contentEffectsList, ContentEffectsItems, first->btnContentEffects());
    fillList(m_sunkenEffectsList, SunkenEffectsItems, first->btnSunkenEffects());
    fillList(m_autoFitList, AutoFitItems, first->picAutoFit());
    m_widthEdit->setText(QString::number(first->widthTwips()));
    m_heightEdit->setText(QString::number(first->heightTwips()));
    // The button's own setting, whatever its window's.
    m_enabledCheck->setChecked(!first->testAttribute(Qt::WA_ForceDisabled));
    m_captionEdit->setText(first->caption());
    m_captionDownEdit->setText(first->captionDown());
    m_spacingEdit->setText(QString::number(first->picCapSpacing()));
    (first->picDefaultArrange() == pdaLeft ? m_arrangeLeftOption : m_arrangeTopOption)->setChecked(true);
    enableArrangement(m_autoFitList->currentIndex() == pafNo);
    m_toolTipEdit->setText(first->toolTipText());
    m_loading = false;
}

QStringList ButtonPropertyPage::apply()
{
    QStringList refused;
    const QList<Button*> buttons = selection();
    for (Button* button : buttons) {
        // Each assignment on its own: a refused value is noted and the rest goes on.
        const auto assign = [&refused, button](const char* property, const auto& write) {
            try {
                write();
            } catch (const std::exception&) {
                refused << button->name() + QLatin1Char('.') + QLatin1String(property);
            }
        };
        if (buttons.size() == 1) {
            assign("Name", [&] {
                // A button without a name could not be stored with its window's design.
                if (m_nameEdit->text().trimmed().isEmpty())
                    throw PropertyError(ErrorInvalidPropertyValue, QStringLiteral("Button.Name"));
                button->setName(m_nameEdit->text());
            });
        }
        assign("Caption", [&] { button->setCaption(m_captionEdit->text()); });
        assign("CaptionDown", [&] { button->setCaptionDown(m_captionDownEdit->text()); });
        // A list showing no item (a pressed toggle button is drawn sunken, a
        // value no list item names) leaves its property as it is: refusing
        // it would keep the designer's OK from ever closing the page.
        const auto assignListed = [&assign](const char* property, const QComboBox* list, const auto& write) {
            if (list->currentIndex() >= 0)
                assign(property, [&] { write(list->currentIndex()); });
        };
        assignListed("BtnAppearance", m_appearanceList,
            [&](int index) { button->setBtnAppearance(static_cast<BtnAppearance>(index)); });
        assignListed("BackStyle", m_backStyleList,
            [&](int index) { button->setBackStyle(static_cast<BtnBackStyle>(index)); });
        assignListed("BtnContentEffects", m_contentEffectsList,
            [&](int index) { button->setBtnContentEffects(static_cast<BtnContentEffects>(index)); });
        assignListed("BtnSunkenEffects", m_sunkenEffectsList,
            [&](int index) { button->setBtnSunkenEffects(static_cast<BtnSunkenEffects>(index)); });
        assign("Width", [&] { button->setWidthTwips(lengthFrom(m_widthEdit->text(), "Width")); });
        assign("Height", [&] { button->setHeightTwips(lengthFrom(m_heightEdit->text(), "Height")); });
        // A grey check box counts as checked.
        assign("Enabled", [&] { button->setEnabled(m_enabledCheck->checkState() != Qt::Unchecked); });
        assign("picAutoFit", [&] {
            const int index = m_autoFitList->currentIndex();
            if (index != pafYes && index != pafNo)
                throw PropertyError(ErrorInvalidPropertyValue, QStringLiteral("Button.picAutoFit"));
            button->setPicAutoFit(static_cast<brixel::picAutoFit>(index));
        });
        if (button->picAutoFit() == pafNo) {
            assign("picDefaultArrange",
                [&] { button->setPicDefaultArrange(m_arrangeLeftOption->isChecked() ? pdaLeft : pdaTop); });
            assign("PicCapSpacing", [&] { button->setPicCapSpacing(leadingNumber(m_spacingEdit->text())); });
        }
        assign("ToolTipText", [&] { button->setToolTipText(m_toolTipEdit->text()); });
    }
    setChanged(false);
    return refused;
}

bool ButtonPropertyPage::eventFilter(QObject* watched, QEvent* event)
{
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit == nullptr)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn && !m_loading) {
        // After the click that gave the focus has placed the cursor.
        QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    } else if (event->type() == QEvent::KeyPress && edit->property("digitsOnly").toBool()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        const bool moves = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (!text.isEmpty() && !moves) {
            const QChar c = text.front();
            const bool kept = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QChar(BackspaceCode);
            if (!kept)
                return true; // discarded
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace brixel
