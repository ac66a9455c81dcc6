// Test entry point: every test executable gets a QApplication so widget tests
// can create real windows (on the offscreen platform set by CTest).
#include <QApplication>
#include <QFile>
#include <QLocale>
#include <gtest/gtest.h>

// Each test executable is linked with the path of its environment file
// (VAR=value lines); the values are set before Qt starts so it sees them.
extern const char* const kVexaTestEnvFile;

namespace {

void loadTestEnvironment()
{
    QFile file(QString::fromUtf8(kVexaTestEnvFile));
    if (!file.open(QIODevice::ReadOnly))
        return;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            qputenv(line.left(eq).constData(), line.mid(eq + 1));
    }
}

} // namespace

int main(int argc, char** argv)
{
    loadTestEnvironment();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VexaDICOM-tests"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
