// A Qt Designer plugin that offers TOrvikRect in the widget box on the "orvikComponent" page,
// so a form designer can place selection rectangles like any other widget. Built when Qt's
// UiPlugin module is installed; load it by pointing QT_PLUGIN_PATH at build/plugins.

#include "controls/TOrvikRect.h"

#include <QtUiPlugin/QDesignerCustomWidgetInterface>

namespace vs {

class OrvikDesignerPlugin : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetInterface")
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    explicit OrvikDesignerPlugin(QObject* parent = nullptr) : QObject(parent) {}

    QString name() const override { return QStringLiteral("vs::TOrvikRect"); }
    QString group() const override { return QStringLiteral("orvikComponent"); }
    QString toolTip() const override { return QStringLiteral("Selection rectangle"); }
    QString whatsThis() const override {
        return QStringLiteral("A rectangle the user moves and resizes with the mouse over what lies beneath it.");
    }
    QString includeFile() const override { return QStringLiteral("controls/TOrvikRect.h"); }
    QIcon icon() const override { return {}; }
    bool isContainer() const override { return false; }
    QWidget* createWidget(QWidget* parent) override { return new TOrvikRect(parent); }
    QString domXml() const override {
        return QStringLiteral(
            "<ui language=\"c++\"><widget class=\"vs::TOrvikRect\" name=\"OrvikRect1\">"
            "<property name=\"geometry\"><rect><x>0</x><y>0</y><width>100</width><height>60</height></rect>"
            "</property></widget></ui>");
    }
};

}  // namespace vs

#include "OrvikDesignerPlugin.moc"
