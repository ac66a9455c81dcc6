#pragma once
// "Effacer une image": asks before an image is deleted for good, showing its
// picture. The opener sets DeleteImagePicture and, after exec(), reads
// DeleteImageConfirmed (true only when the user answered "Oui").
#include <QDialog>

class QLabel;
class QPushButton;

namespace vexa {

struct DeleteImageValues {
    QString DeleteImagePicture; // the picture file shown
    bool DeleteImageConfirmed = false;
};

DeleteImageValues& DeleteImageShared();

class frmDeleteImg : public QDialog {
    Q_OBJECT
public:
    explicit frmDeleteImg(QWidget* parent = nullptr);

    static const QString QuestionText;

    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

private:
    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
};

} // namespace vexa
