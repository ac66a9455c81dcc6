#pragma once
// Brixel's button in Qt Designer: offered in the widget box under "Brixel"
// with its properties, and with a task-menu entry "Modifier le bouton..."
// that opens the button's property page on the selected buttons.
#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

namespace brixel {

class ButtonDesignerPlugin : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetInterface")
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    explicit ButtonDesignerPlugin(QObject* parent = nullptr);

    QString name() const override;
    QString group() const override;
    QString toolTip() const override;
    QString whatsThis() const override;
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override;
    QWidget* createWidget(QWidget* parent) override;
    bool isInitialized() const override;
    void initialize(QDesignerFormEditorInterface* core) override;
    QString domXml() const override;

private:
    bool m_initialized = false;
};

} // namespace brixel
