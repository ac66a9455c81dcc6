#pragma once
// Folders and files that other users of the workstation must not read:
// reports, CD staging folders, the settings when they hold a password, the
// log. Folders a console of another user reads (NetPix, worklist) do not use
// these.
#include <QFileDevice>
#include <QString>

namespace vexa {

inline constexpr QFileDevice::Permissions OwnerOnlyFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
inline constexpr QFileDevice::Permissions OwnerOnlyFolder
    = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

// Creates the folder with its missing parents; the folder and every parent
// this call creates are open to their owner only (0700); parents that
// existed keep their permissions. An existing folder is made 0700 too.
// False when the folder could not be made or restricted.
bool makePrivateFolder(const QString& path);

// Makes an existing file readable and writable by its owner only (0600).
bool makePrivateFile(const QString& path);

} // namespace vexa
