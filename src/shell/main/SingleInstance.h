#pragma once
// One running program per user on the workstation: a lock file in the user's
// runtime folder, held for the program's life. A lock left by a crashed
// instance is taken over, so a crash never blocks the next start.
#include <QLockFile>
#include <QString>
#include <memory>

namespace vexa {

class SingleInstance {
public:
    // lockFolder "" means the user's runtime folder.
    explicit SingleInstance(const QString& lockFolder = {});

    // True when this process now holds the lock; false when another instance runs.
    bool acquire();
    QString lockPath() const { return path_; }

    static QString alreadyRunningText();
    static QString alreadyRunningTitle();

private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
};

} // namespace vexa
