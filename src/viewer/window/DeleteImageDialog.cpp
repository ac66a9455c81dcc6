#include "viewer/window/DeleteImageDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace vexa {

DeleteImageValues& deleteImageShared()
{
    static DeleteImageValues values;
    return values;
}

const QString DeleteImageDialog::QuestionText
    = QStringLiteral("Vous allez effacer de façon DEFINITIVE et IRREMEDIABLE cette image.\r\n"
                     "Êtes-vous sûr de vouloir continuer ?");

QString DeleteImageDialog::questionText() const
{
    return questionLabel_->text();
}

DeleteImageDialog::DeleteImageDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDeleteImg"));
    setWindowTitle(QStringLiteral("Effacer une image"));
    deleteImageShared().deleteImageConfirmed = false;
    pictureLabel_ = new QLabel(this);
    pictureLabel_->setObjectName(QStringLiteral("pictureLabel"));
    pictureLabel_->setFixedSize(256, 256);
    pictureLabel_->setAlignment(Qt::AlignCenter);
    const QPixmap picture(deleteImageShared().deleteImagePicture);
    if (!picture.isNull())
        pictureLabel_->setPixmap(
            picture.scaled(pictureLabel_->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    const QString patient = deleteImageShared().deleteImagePatient;
    questionLabel_ = new QLabel(
        patient.isEmpty() ? QuestionText : patient + QStringLiteral("\r\n\r\n") + QuestionText, this);
    questionLabel_->setObjectName(QStringLiteral("questionLabel"));
    questionLabel_->setWordWrap(true);
    yesButton = new QPushButton(QStringLiteral("Oui"), this);
    yesButton->setObjectName(QStringLiteral("yesButton"));
    noButton = new QPushButton(QStringLiteral("Non"), this);
    noButton->setObjectName(QStringLiteral("noButton"));
    noButton->setDefault(true);
    connect(yesButton, &QPushButton::clicked, this, [this] {
        deleteImageShared().deleteImageConfirmed = true;
        accept();
    });
    connect(noButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(yesButton);
    buttons->addWidget(noButton);
    auto* text = new QVBoxLayout;
    text->addWidget(questionLabel_, 1);
    text->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(pictureLabel_);
    layout->addLayout(text, 1);
}

} // namespace vexa
