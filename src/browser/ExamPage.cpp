#include "browser/ExamPage.h"

#include "base/core/Dates.h"
#include "base/core/PersonName.h"
#include "base/ui/DesignButtons.h"
#include "pacsdb/ConquestColumns.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace vexa {
namespace {

constexpr int ThumbnailSide = 128;

QLabel* caption(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QLabel* value(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    return label;
}

} // namespace

Thumbnail::Thumbnail(int index, QWidget* parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("Thumbnail(%1)").arg(index));
    setFixedSize(ThumbnailSide, ThumbnailSide);
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::Box);
}

void Thumbnail::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked(tag_);
    QLabel::mousePressEvent(event);
}

void Thumbnail::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked(tag_);
}

ExamPage::ExamPage(MainRecordSets& sets, const brixel::DesignFile& design, QWidget* parent)
    : QWidget(parent)
    , sets_(sets)
{
    setObjectName(QStringLiteral("Fond(2)"));
    patientNameLabel = value(QStringLiteral("NomPatient"), this);
    examDateLabel = value(QStringLiteral("DateExam"), this);
    practitionerLabel = value(QStringLiteral("Label6"), this);
    imageGrid = new BoundGrid(sets.examImages,
        {{col::ObjectFile, QStringLiteral("Fichier :")},
            {col::Printed, QStringLiteral("Déjà Imprimé :"), true},
            {col::NotToBurn, QStringLiteral("Ne PAS graver"), true}},
        this);
    imageGrid->setObjectName(QStringLiteral("TDBGrid1(3)"));
    connect(imageGrid, &QAbstractItemView::doubleClicked, this, &ExamPage::imageActivated);

    auto* identity = new QGridLayout;
    identity->addWidget(caption(QStringLiteral("Patient :"), this), 0, 0);
    identity->addWidget(patientNameLabel, 0, 1);
    identity->addWidget(caption(QStringLiteral("Date :"), this), 1, 0);
    identity->addWidget(examDateLabel, 1, 1);
    identity->addWidget(caption(QStringLiteral("Praticien :"), this), 2, 0);
    identity->addWidget(practitionerLabel, 2, 1);
    auto* left = new QVBoxLayout;
    left->addLayout(identity);
    left->addWidget(imageGrid);
    auto* right = new QVBoxLayout;
    right->addWidget(thumbnailStrip());
    right->addWidget(actions(design));
    right->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right, 2);
}

const QString ExamPage::PrintExamToolTip
    = QStringLiteral("Pour imprimer le dossier automatiquement, cliquer sur le bouton droit de la souris");
const QString ExamPage::ViewExamToolTip
    = QStringLiteral("Pour avoir un aperçu de l'examen, cliquer sur le bouton droit de la souris");

// Each action button with its label beside it, in the order the user reads
// them: the viewing, printing and burning actions in a first column, the
// report and the deletions in a second, so the page fits a 768-pixel screen.
QWidget* ExamPage::actions(const brixel::DesignFile& design)
{
    auto* actions = new QWidget(this);
    auto* grid = new QGridLayout(actions);
    constexpr int rowsPerColumn = 5;
    int index = 0;
    auto add = [&](const char* name, const QString& label) {
        brixel::Button* button = makeDesignButton(design, QString::fromLatin1(name), actions);
        const int row = index % rowsPerColumn;
        const int column = 2 * (index / rowsPerColumn);
        grid->addWidget(button, row, column);
        grid->addWidget(new QLabel(label, actions), row, column + 1);
        ++index;
        return button;
    };
    viewExamButton
        = add("Button15", QStringLiteral("Visualiser, modifier et imprimer les fichiers Dicom manuellement"));
    printExamButton = add("Button14", QStringLiteral("Imprimer l'ensemble des clichés"));
    printLabelButton = add("Button13", QStringLiteral("Imprimer une étiquette"));
    burnExamButton = add("Button10", QStringLiteral("Graver l'examen sur CD-ROM"));
    markBurnedButton = add("Button11", QStringLiteral("Considérer le dossier comme gravé"));
    examReportButton = add("Button12", QStringLiteral("       Visualiser-Editer       un compte-rendu"));
    deleteImageButton = add("Button6", QStringLiteral("Supprimer l'image sélectionnée..."));
    deleteExamButton = add("Button23", QStringLiteral("Supprimer le dossier"));
    closeExamButton = add("Button3", QStringLiteral("Fermer le dossier"));
    viewExamButton->setToolTipText(ViewExamToolTip);
    printExamButton->setToolTipText(PrintExamToolTip);
    connect(viewExamButton, &brixel::Button::Click, this, &ExamPage::viewExamRequested);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return actions;
}

QWidget* ExamPage::thumbnailStrip()
{
    auto* strip = new QWidget(this);
    auto* grid = new QGridLayout(strip);
    for (int i = 0; i < MainThumbnailCount; ++i) {
        thumbnailSlots[i] = new Thumbnail(i, strip);
        grid->addWidget(thumbnailSlots[i], i / 7, i % 7);
        connect(thumbnailSlots[i], &Thumbnail::clicked, this, &ExamPage::thumbnailClicked);
        connect(thumbnailSlots[i], &Thumbnail::doubleClicked, this, &ExamPage::thumbnailDoubleClicked);
    }
    return strip;
}

void ExamPage::showExam()
{
    patientNameLabel->setText(sets_.examImages.fieldText(col::PatientName));
    const QDate scanDate = sets_.examImages.fieldDate(col::ScanDate);
    examDateLabel->setText(scanDate.isValid() ? toDdMmYyyy(scanDate) : QString());
    practitionerLabel->setText(readablePersonName(sets_.examStudy.fieldText(col::ReferPhysi)));
}

void ExamPage::Sink::clearPicture(int index)
{
    page_.thumbnailSlots[index]->clear();
}

void ExamPage::Sink::setTag(int index, const QString& tag)
{
    page_.thumbnailSlots[index]->setTag(tag);
}

bool ExamPage::Sink::loadPicture(int index, const QString& path)
{
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    page_.thumbnailSlots[index]->setPixmap(QPixmap::fromImage(
        image.scaled(ThumbnailSide - 4, ThumbnailSide - 4, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    return true;
}

} // namespace vexa
