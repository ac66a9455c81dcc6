#include "viewer/window/MeasurePanel.h"

#include "base/core/Numeric.h"
#include "viewer/measure/MeasurePresets.h"

#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

namespace vexa {

namespace {

struct ToolButton {
    const char* caption;
    const char* toolTip;
};

// toolButtons(0..6), in index order.
constexpr ToolButton Tools[] = {
    {"Texte", "Placer un texte"},
    {"Distance", "Mesurer une distance"},
    {"Angle 2 lignes", "Angle entre deux droites"},
    {"Dénivelé", "Différence de hauteur"},
    {"Effacer", "Effacer la dernière mesure"},
    {"Tout effacer", "Effacer toutes les mesures"},
    {"Angle", "Angle à un sommet"},
};

constexpr int Margin = 4;
constexpr int ToolWidth = 66;
constexpr int ToolHeight = 26;
constexpr int PresetWidth = 92;
constexpr int PresetHeight = 24;

// The caption's font shrinks until the whole caption fits the button, so
// no caption is cut ("Angle 2 lignes" in a 66-pixel button).
void fitCaption(QPushButton* button)
{
    const int room = button->width() - 8;
    QFont font = button->font();
    while (QFontMetrics(font).horizontalAdvance(button->text()) > room && font.pointSizeF() > 5.5)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    button->setFont(font);
}

} // namespace

MeasurePanel::MeasurePanel(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("MeasurePanel"));
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(colours);
    createTools();
    createTextBoxes();
    createPresets();
}

void MeasurePanel::createTools()
{
    for (int i = 0; i < 7; ++i) {
        auto* button = new QPushButton(QString::fromUtf8(Tools[i].caption), this);
        button->setObjectName(QStringLiteral("toolButton%1").arg(i));
        button->setToolTip(QString::fromUtf8(Tools[i].toolTip));
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(Margin + (i % 2) * (ToolWidth + Margin), Margin + (i / 2) * (ToolHeight + Margin),
            ToolWidth, ToolHeight);
        fitCaption(button);
        connect(button, &QPushButton::clicked, this, [this, i] { emit toolClicked(i); });
        toolButtons << button;
    }
}

void MeasurePanel::createTextBoxes()
{
    int y = Margin + 4 * (ToolHeight + Margin) + Margin;
    textEdit = new QLineEdit(this);
    textEdit->setObjectName(QStringLiteral("textEdit"));
    textEdit->setGeometry(Margin, y, 2 * ToolWidth + Margin, 24);
    y += 28;
    sizeLabel = new QLabel(QStringLiteral("Taille"), this);
    sizeLabel->setObjectName(QStringLiteral("sizeLabel"));
    sizeLabel->setGeometry(Margin, y, 40, 24);
    sizeLabel->installEventFilter(this);
    textSizeBox = new QComboBox(this);
    textSizeBox->setObjectName(QStringLiteral("textSizeBox"));
    textSizeBox->setEditable(true);
    textSizeBox->addItems(textSizeChoices());
    textSizeBox->setCurrentIndex(0);
    textSizeBox->setGeometry(Margin + 44, y, 2 * ToolWidth + Margin - 44, 24);
    y += 30;
    widenButton = new QPushButton(QStringLiteral("Préselection"), this);
    widenButton->setObjectName(QStringLiteral("widenButton"));
    widenButton->setFocusPolicy(Qt::NoFocus);
    widenButton->setGeometry(Margin, y, 2 * ToolWidth + Margin, ToolHeight);
    connect(widenButton, &QPushButton::clicked, this, &MeasurePanel::widenClicked);
}

// The presets lie right of the closed panel's width; they show when it widens.
void MeasurePanel::createPresets()
{
    const int left = twipsToPixels(ClosedWidthTwips) + Margin;
    for (int i = 0; i < static_cast<int>(PresetTexts.size()); ++i) {
        auto* button = new QPushButton(QString::fromUtf8(PresetTexts[i].caption), this);
        button->setObjectName(QStringLiteral("presetButton%1").arg(i));
        button->setProperty("Tag", PresetTexts[i].size);
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(left + (i % 2) * (PresetWidth + Margin), Margin + (i / 2) * (PresetHeight + 2),
            PresetWidth, PresetHeight);
        connect(button, &QPushButton::clicked, this, [this, i] { emit presetClicked(i); });
        presetButtons << button;
    }
}

void MeasurePanel::showPreset(const QString& text, int size)
{
    textEdit->setText(text);
    textSizeBox->setEditText(QString::number(size));
}

void MeasurePanel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit closeClicked();
}

bool MeasurePanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == sizeLabel && event->type() == QEvent::MouseButtonPress)
        emit closeClicked();
    return QWidget::eventFilter(watched, event);
}

} // namespace vexa
