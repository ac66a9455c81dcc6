#include "frmDeleteImg.h"

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

const QString frmDeleteImg::QuestionText
    = QStringLiteral("Vous allez effacer de façon DEFINITIVE et IRREMEDIABLE cette image.               Êtes "
                     "vous sur de vouloir "
                     "continuer ?");

frmDeleteImg::frmDeleteImg(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDeleteImg"));
    setWindowTitle(QStringLiteral("Effacer une image"));
    DeleteImageShared().DeleteImageConfirmed = false;
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(256, 256);
    Image1->setAlignment(Qt::AlignCenter);
    const QPixmap picture(DeleteImageShared().DeleteImagePicture);
    if (!picture.isNull())
        Image1->setPixmap(picture.scaled(Image1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    Label1 = new QLabel(QuestionText, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    OKButton = new QPushButton(QStringLiteral("Oui"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    CancelButton = new QPushButton(QStringLiteral("Non"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, [this] {
        DeleteImageShared().DeleteImageConfirmed = true;
        accept();
    });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    auto* text = new QVBoxLayout;
    text->addWidget(Label1, 1);
    text->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(Image1);
    layout->addLayout(text, 1);
}

} // namespace vexa
