// Renders the button's property page, filled from a sample button, to a PNG
// (docs/brixel-property-page.png): brixel_property_page_picture <output.png>.
// Runs on the offscreen platform.
#include <brixel/Button.h>
#include <brixel/ButtonPropertyPage.h>

#include <QApplication>
#include <QTabWidget>

using namespace brixel;

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;

    QWidget window;
    Button button(&window, QStringLiteral("Button8"));
    button.setDesignMode(true);
    button.initProperties();
    button.setWidthTwips(1800);
    button.setHeightTwips(450);
    button.setCaption(QStringLiteral("Visualiser..."));
    button.setToolTipText(QStringLiteral("Visualiser l'examen sélectionné"));
    button.setPicDefaultArrange(pdaTop);

    QTabWidget tabs;
    auto* page = new ButtonPropertyPage;
    tabs.addTab(page, ButtonPropertyPage::tabCaption());
    page->selectionChanged({&button});
    tabs.resize(tabs.sizeHint());
    tabs.show();
    QApplication::processEvents();
    return tabs.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
