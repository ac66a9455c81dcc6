#pragma once
// The small waiting window long conversions show: one message line and, for
// the work that counts its steps, a progress line "n / N". Its users show it
// without waiting, pump events so it is drawn, work, and close it; it never
// closes by itself.
#include <QWidget>

class QLabel;
class QProgressBar;

namespace vexa {

class WaitWindow : public QWidget {
    Q_OBJECT
public:
    static inline const QString DefaultMessage
        = QStringLiteral("Veuillez patienter :  Réceptions des images en cours...");

    explicit WaitWindow(QWidget* parent = nullptr);

    void setMessage(const QString& text);
    QString message() const;

    // Shows "done / total" under the message; a total of 0 hides the progress line.
    void setProgress(int done, int total);
    QString progressText() const;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void placeOverOwner();

    QLabel* messageLabel_;
    QLabel* progressLabel_;
    QProgressBar* progressBar_;
};

} // namespace vexa
