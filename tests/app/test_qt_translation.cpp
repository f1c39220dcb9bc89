// Qt's own texts in the user's language: run with LANG=ru_RU.UTF-8, a message box's buttons
// read "Да" and "Нет" once the program has installed Qt's translation for the system locale,
// while the box's own text and caption stay as the program gives them.

#include <QAbstractButton>
#include <QLocale>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "app/desktop_setup.h"
#include "toolkit/application.h"
#include "toolkit/message_box.h"

namespace {

struct BoxSeen {
  QStringList buttons;  // without the mnemonic marks, left to right as the box lists them
  QString text;
  QString title;
};

// Shows a Yes/No question and answers No, noting what the box showed.
BoxSeen AskAndAnswerNo() {
  BoxSeen seen;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) return;
    poll.stop();
    for (QMessageBox::StandardButton which : {QMessageBox::Yes, QMessageBox::No}) {
      seen.buttons << box->button(which)->text().remove('&');
    }
    seen.text = box->text();
    seen.title = box->windowTitle();
    box->button(QMessageBox::No)->click();
  });
  poll.start(10);
  const std::int32_t answer = tk::ShowMessageBox("Значения допусков не записаны. Выходить?",
                                                 "Редактор файла допусков", tk::MB_YESNO_QUESTION);
  if (answer != tk::IDNO) seen.buttons << "(not answered No)";
  return seen;
}

}  // namespace

class TestQtTranslation : public QObject {
  Q_OBJECT

 private slots:
  void buttonsSpeakTheLocalesLanguage_data();
  void buttonsSpeakTheLocalesLanguage();
};

void TestQtTranslation::buttonsSpeakTheLocalesLanguage_data() {
  QTest::addColumn<QString>("locale");  // "system": the one LANG names
  QTest::addColumn<bool>("installed");
  QTest::addColumn<QStringList>("buttons");
  QTest::newRow("system (LANG=ru_RU.UTF-8)") << "system" << true << QStringList{"Да", "Нет"};
  // Qt has no translation for the C locale: its English texts stay, and an earlier
  // translation is taken away.
  QTest::newRow("C") << "C" << false << QStringList{"Yes", "No"};
  QTest::newRow("Russian again") << "ru_RU" << true << QStringList{"Да", "Нет"};
}

void TestQtTranslation::buttonsSpeakTheLocalesLanguage() {
  QFETCH(QString, locale);
  QFETCH(bool, installed);
  QFETCH(QStringList, buttons);
  if (locale == "system") QCOMPARE(QLocale().language(), QLocale::Russian);
  QCOMPARE(app::InstallQtTranslation(locale == "system" ? QLocale() : QLocale(locale)), installed);
  const BoxSeen seen = AskAndAnswerNo();
  QCOMPARE(seen.buttons, buttons);
  QCOMPARE(seen.text, QStringLiteral("Значения допусков не записаны. Выходить?"));
  QCOMPARE(seen.title, QStringLiteral("Редактор файла допусков"));
}

int main(int argc, char** argv) {
  tk::Application application(argc, argv);
  TestQtTranslation test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_qt_translation.moc"
