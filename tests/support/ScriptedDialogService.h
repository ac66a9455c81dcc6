#pragma once
// The dialog service tests install: it records every request and answers
// from a script.
#include "base/core/DialogService.h"

#include <deque>
#include <vector>

namespace vexa {

// Scripted answers for tests. Each request is recorded; answers are taken in
// order. When the script runs dry the default button (or a cancel) is given
// and the request is counted as unexpected, so a test can assert none occurred.
class ScriptedDialogService : public DialogService {
public:
    ScriptedDialogService();
    ~ScriptedDialogService() override;

    void answerMessage(MsgResult result) { messageAnswers_.push_back(result); }
    void answerInput(std::optional<QString> text) { inputAnswers_.push_back(std::move(text)); }
    void answerFile(QString path) { fileAnswers_.push_back(std::move(path)); }

    MsgResult message(const MessageRequest& request) override;
    std::optional<QString> input(const InputRequest& request) override;
    QString file(const FileRequest& request) override;

    std::vector<MessageRequest> messages;
    std::vector<InputRequest> inputs;
    std::vector<FileRequest> files;
    int unexpected = 0;

private:
    std::deque<MsgResult> messageAnswers_;
    std::deque<std::optional<QString>> inputAnswers_;
    std::deque<QString> fileAnswers_;
    DialogService* previous_;
};

} // namespace vexa
