// Whole-file reading and writing in the single-byte code page the program's
// text files use (Windows-1252).
#include "base/core/AppError.h"
#include "base/core/DialogService.h"
#include "files/FileOperations.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QThread>

namespace vexa {
namespace {

const char* const codePage = "windows-1252";

// Each character the code page cannot hold becomes "?", as the platform's conversion did.
QByteArray encodeSingleByte(const QString& text)
{
    QStringEncoder encoder(codePage);
    QByteArray bytes = encoder.encode(text);
    if (!encoder.hasError())
        return bytes;
    bytes.clear();
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QStringEncoder single(codePage);
        const QByteArray one = single.encode(QStringView(text).mid(i, length));
        bytes += single.hasError() ? QByteArray("?") : one;
        i += length;
    }
    return bytes;
}

bool isBadFileName(const QString& path)
{
    return path.isEmpty() || path.endsWith(u'/') || path.contains(QChar(0)) || QFileInfo(path).isDir();
}

int openErrorNumber(const QString& path, const QSaveFile& file)
{
    if (!QFileInfo(path).absoluteDir().exists())
        return error_number::PathNotFound;
    if (file.error() == QFileDevice::PermissionsError)
        return error_number::PermissionDenied;
    return error_number::PathFileAccess;
}

void showError(int number)
{
    msgBox(QStringLiteral("Erreur : ") + QString::number(number) + u'\n' + errorDescription(number),
        MsgIcon::Exclamation, MsgButtons::Ok, QStringLiteral("Erreur"));
}

// The corrected name, or "" when the user gives none.
QString askCorrectedName(const QString& path)
{
    const std::optional<QString> answer = dialogs().input({QStringLiteral("Le nom '") + path
            + QStringLiteral("' ") + u'\n' + QStringLiteral("parait invalide : Merci de le corriger :"),
        QStringLiteral("Nom Invalide..."), path});
    return answer.value_or(QString());
}

// A file being written by another program may appear shortly: looked for
// again until `wait` has passed. No events run meanwhile.
void waitForFile(const QString& path, std::chrono::milliseconds wait)
{
    constexpr std::chrono::milliseconds step(50);
    for (std::chrono::milliseconds waited(0); !fileExists(path) && waited < wait; waited += step)
        QThread::msleep(static_cast<unsigned long>(std::min(step, wait - waited).count()));
}

enum class WriteOutcome { Written, NameRefused, Failed };

WriteOutcome writeOnce(const QByteArray& bytes, const QString& path)
{
    if (isBadFileName(path))
        return WriteOutcome::NameRefused;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        // The name cannot be used: said, then asked again like a bad name.
        showError(openErrorNumber(path, file));
        return WriteOutcome::NameRefused;
    }
    file.write(bytes);
    if (!file.commit()) {
        showError(file.error() == QFileDevice::ResourceError ? error_number::DiskFull
                                                             : error_number::PathFileAccess);
        return WriteOutcome::Failed;
    }
    return WriteOutcome::Written;
}

} // namespace

QString readWholeFile(const QString& path, std::chrono::milliseconds missingFileWait)
{
    waitForFile(path, missingFileWait);
    QFile file(path);
    if (!fileExists(path) || !file.open(QIODevice::ReadOnly))
        throw AppError(error_number::FileNotFound, errorDescription(error_number::FileNotFound));
    QStringDecoder decoder(codePage);
    return decoder.decode(file.readAll());
}

bool writeWholeFile(const QString& content, QString& path)
{
    const QByteArray bytes = encodeSingleByte(content);
    for (;;) {
        switch (writeOnce(bytes, path)) {
        case WriteOutcome::Written:
            return true;
        case WriteOutcome::Failed:
            return false;
        case WriteOutcome::NameRefused:
            break;
        }
        const QString corrected = askCorrectedName(path);
        if (corrected.isEmpty())
            return false;
        path = corrected;
    }
}

QString tryWriteWholeFile(const QString& content, const QString& path)
{
    if (isBadFileName(path))
        return QStringLiteral("nom de fichier invalide : %1").arg(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return errorDescription(openErrorNumber(path, file));
    file.write(encodeSingleByte(content));
    if (!file.commit())
        return errorDescription(file.error() == QFileDevice::ResourceError ? error_number::DiskFull
                                                                           : error_number::PathFileAccess);
    return {};
}

} // namespace vexa
