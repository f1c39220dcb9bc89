// Windows, modal runs, close requests, controls, message boxes and the error report, driven by
// real key, mouse and close events on the offscreen platform.

#include <QAction>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <memory>

#include "data/errors.h"
#include "data/number_text.h"
#include "tests/support/modal_answer.h"
#include "toolkit/application.h"
#include "toolkit/controls.h"
#include "toolkit/dispatch.h"
#include "toolkit/errors.h"
#include "toolkit/form.h"
#include "toolkit/message_box.h"

namespace {

// A window with two entry fields, a flat tool button (which never takes the focus) and a push
// button; every event it raises is written to log.
class TestForm : public tk::Form {
 public:
  explicit TestForm(QStringList& log, const QString& name) {
    auto* client = new QWidget(this);
    setCentralWidget(client);
    first = new tk::Edit(client);
    second = new tk::Edit(client);
    tool = new tk::FlatButton(QIcon(), "tool", client);
    button = new tk::Button("&Выход", client);
    first->setGeometry(10, 10, 100, 24);
    second->setGeometry(10, 40, 100, 24);
    tool->move(120, 10);
    button->setGeometry(10, 70, 100, 30);
    resize(300, 120);
    OnActivate = [&log, name](QObject*) { log << name + " activate"; };
    first->OnEnter = [&log, name](QObject*) { log << name + " enter first"; };
    second->OnEnter = [&log, name](QObject*) { log << name + " enter second"; };
  }
  tk::Edit* first;
  tk::Edit* second;
  tk::FlatButton* tool;
  tk::Button* button;
};

// Runs action and returns the message of the EInvalidOperation it raised ("" for none).
template <class Action>
QString InvalidOperationOf(Action action) {
  try {
    action();
  } catch (const tk::EInvalidOperation& error) {
    return QString::fromStdString(error.Message());
  }
  return {};
}

[[nodiscard]] bool ShowActive(QWidget& window) {
  window.show();
  return QTest::qWaitForWindowActive(&window);
}

}  // namespace

class TestWindows : public QObject {
  Q_OBJECT

 private slots:
  void init() { log_.clear(); }

  void errorReport_data() {
    QTest::addColumn<QString>("route");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("push button, plain message") << "button"
                                                << "Disk full"
                                                << "Disk full.";
    QTest::newRow("period added after a period") << "button"
                                                 << "Ends."
                                                 << "Ends..";
    QTest::newRow("menu item") << "action"
                               << "File not found"
                               << "File not found.";
    QTest::newRow("key press of an entry field") << "key"
                                                 << "Integer overflow"
                                                 << "Integer overflow.";
  }
  void errorReport() {
    QFETCH(QString, route);
    QFETCH(QString, message);
    QFETCH(QString, shown);
    TestForm form(log_, "main");
    auto* action = form.menuBar()->addMenu("&Файл")->addAction("&Сохранить");
    int calls = 0;
    const auto fail = [&](QObject*) {
      ++calls;
      throw tol::Exception(message.toStdString());
    };
    form.button->OnClick = fail;
    tk::Connect(action, &QAction::triggered, &form, fail);
    form.first->OnKeyPress = [&](QObject* sender, QChar&) { fail(sender); };
    QVERIFY(ShowActive(form));
    // The report cancels a mouse grab (a grab would divert the button's click).
    if (route != "button") form.second->grabMouse();

    tktest::ModalAnswerer answerer;
    for (int round = 1; round <= 2; ++round) {  // the program goes on after the report
      answerer.QueueBoxAnswer(QMessageBox::Ok);
      if (route == "button") QTest::mouseClick(form.button, Qt::LeftButton);
      if (route == "action") action->trigger();
      if (route == "key") QTest::keyClick(form.first, Qt::Key_A);
      QCOMPARE(calls, round);
      QCOMPARE(answerer.Seen().size(), round);
    }
    const tktest::SeenBox box = answerer.Seen().front();
    QCOMPARE(box.text, shown);
    QCOMPARE(box.title, tk::ApplicationTitle());
    QCOMPARE(box.icon, int(QMessageBox::Critical));
    QCOMPARE(QWidget::mouseGrabber(), nullptr);
    QVERIFY(form.isVisible());
  }

  void activationComesOnceAndBeforeEnter() {
    TestForm form(log_, "main");
    form.SetActiveControl(form.second);
    QVERIFY(ShowActive(form));
    QCOMPARE(log_, QStringList({"main activate", "main enter second"}));
    QTest::keyClick(form.second, Qt::Key_Backtab);
    QCOMPARE(log_.last(), "main enter first");
    QCOMPARE(log_.count("main activate"), 1);
  }

  void menuUseIsNoFocusEntry() {
    TestForm form(log_, "main");
    form.menuBar()->addMenu("&File")->addAction("E&xit");
    QVERIFY(ShowActive(form));
    QTest::keyClick(form.first, Qt::Key_Tab);
    form.second->setText("typed");
    form.second->setCursorPosition(2);
    log_.clear();
    QTest::keyClick(form.second, Qt::Key_Alt);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTest::keyClick(form.second, Qt::Key_F, Qt::AltModifier);  // opens the menu
    QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    QTRY_COMPARE(QApplication::activePopupWidget(), nullptr);
    if (QApplication::focusWidget() != form.second)
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_COMPARE(QApplication::focusWidget(), form.second);
    QCOMPARE(log_, QStringList());
    QCOMPARE(form.second->selectedText(), "");
  }

  void enterHandlerMayMoveFocusOn() {
    TestForm form(log_, "main");
    form.first->OnEnter = [&form](QObject*) { form.SetActiveControl(form.second); };
    QVERIFY(ShowActive(form));
    QCOMPARE(QApplication::focusWidget(), form.second);
    QCOMPARE(log_, QStringList({"main activate", "main enter second"}));
  }

  void noActivationWhenBoxOrDialogCloses_data() {
    QTest::addColumn<bool>("dialog");
    QTest::newRow("message box") << false;
    QTest::newRow("modal dialog") << true;
  }
  void noActivationWhenBoxOrDialogCloses() {
    QFETCH(bool, dialog);
    TestForm form(log_, "main");
    QVERIFY(ShowActive(form));
    QTest::keyClick(form.first, Qt::Key_Tab);
    tktest::ModalAnswerer answerer;
    form.tool->OnClick = [&](QObject*) {
      if (!dialog) {
        QCOMPARE(tk::ShowMessageBox("Выходить?", "Вопрос", tk::MB_YESNO_QUESTION), tk::IDNO);
        return;
      }
      auto* added = new TestForm(log_, "dialog");
      added->button->ModalResult = tk::mrOk;
      QCOMPARE(tk::RunModal(*added), tk::mrOk);
      tk::HideWindow(*added);
      tk::DisposeWindow(added);
    };
    if (dialog) {
      answerer.QueueDialogAction(
          [](QWidget* w) { QTest::mouseClick(static_cast<TestForm*>(w)->button, Qt::LeftButton); });
    } else {
      answerer.QueueBoxAnswer(QMessageBox::No);
    }
    log_.clear();
    QTest::mouseClick(form.tool, Qt::LeftButton);
    QCOMPARE(answerer.Pending(), 0);
    const QStringList expected =
        dialog ? QStringList({"dialog enter first", "dialog activate"}) : QStringList();
    QCOMPARE(log_, expected);
    QTRY_VERIFY(form.isActiveWindow());
    QCOMPARE(QApplication::focusWidget(), form.second);
    QCOMPARE(log_, expected);
  }

  void closeRequestInModalRun_data() {
    QTest::addColumn<bool>("close_box");
    QTest::addColumn<int>("result");
    QTest::newRow("button with ModalResult 1") << false << int(tk::mrOk);
    QTest::newRow("close box") << true << int(tk::mrCancel);
  }
  void closeRequestInModalRun() {
    QFETCH(bool, close_box);
    QFETCH(int, result);
    TestForm dialog(log_, "dialog");
    dialog.button->ModalResult = tk::mrOk;
    int queries = 0;
    dialog.OnCloseQuery = [&](QObject*, bool& can_close) {
      ++queries;
      can_close = tk::ShowMessageBox("Выходить?", "Вопрос", tk::MB_YESNO_QUESTION) == tk::IDYES;
    };
    tktest::ModalAnswerer answerer;
    answerer.QueueBoxAnswer(QMessageBox::No);
    answerer.QueueBoxAnswer(QMessageBox::Yes);
    const auto request_close = [&] {
      if (close_box) {
        dialog.close();
      } else {
        QTest::mouseClick(dialog.button, Qt::LeftButton);
      }
    };
    // The close check follows the event that asked for it, so each request is its own action.
    QString text_after_no;
    bool open_after_no = false;
    answerer.QueueDialogAction([&](QWidget*) {
      QTest::keyClicks(dialog.first, "h7");
      request_close();  // answered No
    });
    answerer.QueueDialogAction([&](QWidget*) {
      open_after_no = dialog.isVisible() && dialog.InModalRun();
      text_after_no = dialog.first->text();
      request_close();  // answered Yes
    });
    QCOMPARE(tk::RunModal(dialog), result);
    QVERIFY(open_after_no);
    QCOMPARE(text_after_no, "h7");
    QCOMPARE(queries, 2);
    QVERIFY(!dialog.isVisible());
  }

  void errorInCloseCheckKeepsDialogOpen() {
    TestForm dialog(log_, "dialog");
    dialog.button->ModalResult = tk::mrOk;
    bool fail = true;
    dialog.OnCloseQuery = [&](QObject*, bool&) {
      if (fail) throw tol::Exception("Disk full");
    };
    tktest::ModalAnswerer answerer;
    answerer.QueueBoxAnswer(QMessageBox::Ok);
    std::int32_t result_after_error = -1;
    answerer.QueueDialogAction([&](QWidget*) { QTest::mouseClick(dialog.button, Qt::LeftButton); });
    answerer.QueueDialogAction([&](QWidget*) {
      result_after_error = dialog.ModalResult();
      fail = false;
      QTest::mouseClick(dialog.button, Qt::LeftButton);
    });
    QCOMPARE(tk::RunModal(dialog), tk::mrOk);
    QCOMPARE(result_after_error, tk::mrNone);
    QCOMPARE(answerer.Seen().size(), 1);
    QCOMPARE(answerer.Seen().front().text, "Disk full.");
  }

  void mainWindowClosingEndsModalRun() {
    TestForm main(log_, "main");
    QVERIFY(ShowActive(main));
    TestForm dialog(log_, "dialog");
    int dialog_queries = 0;
    dialog.OnCloseQuery = [&](QObject*, bool&) { ++dialog_queries; };
    dialog.button->OnClick = [&](QObject*) { main.RequestClose(); };
    tktest::ModalAnswerer answerer;
    answerer.QueueDialogAction([&](QWidget*) { QTest::mouseClick(dialog.button, Qt::LeftButton); });
    QCOMPARE(tk::RunModal(dialog), tk::mrCancel);
    QCOMPARE(dialog_queries, 0);
    QVERIFY(!main.isVisible());
  }

  void runEndsWhenMainWindowCloses() {
    TestForm main(log_, "main");
    QCOMPARE(tk::Application::Instance()->MainForm(), &main);
    main.first->OnEnter = [&](QObject*) {
      log_ << "main enter first";
      main.RequestClose();
    };
    QTimer hang;  // a loop that does not end fails the test
    hang.setSingleShot(true);
    connect(&hang, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
    hang.start(5000);
    QCOMPARE(tk::Application::Instance()->Run(), 0);
    QCOMPARE(log_, QStringList({"main activate", "main enter first"}));
    QVERIFY(!main.isVisible());
  }

  void misuseRaisesInvalidOperation() {
    TestForm form(log_, "main");
    TestForm other(log_, "other");
    QVERIFY(ShowActive(form));
    const QString visible = InvalidOperationOf([&] { tk::RunModal(form); });
    QCOMPARE(visible, tk::kCannotMakeModal);

    form.second->hide();
    form.first->setEnabled(false);
    const QString cannot = tk::kCannotFocus;
    QCOMPARE(InvalidOperationOf([&] { form.SetActiveControl(form.second); }), cannot);
    QCOMPARE(InvalidOperationOf([&] { form.SetActiveControl(form.first); }), cannot);
    QCOMPARE(InvalidOperationOf([&] { form.SetActiveControl(other.first); }), cannot);
    QCOMPARE(InvalidOperationOf([&] { form.SetActiveControl(nullptr); }), cannot);
    // A hidden window may name the control that takes the focus when it is shown.
    QCOMPARE(InvalidOperationOf([&] { other.SetActiveControl(other.second); }), QString());
    QCOMPARE(other.ActiveControl(), other.second);
  }

  void menuShortcutBeforeFocusedControl_data() {
    QTest::addColumn<bool>("greedy");
    QTest::newRow("plain line edit") << false;
    QTest::newRow("line edit overriding every short-cut") << true;
  }
  void menuShortcutBeforeFocusedControl() {
    QFETCH(bool, greedy);
    // A cell editor that claims every key for itself, and records the keys it gets.
    class Editor : public QLineEdit {
     public:
      using QLineEdit::QLineEdit;
      bool greedy = false;
      QList<int> keys;

     protected:
      bool event(QEvent* e) override {
        if (greedy && e->type() == QEvent::ShortcutOverride) e->accept();
        if (e->type() == QEvent::KeyPress) keys << static_cast<QKeyEvent*>(e)->key();
        return greedy && e->type() == QEvent::ShortcutOverride ? true : QLineEdit::event(e);
      }
    };
    TestForm form(log_, "main");
    auto* editor = new Editor(form.centralWidget());
    editor->greedy = greedy;
    QAction* save = form.menuBar()->addMenu("&Файл")->addAction("&Сохранить");
    save->setShortcut(QKeySequence(Qt::Key_F2));
    int saves = 0;
    tk::Connect(save, &QAction::triggered, &form, [&](QObject*) { ++saves; });
    QVERIFY(ShowActive(form));
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_F2);
    QCOMPARE(saves, 1);
    QVERIFY(!editor->keys.contains(Qt::Key_F2));
  }

  void editKeyPress_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QString>("text");
    QTest::newRow("letters discarded by QChar(0)") << "a1b2"
                                                   << "digits"
                                                   << "12";
    QTest::newRow("character replaced") << "H7"
                                        << "lower"
                                        << "h7";
    QTest::newRow("nothing discarded") << "H7 x"
                                       << "none"
                                       << "H7 x";
  }
  void editKeyPress() {
    QFETCH(QString, typed);
    QFETCH(QString, rule);
    QFETCH(QString, text);
    TestForm form(log_, "main");
    int changes = 0;
    form.first->OnChange = [&](QObject*) { ++changes; };
    form.first->OnKeyPress = [&](QObject*, QChar& key) {
      if (rule == "digits" && !key.isDigit()) key = QChar(0);
      if (rule == "lower") key = key.toLower();
    };
    QVERIFY(ShowActive(form));
    QTest::keyClicks(form.first, typed);
    QCOMPARE(form.first->text(), text);
    QCOMPARE(changes, text.size());
  }

  // The handler sees Enter and Backspace as characters; Delete is a key and reaches the text
  // even past a handler that discards every character but digits.
  void editSeesEnterAndBackspaceButNotDelete() {
    TestForm form(log_, "main");
    QList<int> keys;
    form.first->OnKeyPress = [&](QObject*, QChar& key) {
      keys << key.unicode();
      if (!key.isDigit() && key != QChar(8)) key = QChar(0);
    };
    QVERIFY(ShowActive(form));
    QTest::keyClicks(form.first, "123");
    QTest::keyClick(form.first, Qt::Key_Backspace);
    QTest::keyClick(form.first, Qt::Key_Return);
    QTest::keyClick(form.first, Qt::Key_Home);  // types no character
    // Delete with the text an X11 keyboard gives it.
    QTest::sendKeyEvent(QTest::Press, form.first, Qt::Key_Delete, QString(QChar(0x7F)), {});
    QTest::sendKeyEvent(QTest::Release, form.first, Qt::Key_Delete, QString(QChar(0x7F)), {});
    QCOMPARE(keys, QList<int>({'1', '2', '3', 8, 13}));
    QCOMPARE(form.first->text(), "2");
  }

  void editSelectionOnFocus_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("selects_all");
    QTest::newRow("tab key") << "tab" << true;
    QTest::newRow("ActiveControl") << "active" << true;
    QTest::newRow("mouse click places the caret") << "mouse" << false;
  }
  void editSelectionOnFocus() {
    QFETCH(QString, how);
    QFETCH(bool, selects_all);
    TestForm form(log_, "main");
    form.second->setText("hello");
    QVERIFY(ShowActive(form));
    QCOMPARE(QApplication::focusWidget(), form.first);
    if (how == "tab") QTest::keyClick(form.first, Qt::Key_Tab);
    if (how == "active") form.SetActiveControl(form.second);
    if (how == "mouse") QTest::mouseClick(form.second, Qt::LeftButton, {}, QPoint(20, 12));
    QCOMPARE(QApplication::focusWidget(), form.second);
    QCOMPARE(form.second->selectedText(), selects_all ? "hello" : "");
    QCOMPARE(log_.last(), "main enter second");
  }

  void applicationTitle_data() {
    QTest::addColumn<QString>("file_name");
    QTest::addColumn<QString>("title");
    QTest::newRow("upper case with extension") << "DEMO.EXE"
                                               << "Demo";
    QTest::newRow("no dot") << "Toledit"
                            << "Toledit";
    QTest::newRow("cut at the first of two dots") << "TOL.EDIT.EXE"
                                                  << "Tol";
    QTest::newRow("first letter kept as it is") << "toledit.exe"
                                                << "toledit";
    QTest::newRow("Cyrillic lower-cased") << "РЕДАКТОР.exe"
                                          << "Редактор";
  }
  void applicationTitle() {
    QFETCH(QString, file_name);
    QFETCH(QString, title);
    QCOMPARE(tk::TitleFromFileName(file_name), title);
  }

  void applicationTitleOfThisProgram() { QCOMPARE(tk::ApplicationTitle(), "test_windows"); }

  void decimalSeparatorFollowsLocale_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<char>("separator");
    QTest::newRow("comma") << QLocale(QLocale::Russian, QLocale::Russia) << ',';
    QTest::newRow("point") << QLocale(QLocale::English, QLocale::UnitedStates) << '.';
    QTest::newRow("not ASCII gives point") << QLocale(QLocale::Arabic, QLocale::Egypt) << '.';
  }
  void decimalSeparatorFollowsLocale() {
    QFETCH(QLocale, locale);
    QFETCH(char, separator);
    tol::SetDecimalSeparator(separator == '.' ? ',' : '.');
    QLocale::setDefault(locale);
    QEvent changed(QEvent::LocaleChange);
    QCoreApplication::sendEvent(qApp, &changed);
    QLocale::setDefault(QLocale::c());
    QCOMPARE(tol::DecimalSeparator(), separator);
  }

 private:
  QStringList log_;
};

int main(int argc, char** argv) {
  tk::Application application(argc, argv);
  TestWindows test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_windows.moc"
