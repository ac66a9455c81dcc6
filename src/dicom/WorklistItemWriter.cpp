#include "dicom/WorklistItemWriter.h"

#include "dicom/DicomWriter.h"

#include <dcmtk/dcmdata/dcdeftag.h>
#include <dcmtk/dcmdata/dcfilefo.h>
#include <dcmtk/dcmdata/dcitem.h>

#include <QDir>
#include <QFile>
#include <filesystem>
#include <system_error>

namespace vexa {

namespace {

// A value as one clean value: no control character, no value separator.
QString cleanValue(const QString& value)
{
    QString clean;
    clean.reserve(value.size());
    for (const QChar c : value) {
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0))
            continue;
        clean += c == u'\\' ? u'/' : c;
    }
    return clean;
}

// Writes values in Latin-1 or UTF-8, as the item's character set says.
class TextWriter {
public:
    explicit TextWriter(bool utf8)
        : utf8_(utf8)
    {
    }
    void put(DcmItem& item, const DcmTagKey& key, const QString& value) const
    {
        const QString clean = cleanValue(value);
        item.putAndInsertString(key, (utf8_ ? clean.toUtf8() : clean.toLatin1()).constData());
    }

private:
    bool utf8_;
};

bool fitsLatin1(const WorklistItem& item)
{
    for (const QString* text : {&item.patientName, &item.patientId, &item.accessionNumber,
             &item.referringPhysician, &item.requestedProcedureId, &item.requestedProcedureDescription,
             &item.performingPhysician, &item.stepId, &item.stepDescription}) {
        for (const QChar c : *text) {
            if (c.unicode() > 0xFF)
                return false;
        }
    }
    return true;
}

// Letters, digits, "-" and "_" are kept; anything else (a separator above all) becomes "_".
QString safeStem(const QString& stem)
{
    QString safe;
    for (const QChar c : stem)
        safe += (c.isLetterOrNumber() && c.unicode() < 128) || c == u'-' || c == u'_' ? c : u'_';
    return safe.isEmpty() ? QStringLiteral("_") : safe;
}

void fillDataset(DcmDataset& d, const WorklistItem& item)
{
    const bool latin1 = fitsLatin1(item);
    d.putAndInsertString(DCM_SpecificCharacterSet, latin1 ? "ISO_IR 100" : "ISO_IR 192");
    const TextWriter writer(!latin1);
    const auto putText = [&writer](DcmItem& target, const DcmTagKey& key, const QString& value) {
        writer.put(target, key, value);
    };
    putText(d, DCM_AccessionNumber, item.accessionNumber);
    putText(d, DCM_ReferringPhysicianName, item.referringPhysician);
    putText(d, DCM_PatientName, item.patientName);
    putText(d, DCM_PatientID, item.patientId);
    putText(d, DCM_PatientBirthDate, item.patientBirthDate);
    putText(d, DCM_PatientSex, item.patientSex);
    putText(d, DCM_StudyInstanceUID, item.studyInstanceUid.isEmpty() ? newDicomUid() : item.studyInstanceUid);
    putText(d, DCM_RequestedProcedureDescription, item.requestedProcedureDescription);
    putText(d, DCM_RequestedProcedureID, item.requestedProcedureId);

    DcmItem* step = nullptr;
    d.findOrCreateSequenceItem(DCM_ScheduledProcedureStepSequence, step, -2);
    if (!step)
        return;
    putText(*step, DCM_Modality, item.modality);
    putText(*step, DCM_ScheduledStationAETitle, item.scheduledStationAeTitle);
    putText(*step, DCM_ScheduledProcedureStepStartDate, item.startDate);
    putText(*step, DCM_ScheduledProcedureStepStartTime, item.startTime);
    putText(*step, DCM_ScheduledPerformingPhysicianName, item.performingPhysician);
    putText(*step, DCM_ScheduledProcedureStepDescription, item.stepDescription);
    putText(*step, DCM_ScheduledProcedureStepID, item.stepId);
}

} // namespace

DicomResult writeWorklistItem(const WorklistItem& item, const QString& folder, const QString& fileStem)
{
    QDir dir(folder);
    if (!dir.exists() && !QDir().mkpath(folder))
        return DicomResult::failure(QStringLiteral("dossier impossible à créer"));
    // The server refuses to search a folder without its lock file.
    QFile lock(dir.filePath(QStringLiteral("lockfile")));
    if (!lock.exists() && !lock.open(QIODevice::WriteOnly))
        return DicomResult::failure(lock.errorString());
    lock.close();

    DcmFileFormat file;
    fillDataset(*file.getDataset(), item);
    const QString path = dir.filePath(safeStem(fileStem) + QStringLiteral(".wl"));
    const QString partial = path + QStringLiteral(".part");
    const OFFilename partialName(QFile::encodeName(partial).constData());
    const OFCondition condition = file.saveFile(partialName, EXS_LittleEndianExplicit);
    if (condition.bad()) {
        QFile::remove(partial);
        return DicomResult::failure(QString::fromLatin1(condition.text()));
    }
    std::error_code error;
    std::filesystem::rename(
        QFile::encodeName(partial).constData(), QFile::encodeName(path).constData(), error);
    if (error) {
        QFile::remove(partial);
        return DicomResult::failure(QString::fromStdString(error.message()));
    }
    return DicomResult::success();
}

} // namespace vexa
