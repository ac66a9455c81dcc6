#pragma once
// Every message box, question, input box and file dialog of the program goes
// through one DialogService. Production installs the Qt implementation at
// start-up; tests install a scripted service (tests/support) and answer from a script.
#include <QString>
#include <QStringList>
#include <optional>

namespace vexa {

enum class MsgIcon { None, Information, Question, Exclamation, Critical };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class MsgResult { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

struct MessageRequest {
    QString text;
    QString title;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    MsgResult defaultButton = MsgResult::Ok;
};

struct InputRequest {
    QString prompt;
    QString title;
    QString defaultText;
};

struct FileRequest {
    enum class Kind { Open, Save, Folder };
    Kind kind = Kind::Open;
    QString title;
    QString startPath;
    QStringList filters; // "Label (*.db3 *.sqlite)" entries, first one preselected
};

class DialogService {
public:
    virtual ~DialogService() = default;
    virtual MsgResult message(const MessageRequest& request) = 0;
    // The typed text, or nullopt when the user cancelled (an input box then answers "").
    virtual std::optional<QString> input(const InputRequest& request) = 0;
    // The chosen path, or "" when the user cancelled.
    virtual QString file(const FileRequest& request) = 0;
};

// The service in use. Never null: before one is installed, a silent service
// answers each question with its default button and cancels inputs and files.
DialogService& dialogs();
// Installs a service (not owned); nullptr goes back to the silent one.
void setDialogService(DialogService* service);
// The installed service, null while the silent one answers.
DialogService* installedDialogService();

// Shorthand for the common message box. From a worker thread the message is
// shown by the user-interface thread while the worker waits for the answer.
MsgResult msgBox(const QString& text, MsgIcon icon = MsgIcon::None, MsgButtons buttons = MsgButtons::Ok,
    const QString& title = QStringLiteral("VexaDICOM"), MsgResult defaultButton = MsgResult::Ok);

} // namespace vexa
