#pragma once
// The dialog service shown to the user: real Qt message boxes, input boxes and
// file dialogs, each parented to the window that raised it and shown above it
// with the focus, above a stay-on-top window too.
#include "base/core/DialogService.h"

namespace vexa {

class QtDialogService : public DialogService {
public:
    MsgResult message(const MessageRequest& request) override;
    std::optional<QString> input(const InputRequest& request) override;
    QString file(const FileRequest& request) override;
};

} // namespace vexa
