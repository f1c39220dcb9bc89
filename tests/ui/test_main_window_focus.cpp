// The main window's grid and its message boxes as the user meets them: using the menu bar from
// the keyboard is no new entry into the grid (its OnEnter reports a missing file), and the
// questions built from the table's texts show those texts as they are.

#include <QApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>

#include "tests/ui/main_window_session.h"
#include "toolkit/application.h"
#include "toolkit/controls.h"
#include "toolkit/string_grid.h"
#include "ui/main_window.h"

using mwtest::TableFile;

class TestMainWindowFocus : public QObject {
  Q_OBJECT

 private slots:
  void menuBarUseIsNoGridEntry();
  void questionsShowMarkupAsPlainText();
  void aSecondActivationLoadsNothing();
};

void TestMainWindowFocus::menuBarUseIsNoGridEntry() {
  mwtest::WorkDir dir(mwtest::TwoByTwo().Bytes());
  tktest::ModalAnswerer answers;
  const auto outcome = mwtest::RunProgram(answers, [](TForm1& form) {
    int entries = 0;
    const auto handler = form.StringGrid1->OnEnter;
    form.StringGrid1->OnEnter = [&](QObject* sender) {
      ++entries;
      handler(sender);
    };
    mwtest::PressKey(Qt::Key_Alt);  // the menu bar takes the focus
    mwtest::PressKey(Qt::Key_Escape);
    QTRY_VERIFY(form.StringGrid1->hasFocus());
    // Opens "&Файл" by its letter.
    QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key(u'Ф'),
                        QStringLiteral("ф"), Qt::AltModifier);
    QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    QTRY_COMPARE(QApplication::activePopupWidget(), nullptr);
    if (!form.StringGrid1->hasFocus()) mwtest::PressKey(Qt::Key_Escape);
    QTRY_VERIFY(form.StringGrid1->hasFocus());
    QCOMPARE(entries, 0);
    form.StringGrid1->OnEnter = handler;
  });
  QVERIFY(outcome.script_ran);
  QVERIFY(answers.Seen().isEmpty());
}

void TestMainWindowFocus::questionsShowMarkupAsPlainText() {
  mwtest::WorkDir dir(TableFile{{10}, {"<b>h7 "}, {{{0.01, 0}}}}.Bytes());
  tktest::ModalAnswerer answers;
  answers.QueueBoxAnswer(QMessageBox::No);
  const auto outcome = mwtest::RunProgram(
      answers, [](TForm1& form) { QTest::mouseClick(form.DelKv, Qt::LeftButton); });
  QVERIFY(outcome.script_ran);
  QCOMPARE(answers.Seen().size(), 1);
  QCOMPARE(answers.Seen()[0].text, QStringLiteral("Удалить квалитет <b>h7 ?"));
  QCOMPARE(answers.Seen()[0].format, int(Qt::PlainText));
}

// Should any platform's focus order raise the activation again, the file is not read over the
// edits.
void TestMainWindowFocus::aSecondActivationLoadsNothing() {
  mwtest::WorkDir dir(mwtest::TwoByTwo().Bytes());
  tktest::ModalAnswerer answers;
  const auto outcome = mwtest::RunProgram(answers, [](TForm1& form) {
    mwtest::ApplyEdits(form, {{1, 1, "7 8"}});
    form.FormActivate(&form);
    QCOMPARE(form.StringGrid1->GetCell(1, 1), std::string("7 8"));
    QVERIFY(form.Unsaved());
  });
  QVERIFY(outcome.script_ran);
}

int main(int argc, char** argv) {
  tk::Application application(argc, argv);
  TestMainWindowFocus test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_main_window_focus.moc"
