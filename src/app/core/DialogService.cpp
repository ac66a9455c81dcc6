#include "DialogService.h"

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
    return dialogs().message({text, title, icon, buttons, defaultButton});
}

} // namespace vexa
