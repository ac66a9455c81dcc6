#include "DialogService.h"

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

SilentDialogService silentService;
DialogService* currentService = nullptr;

} // namespace

DialogService& dialogs()
{
    return currentService ? *currentService : silentService;
}

void setDialogService(DialogService* service)
{
    currentService = service;
}

DialogService* installedDialogService()
{
    return currentService;
}

MsgResult MsgBox(
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
