// The DICOM worklist item, as a modality sees it: DCMTK's worklist server
// serves the folder the item is written to, and a worklist query finds the
// patient by name and by accession number.
#include "WorklistTestSupport.h"
#include "worklist/WorklistSending.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace vexa;
using namespace vexa::test;

namespace {

// A port of 127.0.0.1 that nobody listens on now.
int freePort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
        && ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(s);
    return port;
}

// DCMTK's file-based worklist server on a folder, stopped with the test.
class WorklistServer {
public:
    WorklistServer(const QString& folder, int port)
        : port_(port)
    {
        server_.setProcessChannelMode(QProcess::MergedChannels);
        // As the README serves it: "-csk" returns the item's character set.
        server_.start(QStringLiteral("wlmscpfs"),
            {QStringLiteral("-v"), QStringLiteral("--single-process"), QStringLiteral("-dfp"), folder,
                QStringLiteral("-csk"), QString::number(port)});
    }
    ~WorklistServer()
    {
        server_.kill();
        server_.waitForFinished(5000);
    }
    // True once it answers a verification request.
    bool waitUntilReady(const QString& aeTitle)
    {
        for (int i = 0; i < 100 && server_.state() != QProcess::NotRunning; ++i) {
            QProcess echo;
            echo.start(QStringLiteral("echoscu"),
                {QStringLiteral("-aec"), aeTitle, QStringLiteral("127.0.0.1"), QString::number(port_)});
            if (echo.waitForFinished(5000) && echo.exitCode() == 0)
                return true;
            QThread::msleep(50);
        }
        return false;
    }
    QString log() { return QString::fromLocal8Bit(server_.readAll()); }

private:
    QProcess server_;
    int port_;
};

// The answers to a worklist query, each as "(gggg,eeee)" -> value. Of two
// keys naming the same attribute, the later one counts.
QList<QMap<QString, QString>> findWorklist(const QString& aeTitle, int port, const QStringList& keys)
{
    QStringList args{QStringLiteral("-W"), QStringLiteral("-v"), QStringLiteral("-aec"), aeTitle};
    for (const QString& key : keys)
        args << QStringLiteral("-k") << key;
    args << QStringLiteral("127.0.0.1") << QString::number(port);
    QProcess find;
    find.setProcessChannelMode(QProcess::MergedChannels);
    find.start(QStringLiteral("findscu"), args);
    find.waitForFinished(20000);
    const QString output = QString::fromLatin1(find.readAll());
    EXPECT_EQ(find.exitCode(), 0) << output.toStdString();

    QList<QMap<QString, QString>> answers;
    static const QRegularExpression element(
        QStringLiteral(R"(^I:\s*(\([0-9a-f]{4},[0-9a-f]{4}\)) \w\w \[([^\]]*)\])"));
    bool inAnswer = false;
    for (const QString& line : output.split(u'\n')) {
        if (line.contains(QStringLiteral("Find Response:")) && line.contains(QStringLiteral("Pending"))) {
            answers.append(QMap<QString, QString>());
            inAnswer = true;
        } else if (line.contains(QStringLiteral("Final Find Response"))) {
            inAnswer = false;
        } else if (inAnswer) {
            const QRegularExpressionMatch m = element.match(line);
            if (m.hasMatch())
                answers.last().insert(m.captured(1), m.captured(2).trimmed());
        }
    }
    return answers;
}

const QStringList returnKeys{
    QStringLiteral("PatientName"),
    QStringLiteral("PatientID"),
    QStringLiteral("PatientBirthDate"),
    QStringLiteral("PatientSex"),
    QStringLiteral("AccessionNumber"),
    QStringLiteral("ReferringPhysicianName"),
    QStringLiteral("RequestedProcedureID"),
    QStringLiteral("ScheduledProcedureStepSequence[0].Modality"),
    QStringLiteral("ScheduledProcedureStepSequence[0].ScheduledProcedureStepStartDate"),
    QStringLiteral("ScheduledProcedureStepSequence[0].ScheduledProcedureStepStartTime"),
    QStringLiteral("ScheduledProcedureStepSequence[0].ScheduledPerformingPhysicianName"),
};

class DicomWorklist : public WorklistDbTest { };

} // namespace

TEST_P(DicomWorklist, ModalityQueryFindsThePatientByNameAndAccessionNumber)
{
    QTemporaryDir dir;
    const QString aeTitle = QStringLiteral("VEXAWL");
    const QString worklistRoot = dir.filePath(QStringLiteral("worklist"));
    const QString itemFolder = worklistRoot + u'/' + aeTitle;
    QDir().mkpath(dir.filePath(QStringLiteral("netpix")));
    const WorklistTargets targets{
        pacs().path(), dir.filePath(QStringLiteral("netpix")) + u'/', QStringLiteral("VD"), itemFolder};

    // Two patients, so that each query must pick the right one.
    WorklistEntry other;
    other.familyName = QStringLiteral("MARTIN");
    other.firstName = QStringLiteral("PAUL");
    other.sex = QStringLiteral("M");
    other.patientNumber = QStringLiteral("PAT-1");
    other.birthDate = QStringLiteral("11/11/1950");
    other.performingPractitioner = other.requestingPractitioner = QStringLiteral("Dr Roux");
    other.sentAt = QDateTime(QDate(2026, 4, 3), QTime(9, 0));
    ASSERT_TRUE(sendToWorklist(other, targets).sent);

    WorklistEntry entry = other;
    entry.familyName = QStringLiteral("DURAND");
    entry.firstName = QStringLiteral("MARIE");
    entry.sex = QStringLiteral("F");
    entry.patientNumber = NoPatientNumber;
    entry.birthDate = QStringLiteral("01/02/1965");
    entry.performingPractitioner = entry.requestingPractitioner = QStringLiteral("Dr Blanc");
    entry.sentAt = QDateTime(QDate(2026, 4, 3), QTime(10, 15, 30));
    const SendOutcome outcome = sendToWorklist(entry, targets);
    ASSERT_TRUE(outcome.sent) << outcome.error.toStdString();
    ASSERT_TRUE(outcome.warning.isEmpty()) << outcome.warning.toStdString();
    EXPECT_TRUE(QFile::exists(itemFolder + QStringLiteral("/lockfile")));

    const int port = freePort();
    ASSERT_GT(port, 0);
    WorklistServer server(worklistRoot, port);
    ASSERT_TRUE(server.waitUntilReady(aeTitle)) << server.log().toStdString();

    const auto byName
        = findWorklist(aeTitle, port, returnKeys + QStringList{QStringLiteral("PatientName=DURAND*")});
    ASSERT_EQ(byName.size(), 1) << server.log().toStdString();
    const QMap<QString, QString>& found = byName.first();
    EXPECT_EQ(found.value("(0010,0010)"), "DURAND^MARIE");
    EXPECT_EQ(found.value("(0010,0020)"), entry.patientNumber);
    EXPECT_EQ(found.value("(0010,0030)"), "19650201");
    EXPECT_EQ(found.value("(0010,0040)"), "F");
    EXPECT_EQ(found.value("(0008,0050)"), entry.accessionNumber);
    EXPECT_EQ(found.value("(0008,0090)"), "Blanc^^^Dr");
    EXPECT_EQ(found.value("(0040,1001)"), entry.accessionNumber);
    EXPECT_EQ(found.value("(0008,0060)"), "CR");
    EXPECT_EQ(found.value("(0040,0002)"), "20260403");
    EXPECT_EQ(found.value("(0040,0003)"), "101530");
    EXPECT_EQ(found.value("(0040,0006)"), "Blanc^^^Dr");

    const auto byAccession = findWorklist(
        aeTitle, port, returnKeys + QStringList{QStringLiteral("AccessionNumber=") + entry.accessionNumber});
    ASSERT_EQ(byAccession.size(), 1);
    EXPECT_EQ(byAccession.first().value("(0010,0010)"), "DURAND^MARIE");
    EXPECT_EQ(byAccession.first().value("(0010,0020)"), entry.patientNumber);
}

// A modality reads the name in the character set the item was written in:
// Latin-1 when it holds the name, UTF-8 when it does not ("Œ"). Text that
// would break the item (a value separator, control characters) never
// reaches it.
TEST_P(DicomWorklist, NamesComeBackWithTheirCharacterSet)
{
    QTemporaryDir dir;
    const QString aeTitle = QStringLiteral("VEXAWL");
    const QString worklistRoot = dir.filePath(QStringLiteral("worklist"));
    QDir().mkpath(dir.filePath(QStringLiteral("netpix")));
    const WorklistTargets targets{pacs().path(), dir.filePath(QStringLiteral("netpix")) + u'/',
        QStringLiteral("VD"), worklistRoot + u'/' + aeTitle};
    const struct {
        const char* family;
        const char* first;
        const char* practitioner;
        const char* charset;
        const char* name;
        const char* physician;
    } cases[] = {
        {"LEFÈVRE", "Élodie", "Dr Müller", "ISO_IR 100", "LEFÈVRE^Élodie", "Müller^^^Dr"},
        {"CŒUR", "Anaïs", "Dr Roux", "ISO_IR 192", "CŒUR^Anaïs", "Roux^^^Dr"},
        {"DURAND", "MARIE", "Dr A\\B\tC", "ISO_IR 100", "DURAND^MARIE", "A/B^C^^Dr"},
    };
    QStringList accessions;
    for (const auto& c : cases) {
        WorklistEntry entry;
        entry.familyName = QString::fromUtf8(c.family);
        entry.firstName = QString::fromUtf8(c.first);
        entry.sex = QStringLiteral("F");
        entry.patientNumber = NoPatientNumber;
        entry.birthDate = QStringLiteral("01/02/1965");
        entry.performingPractitioner = entry.requestingPractitioner = QString::fromUtf8(c.practitioner);
        entry.sentAt = QDateTime(QDate(2026, 4, 3), QTime(10, 0));
        const SendOutcome outcome = sendToWorklist(entry, targets);
        ASSERT_TRUE(outcome.sent && outcome.warning.isEmpty()) << outcome.error.toStdString();
        accessions << entry.accessionNumber;
    }
    const int port = freePort();
    ASSERT_GT(port, 0);
    WorklistServer server(worklistRoot, port);
    ASSERT_TRUE(server.waitUntilReady(aeTitle)) << server.log().toStdString();
    for (qsizetype i = 0; i < accessions.size(); ++i) {
        SCOPED_TRACE(cases[i].family);
        const auto found = findWorklist(aeTitle, port,
            returnKeys
                + QStringList{QStringLiteral("SpecificCharacterSet"),
                    QStringLiteral("AccessionNumber=") + accessions[i]});
        ASSERT_EQ(found.size(), 1) << server.log().toStdString();
        const QString charset = found.first().value("(0008,0005)");
        EXPECT_EQ(charset, QString::fromUtf8(cases[i].charset));
        // The answer's bytes, read in the set it names.
        const auto text = [&](const char* tag) {
            const QByteArray bytes = found.first().value(QString::fromLatin1(tag)).toLatin1();
            return charset == QStringLiteral("ISO_IR 192") ? QString::fromUtf8(bytes)
                                                           : QString::fromLatin1(bytes);
        };
        EXPECT_EQ(text("(0010,0010)"), QString::fromUtf8(cases[i].name));
        EXPECT_EQ(text("(0008,0090)"), QString::fromUtf8(cases[i].physician));
        EXPECT_EQ(text("(0040,0006)"), QString::fromUtf8(cases[i].physician));
    }
}

INSTANTIATE_TEST_SUITE_P(Sqlite, DicomWorklist, ::testing::Values(SqlBackend::Sqlite), backendName);
