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

MsgResult MsgBox(
    const QString& text, MsgIcon icon, MsgButtons buttons, const QString& title, MsgResult defaultButton)
{
    return dialogs().message({text, title, icon, buttons, defaultButton});
}

// A scripted service installs itself for its lifetime, so a test only declares one.
ScriptedDialogService::ScriptedDialogService()
    : previous(currentService)
{
    setDialogService(this);
}

ScriptedDialogService::~ScriptedDialogService()
{
    if (currentService == this)
        setDialogService(previous);
}

MsgResult ScriptedDialogService::message(const MessageRequest& request)
{
    messages.push_back(request);
    if (messageAnswers.empty()) {
        ++unexpected;
        return request.defaultButton;
    }
    MsgResult answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
}

std::optional<QString> ScriptedDialogService::input(const InputRequest& request)
{
    inputs.push_back(request);
    if (inputAnswers.empty()) {
        ++unexpected;
        return std::nullopt;
    }
    // Taken as a plain text and a flag: GCC wrongly warns about a copied optional<QString>.
    const bool cancelled = !inputAnswers.front().has_value();
    const QString text = inputAnswers.front().value_or(QString());
    inputAnswers.pop_front();
    if (cancelled)
        return std::nullopt;
    return text;
}

QString ScriptedDialogService::file(const FileRequest& request)
{
    files.push_back(request);
    if (fileAnswers.empty()) {
        ++unexpected;
        return {};
    }
    QString answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

} // namespace vexa
