// Renders the viewer window to a PNG, for a look by eye:
//   viewer_picture <output.png>
// It writes a synthetic CT of twelve frames (a chest section whose lungs
// change from frame to frame) in a temporary folder, opens it in the viewer,
// moves to the fifth frame with the down arrow and applies the lung window
// with the key 1, as a radiologist would.
#include "dicom/DicomWriter.h"
#include "viewer/view/DicomView.h"
#include "viewer/window/ViewerWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <cstdio>

namespace {

constexpr int Side = 256;
constexpr int Frames = 12;

// Hounsfield units of a chest section: air around, soft tissue, two lungs
// whose size follows the frame, a vertebra and a sternum of bone.
int chestValue(int c, int r, int frame)
{
    const auto inside = [&](double cx, double cy, double rx, double ry) {
        const double x = (c - cx) / rx, y = (r - cy) / ry;
        return x * x + y * y <= 1.0;
    };
    if (!inside(128, 128, 115.5, 85.5))
        return -1000;
    if (!inside(128, 128, 108.5, 78.5))
        return -90; // fat under the skin
    if (inside(128, 190, 16.5, 14.5) || inside(128, 62, 8.5, 6.5))
        return 700;
    const double lung = 40.5 + 2.5 * (Frames / 2 - std::abs(frame - Frames / 2));
    for (const double cx : {78.0, 178.0}) {
        if (!inside(cx, 122, 38.5, lung))
            continue;
        // Vessels branching out from the hilum, thinner towards the edge.
        const double angle = std::atan2(r - 122.0, c - (cx < 128 ? 112.0 : 144.0));
        const double ray = std::abs(std::remainder(angle * 6.0 + frame * 0.15, 1.0));
        return ray < 0.06 ? -450 : -860;
    }
    return 40;
}

bool writeChest(const QString& path)
{
    vexa::NewDicomImage image;
    image.patientName = QStringLiteral("DUPONT^JEAN");
    image.patientId = QStringLiteral("PAT001");
    image.studyInstanceUid = vexa::newDicomUid();
    image.seriesInstanceUid = vexa::newDicomUid();
    image.sopInstanceUid = vexa::newDicomUid();
    image.sopClassUid = vexa::sop_class::CtImage;
    image.modality = QStringLiteral("CT");
    image.studyDate = QStringLiteral("20260314");
    image.columns = Side;
    image.rows = Side;
    image.frames = Frames;
    image.bitsStored = 12;
    image.rescaleIntercept = -1024;
    image.rescaleSlope = 1;
    image.windowCenter = 40;
    image.windowWidth = 400;
    image.pixelSpacing = std::pair{1.4, 1.4};
    for (int frame = 0; frame < Frames; ++frame)
        for (int r = 0; r < Side; ++r)
            for (int c = 0; c < Side; ++c) {
                const int stored = chestValue(c, r, frame) + 1024;
                image.pixelData.append(char(stored & 0xFF)).append(char(stored >> 8));
            }
    return vexa::writeDicomImage(image, path, vexa::DicomFileLayout::WithMetaHeader).ok;
}

void pressKey(QWidget* window, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(window, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(window, &release);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: viewer_picture <output.png>\n");
        return 2;
    }
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("Liberation Sans")});
    QApplication::setFont(font);
    QTemporaryDir folder;
    const QString image = folder.filePath(QStringLiteral("chest.dcm"));
    if (!folder.isValid() || !writeChest(image)) {
        std::fprintf(stderr, "cannot write the CT image\n");
        return 1;
    }
    const vexa::ViewerRequest request{
        .exam = {.patientName = QStringLiteral("DUPONT JEAN"), .examDate = QStringLiteral("14/03/2026")},
        .imagePath = image,
        .start = vexa::ViewerRequest::Start::SingleFile};
    vexa::ViewerWindow viewer(request, nullptr);
    viewer.openWindow();
    const QString output = QString::fromLocal8Bit(argv[1]);
    int status = 1;
    QTimer::singleShot(800, [&] {
        for (int i = 0; i < 4; ++i)
            pressKey(&viewer, Qt::Key_Down);
        pressKey(&viewer, Qt::Key_1);
        QTimer::singleShot(400, [&] {
            status = viewer.grab().save(output) ? 0 : 1;
            app.quit();
        });
    });
    app.exec();
    return status;
}
