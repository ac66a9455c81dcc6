#include "worklist/WorklistSending.h"

#include "base/core/Dates.h"
#include "dicom/WorklistItemWriter.h"
#include "pacsdb/PacsConnection.h"
#include "worklist/WorklistNumbers.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace vexa {

namespace {

// Writes the console's file; "" on success, else why not.
QString writeConsoleFile(const QString& path, const QByteArray& bytes)
{
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        return QStringLiteral("le dossier est introuvable ou inaccessible");
    QSaveFile file(path);
    // A network share may refuse the temporary file's rename; writing in place is the fallback.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

QString notWritten(const QString& netpixFolder, const QString& reason)
{
    return QStringLiteral("Le fichier de la WorkList n'a pas pu être écrit dans le dossier « %1 » (%2).\n"
                          "Le patient n'a pas été envoyé vers la WorkList NetPix : vérifiez que ce dossier "
                          "est accessible, puis renvoyez-le.")
        .arg(QDir::toNativeSeparators(netpixFolder), reason);
}

WorklistItem itemOf(const WorklistEntry& e, const QString& folder)
{
    WorklistItem item;
    item.patientName = worklistPatientName(e.familyName, e.firstName);
    item.patientId = e.patientNumber;
    item.patientBirthDate = toYyyymmdd(dateFromDdMmYyyy(e.birthDate));
    item.patientSex = e.sex;
    item.accessionNumber = e.accessionNumber;
    item.referringPhysician = practitionerPersonName(e.requestingPractitioner);
    item.requestedProcedureId = e.accessionNumber;
    item.requestedProcedureDescription = QStringLiteral("Radiographie");
    item.modality = QStringLiteral("CR");
    // The station is the worklist's own AE title: the name of its folder.
    item.scheduledStationAeTitle = QDir(folder).dirName().left(16);
    item.startDate = e.sentAt.toString(QStringLiteral("yyyyMMdd"));
    item.startTime = e.sentAt.toString(QStringLiteral("HHmmss"));
    item.performingPhysician = practitionerPersonName(e.performingPractitioner);
    item.stepId = e.accessionNumber;
    item.stepDescription = QStringLiteral("Radiographie");
    return item;
}

} // namespace

SendOutcome sendToWorklist(WorklistEntry& entry, const WorklistTargets& targets)
{
    SendOutcome outcome;
    QString openError;
    QSqlDatabase db = pacsConnection(targets.conquestPath, &openError);
    if (!db.isOpen()) {
        outcome.error = QStringLiteral("Impossible d'ouvrir la base de données pour numéroter l'examen :\n")
            + openError;
        return outcome;
    }
    if (entry.patientNumber == NoPatientNumber) {
        const DrawnNumber patient = drawNumber(db, CounterTable::PatientNumbers);
        if (!patient.ok()) {
            outcome.error = patient.error;
            return outcome;
        }
        entry.patientNumber = formatWorklistNumber(targets.initials, patient.value);
    }
    const DrawnNumber accession = drawNumber(db, CounterTable::AccessionNumbers);
    if (!accession.ok()) {
        outcome.error = accession.error;
        return outcome;
    }
    entry.accessionNumber = formatWorklistNumber(targets.initials, accession.value);

    outcome.filePath = worklistFilePath(targets.netpixFolder, entry.accessionNumber);
    const QString reason = writeConsoleFile(outcome.filePath, worklistLineBytes(entry));
    if (!reason.isEmpty()) {
        outcome.error = notWritten(targets.netpixFolder, reason);
        return outcome;
    }
    outcome.sent = true;

    if (!targets.dicomWorklistFolder.isEmpty()) {
        const DicomResult written = writeWorklistItem(
            itemOf(entry, targets.dicomWorklistFolder), targets.dicomWorklistFolder, entry.accessionNumber);
        if (!written.ok)
            outcome.warning
                = QStringLiteral("Le patient a été envoyé vers la WorkList NetPix, mais pas vers la "
                                 "WorkList DICOM : le dossier « %1 » n'a pas pu recevoir son "
                                 "fichier (%2).")
                      .arg(QDir::toNativeSeparators(targets.dicomWorklistFolder), written.error);
    }
    return outcome;
}

} // namespace vexa
