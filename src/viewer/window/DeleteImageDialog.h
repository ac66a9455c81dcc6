#pragma once
// "Effacer une image": asks before an image is deleted for good, showing its
// picture and whose image it is. The opener sets DeleteImagePicture and
// DeleteImagePatient and, after exec(), reads
// DeleteImageConfirmed (true only when the user answered "Oui").
#include <QDialog>

class QLabel;
class QPushButton;

namespace vexa {

struct DeleteImageValues {
    QString deleteImagePicture; // the picture file shown
    QString deleteImagePatient; // whose image it is, shown above the question
    bool deleteImageConfirmed = false;
};

DeleteImageValues& deleteImageShared();

class DeleteImageDialog : public QDialog {
    Q_OBJECT
public:
    explicit DeleteImageDialog(QWidget* parent = nullptr);

    static const QString QuestionText;
    QString questionText() const;

    QPushButton* yesButton = nullptr;
    QPushButton* noButton = nullptr;

private:
    QLabel* pictureLabel_ = nullptr;
    QLabel* questionLabel_ = nullptr;
};

} // namespace vexa
