#include "base/core/DialogService.h"

#include "base/core/Log.h"

#include <QCoreApplication>
#include <QThread>

namespace vexa {
namespace {

class SilentDialogService final : public DialogService {
public:
    MsgResult message(const MessageRequest& request) override { return request.defaultButton; }
    std::optional<QString> input(const InputRequest&) override { return std::nullopt; }
    QString file(const FileRequest&) override { return {}; }
};

const char* iconName(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Information:
        return "information";
    case MsgIcon::Question:
        return "question";
    case MsgIcon::Exclamation:
        return "avertissement";
    case MsgIcon::Critical:
        return "erreur";
    case MsgIcon::None:
        break;
    }
    return "message";
}

const char* resultName(MsgResult result)
{
    switch (result) {
    case MsgResult::Ok:
        return "OK";
    case MsgResult::Cancel:
        return "Annuler";
    case MsgResult::Yes:
        return "Oui";
    case MsgResult::No:
        return "Non";
    case MsgResult::Retry:
        return "Réessayer";
    case MsgResult::Abort:
        return "Abandonner";
    case MsgResult::Ignore:
        return "Ignorer";
    }
    return "?";
}

// One line of text, so that a message keeps to one line of the log.
QString oneLine(const QString& text)
{
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" | "));
    line.replace(u'\n', QStringLiteral(" | "));
    line.replace(u'\r', QStringLiteral(" | "));
    return line;
}

// Every request reaches the installed service (or the silent one) through
// here, so the log holds what the user was shown and answered, whoever asked.
// Typed texts and chosen paths are not logged: they may name a patient.
class LoggingDialogService final : public DialogService {
public:
    // Logged before it is shown, so a message still shows in the log when the
    // program dies behind it; a question's answer follows.
    MsgResult message(const MessageRequest& request) override
    {
        const QString line
            = QStringLiteral("%1 « %2 » : %3")
                  .arg(QLatin1String(iconName(request.icon)), request.title, oneLine(request.text));
        if (request.icon == MsgIcon::Critical || request.icon == MsgIcon::Exclamation)
            qCWarning(logDialogs).noquote() << line;
        else
            qCInfo(logDialogs).noquote() << line;
        const MsgResult answer = target().message(request);
        if (request.buttons != MsgButtons::Ok)
            qCInfo(logDialogs).noquote() << QStringLiteral("réponse « %1 » : %2")
                                                .arg(request.title, QString::fromUtf8(resultName(answer)));
        return answer;
    }

    std::optional<QString> input(const InputRequest& request) override
    {
        const std::optional<QString> answer = target().input(request);
        qCInfo(logDialogs).noquote() << QStringLiteral("saisie « %1 » : %2 -> %3")
                                            .arg(request.title, oneLine(request.prompt),
                                                answer ? QStringLiteral("validée")
                                                       : QStringLiteral("annulée"));
        return answer;
    }

    QString file(const FileRequest& request) override
    {
        const QString chosen = target().file(request);
        qCInfo(logDialogs).noquote() << QStringLiteral("choix de fichier « %1 » -> %2")
                                            .arg(request.title,
                                                chosen.isEmpty() ? QStringLiteral("annulé")
                                                                 : QStringLiteral("choisi"));
        return chosen;
    }

    DialogService* current = nullptr;

private:
    DialogService& target() { return current ? *current : silent_; }
    SilentDialogService silent_;
};

LoggingDialogService& loggingService()
{
    static LoggingDialogService service;
    return service;
}

} // namespace

DialogService& dialogs()
{
    return loggingService();
}

void setDialogService(DialogService* service)
{
    loggingService().current = service;
}

DialogService* installedDialogService()
{
    return loggingService().current;
}

MsgResult msgBox(
    const QString& text, MsgIcon icon, MsgButtons buttons, const QString& title, MsgResult defaultButton)
{
    const MessageRequest request{text, title, icon, buttons, defaultButton};
    // A worker's message is shown by the user-interface thread, which serves
    // it from the loop it waits for the work in; the worker waits the answer.
    QCoreApplication* application = QCoreApplication::instance();
    if (application && QThread::currentThread() != application->thread()) {
        MsgResult answer = defaultButton;
        QMetaObject::invokeMethod(
            application, [&] { answer = dialogs().message(request); }, Qt::BlockingQueuedConnection);
        return answer;
    }
    return dialogs().message(request);
}

} // namespace vexa
