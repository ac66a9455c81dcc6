#include "base/ui/QtDialogService.h"
#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>

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

bool staysOnTop(const QWidget* window)
{
    return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

bool shownOnScreen(const QWidget* window)
{
    return window->isVisible() && !window->testAttribute(Qt::WA_DontShowOnScreen) && !window->isMinimized();
}

// The window that raised the dialog: the modal window running, else the
// active one, else (a window just put on top loses the focus) the visible
// window on top, a stay-on-top one before the others.
QWidget* raisingWindow()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal->window();
    if (QWidget* active = QApplication::activeWindow())
        return active->window();
    QWidget* chosen = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!shownOnScreen(window) || window->windowType() == Qt::ToolTip
            || window->windowType() == Qt::Popup)
            continue;
        if (chosen == nullptr || (staysOnTop(window) && !staysOnTop(chosen)))
            chosen = window;
    }
    return chosen;
}

// Above its window, even a stay-on-top one, and with the focus once shown.
int runAbove(QDialog& dialog, QWidget* parent)
{
    if (parent && staysOnTop(parent))
        dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    dialog.setWindowModality(Qt::ApplicationModal);
    // Once its loop runs, after the activation the window system may still
    // deliver to the window that raised it (one just put on top, say).
    QTimer::singleShot(0, &dialog, [&dialog] {
        dialog.raise();
        dialog.activateWindow();
    });
    return dialog.exec();
}

} // namespace

MsgResult QtDialogService::message(const MessageRequest& request)
{
    QWidget* parent = raisingWindow();
    QMessageBox box(qtIcon(request.icon), request.title, request.text, qtButtons(request.buttons), parent);
    box.setDefaultButton(qtButton(request.defaultButton));
    return resultOf(runAbove(box, parent), request.buttons);
}

std::optional<QString> QtDialogService::input(const InputRequest& request)
{
    QWidget* parent = raisingWindow();
    QInputDialog dialog(parent);
    dialog.setWindowTitle(request.title);
    dialog.setLabelText(request.prompt);
    dialog.setTextValue(request.defaultText);
    // Wide enough for its title, which the window manager would cut short.
    dialog.setMinimumWidth(dialog.fontMetrics().horizontalAdvance(request.title) + 200);
    if (runAbove(dialog, parent) != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

QString QtDialogService::file(const FileRequest& request)
{
    QWidget* parent = raisingWindow();
    QFileDialog dialog(parent, request.title, request.startPath, request.filters.join(QStringLiteral(";;")));
    switch (request.kind) {
    case FileRequest::Kind::Open:
        dialog.setFileMode(QFileDialog::ExistingFile);
        break;
    case FileRequest::Kind::Save:
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        break;
    case FileRequest::Kind::Folder:
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        break;
    }
    if (runAbove(dialog, parent) != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

} // namespace vexa
