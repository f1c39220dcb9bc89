// The menu that lists every key of an item is wide enough for the list when it opens, and
// again after items are added or their keys change while it is closed.

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QTest>

#include "toolkit/key_listing_menu.h"

class TestKeyListingMenu : public QObject {
  Q_OBJECT

 private slots:
  void opensWideEnoughForEveryKey();
  void widensAgainAfterAChange();
};

void TestKeyListingMenu::opensWideEnoughForEveryKey() {
  tk::KeyListingMenu menu(QStringLiteral("&Файл"), nullptr);
  QAction* save = menu.addAction(QStringLiteral("&Сохранить"));
  save->setShortcuts({QKeySequence(Qt::Key_F2), QKeySequence(Qt::CTRL | Qt::Key_S)});
  menu.addAction(QStringLiteral("&Выход"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  menu.popup(QPoint(0, 0));
  QVERIFY(QTest::qWaitForWindowExposed(&menu));
  const QFontMetrics metrics = menu.fontMetrics();
  QVERIFY(menu.minimumWidth() > 0);
  QVERIFY(menu.width() >= menu.minimumWidth());
  QVERIFY(menu.actionGeometry(save).width() >
          metrics.horizontalAdvance("Сохранить") + metrics.horizontalAdvance("F2, Ctrl+S"));
  menu.hide();
}

void TestKeyListingMenu::widensAgainAfterAChange() {
  tk::KeyListingMenu menu(QStringLiteral("&Файл"), nullptr);
  QAction* exit = menu.addAction(QStringLiteral("&Выход"));
  const int plain = menu.sizeHint().width();
  QCOMPARE(menu.minimumWidth(), 0);
  exit->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Q), QKeySequence(Qt::ALT | Qt::Key_F4),
                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W)});
  const QString keys = QStringLiteral("Ctrl+Q, Alt+F4, Ctrl+Shift+W");
  QVERIFY(menu.sizeHint().width() >= plain + menu.fontMetrics().horizontalAdvance(keys) -
                                         menu.fontMetrics().horizontalAdvance("Ctrl+Q"));
  QVERIFY(menu.minimumWidth() > plain);
}

QTEST_MAIN(TestKeyListingMenu)
#include "test_key_listing_menu.moc"
