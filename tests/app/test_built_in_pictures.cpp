// The pictures compiled into the program: the window icon at each of its sizes, read without
// loading any image format plugin, and nothing drawn for a picture that is not there.

#include <QFile>
#include <QTest>

#include "app/desktop_setup.h"
#include "tests/support/image_plugins.h"
#include "toolkit/built_in_picture.h"

using tktest::ImageFormatPluginLoaded;

class TestBuiltInPictures : public QObject {
  Q_OBJECT

 private slots:
  void windowIconHasEverySizeWithoutPlugins();
  void missingPictureIsNull();
};

void TestBuiltInPictures::windowIconHasEverySizeWithoutPlugins() {
  app::SetUpDesktopIdentity();
  const QIcon icon = QApplication::windowIcon();
  QVERIFY(!icon.isNull());
  const QList<QSize> sizes = icon.availableSizes();
  QCOMPARE(sizes.size(), 8);
  for (const int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
    QVERIFY2(sizes.contains(QSize(side, side)), qPrintable(QString::number(side)));
    const QPixmap drawn = icon.pixmap(QSize(side, side));
    QCOMPARE(drawn.size(), QSize(side, side));
    QVERIFY(!drawn.toImage().allGray());  // the picture itself, not an empty square
  }
  QVERIFY(!ImageFormatPluginLoaded());
}

void TestBuiltInPictures::missingPictureIsNull() {
  QVERIFY(tk::ReadBuiltInPicture(QStringLiteral(":/icons/16/missing.png")).isNull());
  QVERIFY(tk::BuiltInIcon(QStringLiteral(":/icons/16/missing.png")).isNull());
  const QIcon deferred =
      tk::DeferredIcon([] { return tk::BuiltInIcon(QStringLiteral(":/icons/16/missing.png")); });
  QVERIFY(deferred.pixmap(QSize(16, 16)).isNull());
  QVERIFY(deferred.availableSizes().isEmpty());
}

QTEST_MAIN(TestBuiltInPictures)
#include "test_built_in_pictures.moc"
