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

class DeleteImageDialog : public QDialog {
    Q_OBJECT
public:
    explicit DeleteImageDialog(QWidget* parent = nullptr);

    static const QString QuestionText;

    QPushButton* yesButton = nullptr;
    QPushButton* noButton = nullptr;

private:
    QLabel* pictureLabel = nullptr;
    QLabel* questionLabel = nullptr;
};

} // namespace vexa
