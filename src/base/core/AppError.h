#pragma once
// A failure raised to the caller with the error number and French description
// the program's messages show ("Erreur : 53" ...).
#include <QString>
#include <stdexcept>

namespace vexa {

class AppError : public std::runtime_error {
public:
    AppError(int number, const QString& description)
        : std::runtime_error(description.toStdString())
        , number_(number)
        , description_(description)
    {
    }
    int number() const { return number_; }
    QString description() const { return description_; }

private:
    int number_;
    QString description_;
};

// The numbers of the file errors the program reports.
namespace error_number {
constexpr int BadFileName = 52;
constexpr int FileNotFound = 53;
constexpr int DiskFull = 61;
constexpr int PermissionDenied = 70;
constexpr int PathFileAccess = 75;
constexpr int PathNotFound = 76;
} // namespace error_number

// The French description of an error number ("Fichier introuvable" for 53).
QString errorDescription(int number);

} // namespace vexa
