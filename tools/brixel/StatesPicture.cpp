// Renders Brixel buttons in each border look and state to a PNG, for a look by
// eye: brixel_states_picture <output.png>. Runs on the offscreen platform.
#include <brixel/Button.h>

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

using namespace brixel;

namespace {

Picture disc(QColor colour)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(1, 1, 14, 14);
    return Picture::fromImage(image);
}

void send(Button* button, QEvent::Type type, Qt::MouseButton which, Qt::MouseButtons held)
{
    const QPointF at(20, 10);
    QMouseEvent event(type, at, button->mapToGlobal(at), which, held, Qt::NoModifier);
    QCoreApplication::sendEvent(button, &event);
}

Button* addButton(QGridLayout* grid, int row, int column, const QString& caption, const QString& state)
{
    auto* holder = grid->parentWidget();
    auto* button = new Button(holder, QStringLiteral("button%1%2").arg(row).arg(column));
    button->initProperties();
    button->setFixedSize(110, 28);
    button->setCaption(caption);
    grid->addWidget(button, row * 2, column, Qt::AlignCenter);
    grid->addWidget(new QLabel(state, holder), row * 2 + 1, column, Qt::AlignHCenter | Qt::AlignTop);
    return button;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("brixel-states.png");

    QWidget window;
    auto* grid = new QGridLayout(&window);
    grid->setSpacing(8);

    addButton(grid, 0, 0, QStringLiteral("Flat"), QStringLiteral("Flat (0)"))->setBtnAppearance(Flat);
    addButton(grid, 0, 1, QStringLiteral("HalfRaised"), QStringLiteral("HalfRaised (1)"));
    addButton(grid, 0, 2, QStringLiteral("Raised"), QStringLiteral("Raised (2)"))->setBtnAppearance(Raised);
    addButton(grid, 0, 3, QStringLiteral("Sunken"), QStringLiteral("toggle sunken (3)"))->setValue(true);

    Button* flatHover = addButton(grid, 1, 0, QStringLiteral("Flat"), QStringLiteral("flat, hovered"));
    flatHover->setBtnAppearance(Flat);
    Button* overColours
        = addButton(grid, 1, 1, QStringLiteral("Imprimer"), QStringLiteral("hovered, over colours"));
    overColours->setPicture(disc(Qt::darkGreen));
    overColours->setPictureOver(disc(QColor(0, 160, 0)));
    overColours->setBackColorOver(QColor(255, 255, 225));
    overColours->setCapColorOver(QColor(0, 0, 160));
    Button* pressed = addButton(grid, 1, 2, QStringLiteral("Graver"), QStringLiteral("momentary, pressed"));
    pressed->setBtnSunkenEffects(bseNo);
    pressed->setPicture(disc(Qt::darkRed));
    pressed->setPictureDown(disc(Qt::red));
    pressed->setBackColorDown(QColor(160, 160, 160));
    pressed->setCapColorDown(Qt::white);
    pressed->setCaptionDown(QStringLiteral("Gravure..."));
    Button* above = addButton(grid, 1, 3, QStringLiteral("Zoom"), QStringLiteral("picture above"));
    above->setFixedSize(110, 44);
    above->setPicDefaultArrange(pdaTop);
    above->setPicture(disc(Qt::darkBlue));

    window.show();
    QCoreApplication::processEvents();
    send(flatHover, QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
    send(overColours, QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
    send(pressed, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    QCoreApplication::processEvents();

    const QImage shot = window.grab().toImage();
    const QImage doubled = shot.scaled(shot.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return doubled.save(output) ? 0 : 1;
}
