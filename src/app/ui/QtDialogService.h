#pragma once
// The dialog service shown to the user: real Qt message boxes, input boxes and
// file dialogs, parented to the active window.
#include "DialogService.h"

namespace vexa {

class QtDialogService : public DialogService {
public:
    MsgResult message(const MessageRequest& request) override;
    std::optional<QString> input(const InputRequest& request) override;
    QString file(const FileRequest& request) override;
};

} // namespace vexa
