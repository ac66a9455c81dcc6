#include "reports/editor/FormatDialogs.h"

#include "base/core/DialogService.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>
#include <optional>

namespace vexa {

namespace {

constexpr double PixelsPerCm = 96.0 / 2.54;

QDoubleSpinBox* spin(double minimum, double maximum, double step, const QString& suffix, QWidget* parent)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(minimum, maximum);
    box->setSingleStep(step);
    box->setDecimals(2);
    box->setSuffix(suffix);
    return box;
}

QDialogButtonBox* okCancel(QDialog* dialog)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

void showColour(QPushButton* button, const QColor& colour)
{
    QPixmap swatch(16, 16);
    swatch.fill(colour.isValid() ? colour : QColor(Qt::black));
    button->setIcon(QIcon(swatch));
}

} // namespace

namespace {

// The values the character dialog shows, as the user sees them.
struct ShownCharacter {
    QString family;
    double size = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int position = 0;
    QColor colour;

    explicit ShownCharacter(const QTextCharFormat& format)
        : family(format.fontFamilies().toStringList().value(0))
        , size(format.fontPointSize())
        , bold(format.fontWeight() >= QFont::Bold)
        , italic(format.fontItalic())
        , underline(format.fontUnderline())
        , strike(format.fontStrikeOut())
        , position(format.verticalAlignment())
        , colour(format.foreground().style() == Qt::NoBrush ? QColor() : format.foreground().color())
    {
    }
};

} // namespace

SelectionCharFormat charFormatOfSelection(const QTextCursor& cursor)
{
    SelectionCharFormat result;
    if (!cursor.hasSelection() || !cursor.document()) {
        result.common = cursor.charFormat();
        return result;
    }
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    std::optional<ShownCharacter> first;
    QTextCharFormat firstFormat;
    const auto markMixed = [&result](bool differs, int property) {
        if (differs && !result.mixed.contains(property))
            result.mixed << property;
    };
    for (QTextBlock block = cursor.document()->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() + fragment.length() <= start || fragment.position() >= end)
                continue;
            const ShownCharacter shown(fragment.charFormat());
            if (!first) {
                first = shown;
                firstFormat = fragment.charFormat();
                continue;
            }
            markMixed(shown.family != first->family, QTextFormat::FontFamilies);
            markMixed(shown.size != first->size, QTextFormat::FontPointSize);
            markMixed(shown.bold != first->bold, QTextFormat::FontWeight);
            markMixed(shown.italic != first->italic, QTextFormat::FontItalic);
            markMixed(shown.underline != first->underline, QTextFormat::TextUnderlineStyle);
            markMixed(shown.strike != first->strike, QTextFormat::FontStrikeOut);
            markMixed(shown.position != first->position, QTextFormat::TextVerticalAlignment);
            markMixed(shown.colour != first->colour, QTextFormat::ForegroundBrush);
        }
    }
    result.common = first ? firstFormat : cursor.charFormat();
    for (const int property : result.mixed)
        result.common.clearProperty(property);
    return result;
}

CharacterDialog::CharacterDialog(const QTextCharFormat& current, QWidget* parent, const QList<int>& mixed)
    : QDialog(parent)
    , colour_(current.foreground().color())
{
    setObjectName(QStringLiteral("CharacterDialog"));
    setWindowTitle(QStringLiteral("Caractères"));
    auto* form = new QFormLayout;
    fontBox = new QFontComboBox(this);
    const QStringList families = current.fontFamilies().toStringList();
    fontBox->setCurrentFont(QFont(families.value(0, font().family())));
    if (mixed.contains(QTextFormat::FontFamilies))
        fontBox->setEditText(QString());
    sizeBox = spin(0, 400, 1, QStringLiteral(" pt"), this);
    sizeBox->setSpecialValueText(QStringLiteral(" ")); // several sizes
    sizeBox->setValue(mixed.contains(QTextFormat::FontPointSize) ? 0
            : current.fontPointSize() > 0                        ? current.fontPointSize()
                                                                 : font().pointSizeF());
    const auto styleBox = [&](const QString& caption, bool on, int property) {
        auto* box = new QCheckBox(caption, this);
        if (mixed.contains(property)) {
            box->setTristate(true);
            box->setCheckState(Qt::PartiallyChecked);
        } else {
            box->setChecked(on);
        }
        return box;
    };
    boldBox = styleBox(QStringLiteral("Gras"), current.fontWeight() >= QFont::Bold, QTextFormat::FontWeight);
    italicBox = styleBox(QStringLiteral("Italique"), current.fontItalic(), QTextFormat::FontItalic);
    underlineBox
        = styleBox(QStringLiteral("Souligné"), current.fontUnderline(), QTextFormat::TextUnderlineStyle);
    strikeBox = styleBox(QStringLiteral("Barré"), current.fontStrikeOut(), QTextFormat::FontStrikeOut);
    positionBox = new QComboBox(this);
    positionBox->addItems({QStringLiteral("Normale"), QStringLiteral("Exposant"), QStringLiteral("Indice")});
    if (mixed.contains(QTextFormat::TextVerticalAlignment)) {
        positionBox->setCurrentIndex(-1);
    } else {
        switch (current.verticalAlignment()) {
        case QTextCharFormat::AlignSuperScript:
            positionBox->setCurrentIndex(1);
            break;
        case QTextCharFormat::AlignSubScript:
            positionBox->setCurrentIndex(2);
            break;
        default:
            break;
        }
    }
    colourButton = new QPushButton(QStringLiteral("Couleur..."), this);
    showColour(colourButton, colour_);
    connect(colourButton, &QPushButton::clicked, this, [this] {
        const QColor chosen = QColorDialog::getColor(colour_, this, QStringLiteral("Couleur du texte"));
        if (chosen.isValid()) {
            colour_ = chosen;
            changed_ |= Colour;
            showColour(colourButton, colour_);
        }
    });
    form->addRow(QStringLiteral("Police :"), fontBox);
    form->addRow(QStringLiteral("Taille :"), sizeBox);
    auto* styles = new QHBoxLayout;
    for (QCheckBox* box : {boldBox, italicBox, underlineBox, strikeBox})
        styles->addWidget(box);
    form->addRow(QStringLiteral("Style :"), styles);
    form->addRow(QStringLiteral("Position :"), positionBox);
    form->addRow(QStringLiteral("Couleur :"), colourButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancel(this));
    watchChanges();
}

void CharacterDialog::watchChanges()
{
    connect(fontBox, &QFontComboBox::currentFontChanged, this, [this] { changed_ |= Family; });
    connect(sizeBox, &QDoubleSpinBox::valueChanged, this, [this] { changed_ |= Size; });
    const std::pair<QCheckBox*, Change> boxes[]
        = {{boldBox, Bold}, {italicBox, Italic}, {underlineBox, Underline}, {strikeBox, Strike}};
    for (const auto& entry : boxes) {
        QCheckBox* box = entry.first;
        const Change change = entry.second;
        connect(box, &QCheckBox::stateChanged, this, [this, box, change] {
            // Once decided, a box of a mixed selection has two states again.
            if (box->checkState() != Qt::PartiallyChecked) {
                box->setTristate(false);
                changed_ |= change;
            }
        });
    }
    connect(positionBox, &QComboBox::currentIndexChanged, this, [this] { changed_ |= Position; });
}

QTextCharFormat CharacterDialog::format() const
{
    QTextCharFormat format;
    if (changed_ & Family)
        format.setFontFamilies({fontBox->currentFont().family()});
    if ((changed_ & Size) && sizeBox->value() >= 1)
        format.setFontPointSize(sizeBox->value());
    if (changed_ & Bold)
        format.setFontWeight(boldBox->isChecked() ? QFont::Bold : QFont::Normal);
    if (changed_ & Italic)
        format.setFontItalic(italicBox->isChecked());
    if (changed_ & Underline)
        format.setFontUnderline(underlineBox->isChecked());
    if (changed_ & Strike)
        format.setFontStrikeOut(strikeBox->isChecked());
    static const QTextCharFormat::VerticalAlignment positions[]
        = {QTextCharFormat::AlignNormal, QTextCharFormat::AlignSuperScript, QTextCharFormat::AlignSubScript};
    if ((changed_ & Position) && positionBox->currentIndex() >= 0)
        format.setVerticalAlignment(positions[std::clamp(positionBox->currentIndex(), 0, 2)]);
    if ((changed_ & Colour) && colour_.isValid())
        format.setForeground(colour_);
    return format;
}

ParagraphDialog::ParagraphDialog(const QTextBlockFormat& current, QWidget* parent)
    : QDialog(parent)
    , base_(current)
{
    setObjectName(QStringLiteral("ParagraphDialog"));
    setWindowTitle(QStringLiteral("Paragraphes"));
    alignmentBox = new QComboBox(this);
    alignmentBox->addItems({QStringLiteral("Gauche"), QStringLiteral("Centré"), QStringLiteral("Droite"),
        QStringLiteral("Justifié")});
    const Qt::Alignment align = current.alignment() & Qt::AlignHorizontal_Mask;
    alignmentBox->setCurrentIndex(align & Qt::AlignHCenter ? 1
            : align & Qt::AlignRight                       ? 2
            : align & Qt::AlignJustify                     ? 3
                                                           : 0);
    leftBox = spin(0, 50, 0.25, QStringLiteral(" cm"), this);
    leftBox->setValue(current.leftMargin() / PixelsPerCm);
    rightBox = spin(0, 50, 0.25, QStringLiteral(" cm"), this);
    rightBox->setValue(current.rightMargin() / PixelsPerCm);
    firstLineBox = spin(-50, 50, 0.25, QStringLiteral(" cm"), this);
    firstLineBox->setValue(current.textIndent() / PixelsPerCm);
    beforeBox = spin(0, 500, 1, QStringLiteral(" pt"), this);
    beforeBox->setValue(current.topMargin() * 72.0 / 96.0);
    afterBox = spin(0, 500, 1, QStringLiteral(" pt"), this);
    afterBox->setValue(current.bottomMargin() * 72.0 / 96.0);
    lineSpacingBox = new QComboBox(this);
    lineSpacingBox->addItems(
        {QStringLiteral("Simple"), QStringLiteral("1,5 ligne"), QStringLiteral("Double")});
    if (current.lineHeightType() == QTextBlockFormat::ProportionalHeight)
        lineSpacingBox->setCurrentIndex(current.lineHeight() >= 200 ? 2
                : current.lineHeight() >= 150                       ? 1
                                                                    : 0);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Alignement :"), alignmentBox);
    form->addRow(QStringLiteral("Retrait à gauche :"), leftBox);
    form->addRow(QStringLiteral("Retrait à droite :"), rightBox);
    form->addRow(QStringLiteral("Première ligne :"), firstLineBox);
    form->addRow(QStringLiteral("Espace avant :"), beforeBox);
    form->addRow(QStringLiteral("Espace après :"), afterBox);
    form->addRow(QStringLiteral("Interligne :"), lineSpacingBox);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancel(this));
}

QTextBlockFormat ParagraphDialog::format() const
{
    QTextBlockFormat format = base_;
    static const Qt::Alignment alignments[]
        = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify};
    format.setAlignment(alignments[std::clamp(alignmentBox->currentIndex(), 0, 3)]);
    format.setLeftMargin(leftBox->value() * PixelsPerCm);
    format.setRightMargin(rightBox->value() * PixelsPerCm);
    format.setTextIndent(firstLineBox->value() * PixelsPerCm);
    format.setTopMargin(beforeBox->value() * 96.0 / 72.0);
    format.setBottomMargin(afterBox->value() * 96.0 / 72.0);
    static const int heights[] = {100, 150, 200};
    const int height = heights[std::clamp(lineSpacingBox->currentIndex(), 0, 2)];
    if (height == 100 && base_.lineHeightType() != QTextBlockFormat::ProportionalHeight)
        return format;
    format.setLineHeight(height, QTextBlockFormat::ProportionalHeight);
    return format;
}

TabStopsDialog::TabStopsDialog(const QTextBlockFormat& current, QWidget* parent)
    : QDialog(parent)
    , base_(current)
    , tabs_(current.tabPositions())
{
    setObjectName(QStringLiteral("TabStopsDialog"));
    setWindowTitle(QStringLiteral("Tabulateurs"));
    positionBox = spin(0, 50, 0.25, QStringLiteral(" cm"), this);
    kindBox = new QComboBox(this);
    kindBox->addItems({QStringLiteral("Gauche"), QStringLiteral("Centré"), QStringLiteral("Droite"),
        QStringLiteral("Décimal")});
    stopList = new QListWidget(this);
    addButton = new QPushButton(QStringLiteral("&Ajouter"), this);
    removeButton = new QPushButton(QStringLiteral("&Enlever"), this);
    clearButton = new QPushButton(QStringLiteral("Enlever &tout"), this);
    connect(addButton, &QPushButton::clicked, this, &TabStopsDialog::addStop);
    connect(removeButton, &QPushButton::clicked, this, [this] {
        const int row = stopList->currentRow();
        if (row >= 0 && row < tabs_.size()) {
            tabs_.removeAt(row);
            refill();
        }
    });
    connect(clearButton, &QPushButton::clicked, this, [this] {
        tabs_.clear();
        refill();
    });

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Position :"), positionBox);
    form->addRow(QStringLiteral("Alignement :"), kindBox);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(addButton);
    buttons->addWidget(removeButton);
    buttons->addWidget(clearButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(stopList);
    layout->addWidget(okCancel(this));
    refill();
}

void TabStopsDialog::addStop()
{
    static const QTextOption::TabType kinds[]
        = {QTextOption::LeftTab, QTextOption::CenterTab, QTextOption::RightTab, QTextOption::DelimiterTab};
    const double position = positionBox->value() * PixelsPerCm;
    tabs_.erase(std::remove_if(tabs_.begin(), tabs_.end(),
                    [&](const QTextOption::Tab& tab) { return std::abs(tab.position - position) < 0.5; }),
        tabs_.end());
    const QTextOption::TabType kind = kinds[std::clamp(kindBox->currentIndex(), 0, 3)];
    tabs_ << QTextOption::Tab(position, kind, kind == QTextOption::DelimiterTab ? QLatin1Char(',') : QChar());
    std::sort(tabs_.begin(), tabs_.end(),
        [](const QTextOption::Tab& a, const QTextOption::Tab& b) { return a.position < b.position; });
    refill();
}

void TabStopsDialog::refill()
{
    static const QString kinds[] = {QStringLiteral("gauche"), QStringLiteral("droite"),
        QStringLiteral("centré"), QStringLiteral("décimal")};
    stopList->clear();
    for (const QTextOption::Tab& tab : tabs_)
        stopList->addItem(QStringLiteral("%1 cm, %2")
                              .arg(QLocale().toString(tab.position / PixelsPerCm, 'f', 2),
                                  kinds[std::clamp(int(tab.type), 0, 3)]));
}

QTextBlockFormat TabStopsDialog::format() const
{
    QTextBlockFormat format = base_;
    format.setTabPositions(tabs_);
    return format;
}

FindReplaceDialog::FindReplaceDialog(QTextEdit* editor, bool replace, QWidget* parent)
    : QDialog(parent)
    , editor_(editor)
{
    setObjectName(replace ? QStringLiteral("ReplaceDialog") : QStringLiteral("FindDialog"));
    setWindowTitle(replace ? QStringLiteral("Remplacer") : QStringLiteral("Rechercher"));
    findBox = new QLineEdit(this);
    findBox->setText(editor->textCursor().selectedText());
    replaceBox = new QLineEdit(this);
    caseBox = new QCheckBox(QStringLiteral("Respecter la &casse"), this);
    wholeWordBox = new QCheckBox(QStringLiteral("&Mot entier"), this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Rechercher :"), findBox);
    if (replace)
        form->addRow(QStringLiteral("Remplacer par :"), replaceBox);
    else
        replaceBox->hide();
    form->addRow(caseBox);
    form->addRow(wholeWordBox);

    auto* buttons = new QVBoxLayout;
    auto* nextButton = new QPushButton(QStringLiteral("&Suivant"), this);
    nextButton->setDefault(true);
    connect(nextButton, &QPushButton::clicked, this, [this] {
        if (!findNext())
            msgBox(QStringLiteral("Le texte « %1 » est introuvable.").arg(findBox->text()),
                MsgIcon::Information);
    });
    buttons->addWidget(nextButton);
    if (replace) {
        auto* replaceButton = new QPushButton(QStringLiteral("&Remplacer"), this);
        connect(replaceButton, &QPushButton::clicked, this, [this] { replaceCurrent(); });
        auto* allButton = new QPushButton(QStringLiteral("Remplacer &tout"), this);
        connect(allButton, &QPushButton::clicked, this, [this] {
            const int count = replaceAll();
            msgBox(QStringLiteral("%1 remplacement(s) effectué(s).").arg(count), MsgIcon::Information);
        });
        buttons->addWidget(replaceButton);
        buttons->addWidget(allButton);
    }
    auto* closeButton = new QPushButton(QStringLiteral("Fermer"), this);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    buttons->addWidget(closeButton);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

namespace {

QTextDocument::FindFlags findFlags(const QCheckBox* caseBox, const QCheckBox* wholeWordBox)
{
    QTextDocument::FindFlags flags;
    if (caseBox->isChecked())
        flags |= QTextDocument::FindCaseSensitively;
    if (wholeWordBox->isChecked())
        flags |= QTextDocument::FindWholeWords;
    return flags;
}

} // namespace

bool FindReplaceDialog::findNext()
{
    const QString text = findBox->text();
    if (text.isEmpty())
        return false;
    QTextDocument* document = editor_->document();
    const auto flags = findFlags(caseBox, wholeWordBox);
    QTextCursor found = document->find(text, editor_->textCursor(), flags);
    if (found.isNull())
        found = document->find(text, 0, flags);
    if (found.isNull())
        return false;
    editor_->setTextCursor(found);
    return true;
}

bool FindReplaceDialog::replaceCurrent()
{
    QTextCursor cursor = editor_->textCursor();
    const Qt::CaseSensitivity sensitivity = caseBox->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (cursor.hasSelection() && cursor.selectedText().compare(findBox->text(), sensitivity) == 0) {
        cursor.insertText(replaceBox->text());
        editor_->setTextCursor(cursor);
    }
    return findNext();
}

int FindReplaceDialog::replaceAll()
{
    const QString text = findBox->text();
    if (text.isEmpty())
        return 0;
    QTextDocument* document = editor_->document();
    const auto flags = findFlags(caseBox, wholeWordBox);
    const QString value = replaceBox->text();
    QTextCursor edit(document);
    edit.beginEditBlock();
    int count = 0;
    int from = 0;
    for (QTextCursor found = document->find(text, from, flags); !found.isNull();
         found = document->find(text, from, flags)) {
        const int at = found.selectionStart();
        found.insertText(value);
        from = at + static_cast<int>(value.size());
        ++count;
    }
    edit.endEditBlock();
    return count;
}

} // namespace vexa
