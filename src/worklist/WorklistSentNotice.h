#pragma once
// The confirmation shown after a patient was sent to the worklist: one line,
// above every other window, closing itself after four seconds.
#include <QDialog>

class QLabel;
class QTimer;

namespace vexa {

class WorklistSentNotice : public QDialog {
    Q_OBJECT
public:
    static inline const QString Text = QStringLiteral("Envoi vers la Worklist effectué");
    static constexpr int CloseDelayMs = 4000;

    explicit WorklistSentNotice(QWidget* parent = nullptr);

    // Tests shorten the wait.
    void setCloseDelay(int ms);
    int closeDelay() const;

    QLabel* messageLabel;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QTimer* closeTimer_;
};

} // namespace vexa
