#include "PacsUpgrade.h"

#include "SqlExec.h"

#include <QUuid>

namespace vexa {

namespace {

QStringList IndexStatements()
{
    const QStringList imageColumns{"Compteur", "Burned", "Printed", "SeriesInst", "ScanDate", "PatientName"};
    const QStringList seriesColumns{"Compteur", "Burned", "Printed", "ScanDate", "PatientName"};
    QStringList statements;
    for (const QString& column : imageColumns)
        statements
            << QStringLiteral("CREATE INDEX IF NOT EXISTS DICOMImages_%1 ON DICOMImages (%1)").arg(column);
    for (const QString& column : seriesColumns)
        statements
            << QStringLiteral("CREATE INDEX IF NOT EXISTS DICOMSeries_%1 ON DICOMSeries (%1)").arg(column);
    return statements;
}

QStringList BuildUpgradeStatements()
{
    QStringList statements{
        QStringLiteral("ALTER TABLE DICOMImages ADD COLUMN Compteur COUNTER"),
        QStringLiteral("ALTER TABLE DICOMImages ADD COLUMN Printed BIT"),
        QStringLiteral("ALTER TABLE DICOMImages ADD COLUMN Burned BIT"),
        QStringLiteral("ALTER TABLE DICOMImages ADD COLUMN PrintDate DATETIME"),
        QStringLiteral("ALTER TABLE DICOMImages ADD COLUMN PatientName TEXT 255"),
        QStringLiteral("ALTER TABLE DICOMImages ADD COLUMN ScanDate DATETIME"),
        QStringLiteral("ALTER TABLE DICOMImages ADD COLUMN JpegExported BIT"),
        QStringLiteral("ALTER TABLE DICOMImages ADD COLUMN NotToBurn BIT"),
        QStringLiteral("ALTER TABLE DICOMSeries ADD COLUMN Compteur COUNTER"),
        QStringLiteral("ALTER TABLE DICOMSeries ADD COLUMN Printed BIT"),
        QStringLiteral("ALTER TABLE DICOMSeries ADD COLUMN Burned BIT"),
        QStringLiteral("ALTER TABLE DICOMSeries ADD COLUMN PatientName TEXT 255"),
        QStringLiteral("ALTER TABLE DICOMSeries ADD COLUMN ScanDate DATETIME"),
        QStringLiteral("ALTER TABLE DICOMSeries ADD COLUMN JpegExported BIT"),
        QStringLiteral("ALTER TABLE DICOMWorkList ADD COLUMN Compteur COUNTER"),
        QStringLiteral("DELETE * FROM DICOMWorkList WHERE PatientNam IS NULL OR PatientNam = ''"),
        QStringLiteral("CREATE TABLE DICOMCompteur (Compteur COUNTER, Numero INTEGER) ;"),
        QStringLiteral("CREATE TABLE DICOMWLCompteur (Compteur COUNTER, Numero INTEGER) ;"),
    };
    return statements + IndexStatements();
}

QString RunUpgrade(QSqlDatabase& db)
{
    const SqlBackend backend = BackendOf(db);
    for (const QString& statement : UpgradeStatements()) {
        const QSqlError error = ExecJet(db, statement);
        if (error.isValid() && !IsAlreadyExists(error, backend))
            return error.text();
    }
    return {};
}

} // namespace

const QStringList& UpgradeStatements()
{
    static const QStringList statements = BuildUpgradeStatements();
    return statements;
}

QString OpenAndUpgrade(const QString& conquestPath)
{
    const QString name
        = QStringLiteral("PacsConnection-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString error;
    {
        QSqlDatabase db = OpenConquestDatabase(conquestPath, name, &error);
        if (db.isOpen())
            error = RunUpgrade(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return error;
}

QString OpenErrorTitle()
{
    return QStringLiteral("Erreur à l'ouverture de la base de données");
}

QString OpenErrorText(const QString& description)
{
    return QStringLiteral("Impossible d'ouvrir la base de données du PACS :\n\n") + description;
}

QString DatabaseNotFoundText()
{
    return QStringLiteral("La base de donnée du MicroPACS CONQUEST est introuvable.\n"
                          "Voulez-vous modifier la configuration d'VexaDICOM ? ");
}

QString RestartToApplyText()
{
    return QStringLiteral("Veuillez relancer VexaDICOM pour que la configuration prenne effet.");
}

} // namespace vexa
