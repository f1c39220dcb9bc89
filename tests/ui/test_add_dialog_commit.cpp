// The add dialogs' commit of a new line into the main grid, their close question and the
// unsaved flag of each kind; and one run through the main window down to the file.

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>

#include "data/memory_table.h"
#include "data/tolerance_file.h"
#include "tests/support/add_dialog_fixture.h"

using namespace tktest;

class TestAddDialogCommit : public QObject {
  Q_OBJECT

 private:
  std::optional<AnsweredMainWindow> window_;
  const std::vector<QString> captions_ = {QStringLiteral("Добавление квалитета"),
                                          QStringLiteral("Добавление интервала")};

 private slots:
  void init() { window_.emplace(); }
  void cleanup() { window_.reset(); }

  void saveAppendsOneLineAndStaysOpen_data() { AddKinds(); }
  void saveAppendsOneLineAndStaysOpen() {
    QFETCH(Kind, kind);
    RunDialog(kind, {EnterLine(NewLabel(kind), "0,5 -1"), kSave,
                     [&](AddDialog& d) {
                       QVERIFY(d.isVisible());
                       QVERIFY(!DialogUnsaved(kind));
                       QVERIFY(Form1->Unsaved());  // exiting the main window now asks first
                       const int line = NewMainLine(kind);
                       QCOMPARE(MainLineCell(kind, line, 0), Committed(kind));
                       for (int a = 1; a <= ValueCells(kind); ++a)
                         QCOMPARE(MainLineCell(kind, line, a), QStringLiteral("0,5 -1"));
                       // The saved label is now in the main grid.
                       Click(d.BitBtnSave);
                       QCOMPARE(VisibleMessages(d), QStringList{d.Label3->text()});
                       QCOMPARE(kind == kGrade ? Form1->StringGrid1->ColCount()
                                               : Form1->StringGrid1->RowCount(),
                                line + 1);
                     },
                     kExit});
    QCOMPARE(window_->Answers().Seen().size(), 0);  // after a save, closing asks nothing
  }

  // The committed label is the entry field's, even when it changed after the grid was entered.
  void saveCommitsTheLabelItChecked_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("erased");
    QTest::addColumn<QString>("retyped");
    QTest::addColumn<QString>("committed");  // empty: refused as existing
    QTest::newRow("grade renamed") << kGrade << 0 << "x"
                                   << "h9x   ";
    QTest::newRow("grade renamed to an existing one") << kGrade << 1 << "8"
                                                      << "";
    QTest::newRow("interval renamed") << kInterval << 0 << "0"
                                      << "До 400";
    QTest::newRow("interval renamed to an existing one") << kInterval << 2 << "30"
                                                         << "";
  }
  void saveCommitsTheLabelItChecked() {
    QFETCH(Kind, kind);
    QFETCH(int, erased);
    QFETCH(QString, retyped);
    QFETCH(QString, committed);
    RunDialog(kind, {EnterLine(NewLabel(kind)),
                     [&](AddDialog& d) {
                       QCOMPARE(NewLineCell(d, kind, 0), Committed(kind));
                       for (int i = 0; i < erased; ++i) QTest::keyClick(d.Edit1, Qt::Key_Backspace);
                       TypeInto(d.Edit1, retyped);
                       Click(d.BitBtnSave);
                       if (committed.isEmpty()) {
                         QVERIFY(d.Label3->isVisible());
                         QVERIFY(MainUnchanged());
                       } else {
                         QCOMPARE(NewLineCell(d, kind, 0), committed);
                         QCOMPARE(MainLineCell(kind, NewMainLine(kind), 0), committed);
                       }
                     },
                     kLeave});
  }

  void closeAsksWhileInputIsUnsaved_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<bool>("close_box");
    QTest::addColumn<bool>("saved");
    for (const Kind kind : {kGrade, kInterval}) {
      const char* name = kind == kGrade ? "grade" : "interval";
      QTest::addRow("%s, exit button, typed", name) << kind << false << false;
      QTest::addRow("%s, close box, typed", name) << kind << true << false;
      QTest::addRow("%s, exit button, saved", name) << kind << false << true;
      QTest::addRow("%s, close box, saved", name) << kind << true << true;
    }
  }
  void closeAsksWhileInputIsUnsaved() {
    QFETCH(Kind, kind);
    QFETCH(bool, close_box);
    QFETCH(bool, saved);
    const Step close = [close_box](AddDialog& d) {
      if (close_box) {
        d.close();
      } else {
        Click(d.BitBtnExit);
      }
    };
    if (saved) {
      RunDialog(kind, {EnterLine(NewLabel(kind)), kSave, close});
      QCOMPARE(window_->Answers().Seen().size(), 0);
      return;
    }
    window_->Answers().QueueBoxAnswer(QMessageBox::No);
    window_->Answers().QueueBoxAnswer(QMessageBox::Yes);
    RunDialog(kind, {[&](AddDialog& d) { TypeInto(d.Edit1, NewLabel(kind)); }, close,
                     [&](AddDialog& d) {
                       QVERIFY(d.isVisible());  // No keeps the dialog with what was typed
                       QCOMPARE(d.Edit1->text(), NewLabel(kind));
                     },
                     close});
    QCOMPARE(window_->Answers().Seen().size(), 2);
    for (const tktest::SeenBox& box : window_->Answers().Seen()) {
      QCOMPARE(box.title, captions_[kind]);
      QCOMPARE(box.text, QStringLiteral("Значения допусков не записаны. Выходить?"));
      QCOMPARE(box.icon, static_cast<int>(QMessageBox::Question));
    }
  }

  // A dialog closed with Yes while unsaved leaves its kind's flag set for the next opening.
  void unsavedFlagOutlivesTheDialog_data() { AddKinds(); }
  void unsavedFlagOutlivesTheDialog() {
    QFETCH(Kind, kind);
    window_->Answers().QueueBoxAnswer(QMessageBox::Yes);
    window_->Answers().QueueBoxAnswer(QMessageBox::Yes);
    RunDialog(kind, {[&](AddDialog& d) { TypeInto(d.Edit1, "5"); }, kExit});
    RunDialog(kind, {kExit});
    QCOMPARE(window_->Answers().Seen().size(), 2);
    RunDialog(kind == kGrade ? kInterval : kGrade,
              {kExit});  // the other kind has a flag of its own
    QCOMPARE(window_->Answers().Seen().size(), 2);
  }

  // Through the main window's command: the added line outlives the dialog (the main window is
  // not reloaded when the dialog closes) and the main window's save writes it to the file.
  void addedLineReachesTheFile_data() { AddKinds(); }
  void addedLineReachesTheFile() {
    QFETCH(Kind, kind);
    QTemporaryDir dir;
    const QString home = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    QFile file(tol::kToleranceFileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    tol::MemoryTable table;
    FillTable(table);
    tol::StoreTable(table);
    tk::DisposeWindow(Form1);
    Form1 = new TForm1;
    Form1->show();
    QVERIFY(QTest::qWaitForWindowActive(Form1));
    QCOMPARE(Form1->StringGrid1->ColCount(), kGrades + 1);

    std::optional<Steps> driver;
    window_->Answers().QueueDialogAction([&](QWidget* dialog) {
      driver.emplace(static_cast<AddDialog*>(dialog),
                     std::vector<Step>{EnterLine(NewLabel(kind), "0,5 1"), kSave, kExit},
                     [](AddDialog& d) { d.SetModalResult(tk::mrOk); });
    });
    Click(kind == kGrade ? Form1->AddKv : Form1->AddInt);
    QVERIFY(driver && driver->AllRan() && !driver->LeftOpen());
    QCOMPARE(MainLineCell(kind, NewMainLine(kind), 0), Committed(kind));

    Click(Form1->Save);
    tol::MemoryTable stored;
    tol::LoadTable(stored);
    QDir::setCurrent(home);
    QCOMPARE(stored.ColCount(), Form1->StringGrid1->ColCount());
    QCOMPARE(stored.RowCount(), Form1->StringGrid1->RowCount());
    const int line = NewMainLine(kind);
    QCOMPARE(Text(kind == kGrade ? stored.GetCell(line, 0) : stored.GetCell(0, line)),
             Committed(kind));
  }
};

int main(int argc, char** argv) {
  TestAddDialogCommit tests;
  return RunAddDialogTests(tests, argc, argv);
}

#include "test_add_dialog_commit.moc"
