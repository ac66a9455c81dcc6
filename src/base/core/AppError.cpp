#include "base/core/AppError.h"

namespace vexa {

QString errorDescription(int number)
{
    switch (number) {
    case error_number::BadFileName:
        return QStringLiteral("Nom ou numéro de fichier incorrect");
    case error_number::FileNotFound:
        return QStringLiteral("Fichier introuvable");
    case error_number::DiskFull:
        return QStringLiteral("Disque plein");
    case error_number::PermissionDenied:
        return QStringLiteral("Permission refusée");
    case error_number::PathFileAccess:
        return QStringLiteral("Erreur d'accès au chemin/fichier");
    case error_number::PathNotFound:
        return QStringLiteral("Chemin d'accès introuvable");
    default:
        return QStringLiteral("Erreur définie par l'application ou par l'objet");
    }
}

} // namespace vexa
