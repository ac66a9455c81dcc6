#pragma once
// Qt's own French translations, so that the standard buttons and dialogs
// ("Oui", "Non", "Annuler", the file and print dialogs) speak the language of
// the rest of the interface whatever the system's locale.
class QCoreApplication;

namespace vexa {

// Installs Qt's French translations on `app`; false when Qt's translation
// files are not installed (the standard texts then stay English).
bool installQtFrench(QCoreApplication& app);

} // namespace vexa
