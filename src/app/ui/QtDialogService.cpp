#include "QtDialogService.h"
#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace vexa {
namespace {

QMessageBox::Icon qtIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons qtButtons(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::Ok:
        return QMessageBox::Ok;
    case MsgButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    case MsgButtons::AbortRetryIgnore:
        return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton qtButton(MsgResult result)
{
    switch (result) {
    case MsgResult::Ok:
        return QMessageBox::Ok;
    case MsgResult::Cancel:
        return QMessageBox::Cancel;
    case MsgResult::Yes:
        return QMessageBox::Yes;
    case MsgResult::No:
        return QMessageBox::No;
    case MsgResult::Retry:
        return QMessageBox::Retry;
    case MsgResult::Abort:
        return QMessageBox::Abort;
    case MsgResult::Ignore:
        return QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

// Closing the box by its title bar counts as its escape button.
MsgResult resultOf(int button, MsgButtons buttons)
{
    switch (button) {
    case QMessageBox::Ok:
        return MsgResult::Ok;
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    case QMessageBox::Retry:
        return MsgResult::Retry;
    case QMessageBox::Abort:
        return MsgResult::Abort;
    case QMessageBox::Ignore:
        return MsgResult::Ignore;
    case QMessageBox::Cancel:
        return MsgResult::Cancel;
    default:
        return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Cancel;
    }
}

} // namespace

MsgResult QtDialogService::message(const MessageRequest& request)
{
    QMessageBox box(qtIcon(request.icon), request.title, request.text, qtButtons(request.buttons),
        QApplication::activeWindow());
    box.setDefaultButton(qtButton(request.defaultButton));
    return resultOf(box.exec(), request.buttons);
}

std::optional<QString> QtDialogService::input(const InputRequest& request)
{
    bool accepted = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), request.title, request.prompt,
        QLineEdit::Normal, request.defaultText, &accepted);
    if (!accepted)
        return std::nullopt;
    return text;
}

QString QtDialogService::file(const FileRequest& request)
{
    QWidget* parent = QApplication::activeWindow();
    const QString filters = request.filters.join(QStringLiteral(";;"));
    switch (request.kind) {
    case FileRequest::Kind::Open:
        return QFileDialog::getOpenFileName(parent, request.title, request.startPath, filters);
    case FileRequest::Kind::Save:
        return QFileDialog::getSaveFileName(parent, request.title, request.startPath, filters);
    case FileRequest::Kind::Folder:
        return QFileDialog::getExistingDirectory(parent, request.title, request.startPath);
    }
    return {};
}

} // namespace vexa
