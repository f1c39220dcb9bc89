// The style that makes the extension buttons' icons when first drawn: a menu bar is built
// without loading an image format plugin, and the icons, once drawn, are the base style's own.

#include <QApplication>
#include <QFile>
#include <QMenuBar>
#include <QStyleFactory>
#include <QTest>
#include <memory>

#include "tests/support/image_plugins.h"
#include "toolkit/deferred_icon_style.h"

using tktest::ImageFormatPluginLoaded;

class TestDeferredIconStyle : public QObject {
  Q_OBJECT

 private slots:
  void menuBarIsBuiltWithoutImagePlugins();
  void iconsAreTheBaseStylesOwn_data();
  void iconsAreTheBaseStylesOwn();
};

void TestDeferredIconStyle::menuBarIsBuiltWithoutImagePlugins() {
  QApplication::setStyle(new tk::DeferredIconStyle(QStringLiteral("fusion")));
  QMenuBar bar;
  bar.addMenu(QStringLiteral("&Файл"));
  QVERIFY(!ImageFormatPluginLoaded());
}

void TestDeferredIconStyle::iconsAreTheBaseStylesOwn_data() {
  QTest::addColumn<int>("which");
  QTest::newRow("horizontal extension") << int(QStyle::SP_ToolBarHorizontalExtensionButton);
  QTest::newRow("vertical extension") << int(QStyle::SP_ToolBarVerticalExtensionButton);
  QTest::newRow("passed through") << int(QStyle::SP_MessageBoxWarning);
}

void TestDeferredIconStyle::iconsAreTheBaseStylesOwn() {
  QFETCH(int, which);
  const auto pixmap = static_cast<QStyle::StandardPixmap>(which);
  tk::DeferredIconStyle deferred(QStringLiteral("fusion"));
  const std::unique_ptr<QStyle> base(QStyleFactory::create(QStringLiteral("fusion")));
  const QIcon made = deferred.standardIcon(pixmap, nullptr, nullptr);
  const QIcon own = base->standardIcon(pixmap, nullptr, nullptr);
  QVERIFY(!own.availableSizes().isEmpty());
  QCOMPARE(made.availableSizes(), own.availableSizes());
  for (const QSize& size : own.availableSizes()) {
    QCOMPARE(made.pixmap(size).toImage(), own.pixmap(size).toImage());
  }
}

QTEST_MAIN(TestDeferredIconStyle)
#include "test_deferred_icon_style.moc"
