#include "viewer/window/DeleteImageDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace vexa {

DeleteImageValues& DeleteImageShared()
{
    static DeleteImageValues values;
    return values;
}

const QString DeleteImageDialog::QuestionText
    = QStringLiteral("Vous allez effacer de façon DEFINITIVE et IRREMEDIABLE cette image.\r\n"
                     "Êtes-vous sûr de vouloir continuer ?");

QString DeleteImageDialog::questionText() const
{
    return questionLabel->text();
}

DeleteImageDialog::DeleteImageDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDeleteImg"));
    setWindowTitle(QStringLiteral("Effacer une image"));
    DeleteImageShared().DeleteImageConfirmed = false;
    pictureLabel = new QLabel(this);
    pictureLabel->setObjectName(QStringLiteral("pictureLabel"));
    pictureLabel->setFixedSize(256, 256);
    pictureLabel->setAlignment(Qt::AlignCenter);
    const QPixmap picture(DeleteImageShared().DeleteImagePicture);
    if (!picture.isNull())
        pictureLabel->setPixmap(
            picture.scaled(pictureLabel->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    const QString patient = DeleteImageShared().DeleteImagePatient;
    questionLabel = new QLabel(
        patient.isEmpty() ? QuestionText : patient + QStringLiteral("\r\n\r\n") + QuestionText, this);
    questionLabel->setObjectName(QStringLiteral("questionLabel"));
    questionLabel->setWordWrap(true);
    yesButton = new QPushButton(QStringLiteral("Oui"), this);
    yesButton->setObjectName(QStringLiteral("yesButton"));
    noButton = new QPushButton(QStringLiteral("Non"), this);
    noButton->setObjectName(QStringLiteral("noButton"));
    noButton->setDefault(true);
    connect(yesButton, &QPushButton::clicked, this, [this] {
        DeleteImageShared().DeleteImageConfirmed = true;
        accept();
    });
    connect(noButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(yesButton);
    buttons->addWidget(noButton);
    auto* text = new QVBoxLayout;
    text->addWidget(questionLabel, 1);
    text->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(pictureLabel);
    layout->addLayout(text, 1);
}

} // namespace vexa
