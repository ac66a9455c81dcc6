#include "ScriptedDialogService.h"

namespace vexa {

// A scripted service installs itself for its lifetime, so a test only declares one.
ScriptedDialogService::ScriptedDialogService()
    : previous_(installedDialogService())
{
    setDialogService(this);
}

ScriptedDialogService::~ScriptedDialogService()
{
    if (installedDialogService() == this)
        setDialogService(previous_);
}

MsgResult ScriptedDialogService::message(const MessageRequest& request)
{
    messages.push_back(request);
    if (messageAnswers_.empty()) {
        ++unexpected;
        return request.defaultButton;
    }
    MsgResult answer = messageAnswers_.front();
    messageAnswers_.pop_front();
    return answer;
}

std::optional<QString> ScriptedDialogService::input(const InputRequest& request)
{
    inputs.push_back(request);
    if (inputAnswers_.empty()) {
        ++unexpected;
        return std::nullopt;
    }
    // Taken as a plain text and a flag: GCC wrongly warns about a copied optional<QString>.
    const bool cancelled = !inputAnswers_.front().has_value();
    const QString text = inputAnswers_.front().value_or(QString());
    inputAnswers_.pop_front();
    if (cancelled)
        return std::nullopt;
    return text;
}

QString ScriptedDialogService::file(const FileRequest& request)
{
    files.push_back(request);
    if (fileAnswers_.empty()) {
        ++unexpected;
        return {};
    }
    QString answer = fileAnswers_.front();
    fileAnswers_.pop_front();
    return answer;
}

} // namespace vexa
