#include <QPluginLoader>
#include <QWidget>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(DesignerPlugin, OffersTheSelectionRectangleOnTheOrvikComponentPage) {
    QPluginLoader loader(QStringLiteral(VS_DESIGNER_PLUGIN));
    ASSERT_TRUE(loader.load()) << loader.errorString().toStdString();
    auto* plugin = qobject_cast<QDesignerCustomWidgetInterface*>(loader.instance());
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(plugin->group(), "orvikComponent");
    EXPECT_EQ(plugin->name(), "vs::TOrvikRect");
    EXPECT_EQ(plugin->includeFile(), "controls/TOrvikRect.h");
    EXPECT_FALSE(plugin->isContainer());
    EXPECT_TRUE(plugin->domXml().contains("class=\"vs::TOrvikRect\""));
    QWidget form;
    QWidget* rect = plugin->createWidget(&form);
    ASSERT_NE(rect, nullptr);
    EXPECT_STREQ(rect->metaObject()->className(), "vs::TOrvikRect");
    EXPECT_EQ(rect->parentWidget(), &form);
    EXPECT_TRUE(rect->property("Selected").toBool());
    EXPECT_EQ(rect->property("MpColor").value<QColor>(), QColor(255, 0, 0));
    delete rect;
}

}  // namespace
