#pragma once
// The notice the exam lists show, without waiting, while the image viewer
// opens; the viewer closes it once it is active. It stays above every other
// window and never closes by itself.
#include <QWidget>

class QLabel;

namespace vexa {

class ViewerLoadingNotice : public QWidget {
    Q_OBJECT
public:
    static inline const QString Text
        = QStringLiteral("Veuillez patienter :  Chargement de l'image en cours...");

    explicit ViewerLoadingNotice(QWidget* parent = nullptr);

    QLabel* messageLabel;

protected:
    void changeEvent(QEvent* event) override;
};

} // namespace vexa
