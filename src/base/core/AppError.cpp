#include "base/core/AppError.h"

namespace vexa {

QString ErrorDescription(int number)
{
    switch (number) {
    case ErrorNumber::BadFileName:
        return QStringLiteral("Nom ou numéro de fichier incorrect");
    case ErrorNumber::FileNotFound:
        return QStringLiteral("Fichier introuvable");
    case ErrorNumber::DiskFull:
        return QStringLiteral("Disque plein");
    case ErrorNumber::PermissionDenied:
        return QStringLiteral("Permission refusée");
    case ErrorNumber::PathFileAccess:
        return QStringLiteral("Erreur d'accès au chemin/fichier");
    case ErrorNumber::PathNotFound:
        return QStringLiteral("Chemin d'accès introuvable");
    default:
        return QStringLiteral("Erreur définie par l'application ou par l'objet");
    }
}

} // namespace vexa
