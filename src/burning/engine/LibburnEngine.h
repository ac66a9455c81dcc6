#pragma once
// The burning engine on libburn and libisofs. Its writers are the optical
// drives libburn finds, then "Fichier image ISO", which writes the disc as an
// ISO image file through libburn's "stdio:" drives (for tests, and for users
// who burn elsewhere). The disc is an ISO 9660 level 1 tree with Joliet and
// Rock Ridge names; after writing, it is read back and compared with the
// files (see IsoReadBack.h) before the burn is reported a success.
#include "burning/engine/BurnEngine.h"

#include <functional>
#include <memory>

namespace vexa {

class LibburnEngine : public BurnEngine {
    Q_OBJECT
public:
    static inline const QString ImageFileWriterName = QStringLiteral("Fichier image ISO");

    explicit LibburnEngine(QObject* parent = nullptr);
    ~LibburnEngine() override;

    QList<BurnWriter> writers() override;
    void eject(int writer) override;
    QList<int> writeSpeeds(int writer) override;
    void startBurn(const BurnJob& job) override;
    bool startErase(int writer, QString& error) override;
    void abort() override;
    QStringList diagnostics() const override;

    // Runs between writing an image file and reading it back (tests damage the image here).
    void setAfterWriteHook(std::function<void(const QString& imageFile)> hook);

private:
    struct Private;
    std::unique_ptr<Private> d_;
    void poll();
    void drainMessages();
    void finishWrite();
    void finishBurn(int status, const QString& problem = {});
    void failBurn(const QString& problem);
};

} // namespace vexa
