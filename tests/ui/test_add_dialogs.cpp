// The add-grade and add-interval dialogs, driven by real key and mouse events from inside their
// modal loops, against a main window whose grid holds a small table.

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>

#include "data/memory_table.h"
#include "data/tolerance_file.h"
#include "tests/support/dialog_steps.h"
#include "tests/support/modal_answer.h"
#include "toolkit/application.h"
#include "toolkit/controls.h"
#include "toolkit/string_grid.h"
#include "ui/Addint.h"
#include "ui/Addkv.h"
#include "ui/main_window.h"

namespace {

enum Kind { Grade, Interval };
using Step = std::function<void(AddDialog&)>;
using Steps = tktest::DialogSteps<AddDialog>;

// Rows of the main table: two grades (H7 as loaded from a file) and three intervals.
const std::vector<std::vector<std::string>> kTable = {
    {"     мм  ", "H7    ", "h8    "},
    {"До 10", "0,015 0", "0,022 0"},
    {"До 18", "0,018 0", "0,027 0"},
    {"До 30", "0,021 0", "0,033 0"},
};
constexpr int kIntervals = 3;
constexpr int kGrades = 2;

void FillTable(tol::CellTable& table) {
  table.SetRowCount(static_cast<std::int32_t>(kTable.size()));
  table.SetColCount(static_cast<std::int32_t>(kTable[0].size()));
  for (std::size_t row = 0; row < kTable.size(); ++row)
    for (std::size_t col = 0; col < kTable[row].size(); ++col)
      table.SetCell(static_cast<std::int32_t>(col), static_cast<std::int32_t>(row),
                    kTable[row][col]);
}

QWidget* Focused() { return QApplication::focusWidget(); }
void Type(const QString& text) { QTest::keyClicks(Focused(), text); }
void Press(Qt::Key key) { QTest::keyClick(Focused(), key); }
void Click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }

// Cell `index` along the dialog's new line (0 is its label cell).
QString NewLineCell(const AddDialog& d, Kind kind, int index) {
  const std::string text = kind == Grade ? d.StringGrid1->GetCell(1, index)
                                         : d.StringGrid1->GetCell(index, 1);
  return QString::fromStdString(text);
}
int CurrentIndex(const AddDialog& d, Kind kind) {
  return kind == Grade ? d.StringGrid1->CurrentRow() : d.StringGrid1->CurrentCol();
}
int ValueCells(Kind kind) { return kind == Grade ? kIntervals : kGrades; }

// Names the label, enters the grid with Enter and types one value pair into each value cell.
Step EnterLine(const QString& label, const QString& values = QStringLiteral("0,018 0")) {
  return [label, values](AddDialog& d) {
    QTest::keyClicks(d.Edit1, label);
    QTest::keyClick(d.Edit1, Qt::Key_Return);
    for (int a = 0; a < 4; ++a) {
      Type(values);
      Press(Qt::Key_Return);
    }
  };
}
void ForgetUnsaved() {
  TFormAddKv::ForgetUnsaved();
  TFormAddInt::ForgetUnsaved();
}
QString Text(const std::string& text) { return QString::fromStdString(text); }

QStringList VisibleMessages(const AddDialog& d) {
  QStringList visible;
  for (const QLabel* label : {d.Label2, d.Label3, d.Label4})
    if (label->isVisible()) visible << label->text();
  return visible;
}

// Where a committed line lands in the main grid, and its cells.
int NewMainLine(Kind kind) {
  return static_cast<int>(kind == Grade ? kTable[0].size() : kTable.size());
}
QString MainLineCell(Kind kind, int line, int index) {
  const tk::StringGrid& grid = *Form1->StringGrid1;
  return Text(kind == Grade ? grid.GetCell(line, index) : grid.GetCell(index, line));
}
bool MainUnchanged() {
  const tk::StringGrid& grid = *Form1->StringGrid1;
  return grid.ColCount() == static_cast<int>(kTable[0].size()) &&
         grid.RowCount() == static_cast<int>(kTable.size()) && !Form1->Unsaved();
}
bool DialogUnsaved(Kind kind) {
  return kind == Grade ? TFormAddKv::Unsaved() : TFormAddInt::Unsaved();
}
QString NewLabel(Kind kind) { return kind == Grade ? "h9" : "40"; }
QString Committed(Kind kind) { return kind == Grade ? "h9    " : "До 40"; }

const Step kSave = [](AddDialog& d) { Click(d.BitBtnSave); };
const Step kExit = [](AddDialog& d) { Click(d.BitBtnExit); };
// Closes without the question, for cases about something else.
const Step kLeave = [](AddDialog& d) {
  ForgetUnsaved();
  Click(d.BitBtnExit);
};

}  // namespace

class TestAddDialogs : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<tktest::ModalAnswerer> answerer_;
  const std::vector<QString> captions_ = {QStringLiteral("Добавление квалитета"),
                                          QStringLiteral("Добавление интервала")};

  // Runs a fresh dialog of kind as the add commands do; fails when a step left it open.
  void Run(Kind kind, std::vector<Step> steps) {
    AddDialog* dialog = kind == Grade ? static_cast<AddDialog*>(FormAddKv = new TFormAddKv)
                                      : static_cast<AddDialog*>(FormAddInt = new TFormAddInt);
    Steps driver(dialog, std::move(steps), [](AddDialog& d) {
      ForgetUnsaved();
      d.SetModalResult(tk::mrOk);
    });
    (void)tk::RunModal(*dialog);
    tk::HideWindow(*dialog);
    tk::DisposeWindow(dialog);
    FormAddKv = nullptr;
    FormAddInt = nullptr;
    QVERIFY2(driver.AllRan(), "the dialog closed before its last step");
    QVERIFY2(!driver.LeftOpen(), "the dialog was still open after its last step");
  }

  static void AddKinds() {
    QTest::addColumn<Kind>("kind");
    QTest::newRow("grade") << Grade;
    QTest::newRow("interval") << Interval;
  }

 private slots:
  void init() {
    ForgetUnsaved();
    answerer_ = std::make_unique<tktest::ModalAnswerer>();
    Form1 = new TForm1;
    FillTable(*Form1->StringGrid1);
  }
  void cleanup() {
    answerer_.reset();
    tk::DisposeWindow(Form1);
    Form1 = nullptr;
  }

  void EntryFieldKeepsOnlyWhatALabelCanHold_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("shown");
    QTest::newRow("grade names are lower case") << Grade << false << "H7" << "h7";
    QTest::newRow("grade names have six characters") << Grade << false << "abcdefgh" << "abcdef";
    QTest::newRow("Cyrillic is kept, lowered") << Grade << false << "ЖЁ7" << "жё7";
    QTest::newRow("no Windows-1251 form, refused") << Grade << false << "h✓7" << "h7";
    QTest::newRow("pasted grade lowered") << Grade << true << "H7" << "h7";
    QTest::newRow("pasted grade without Windows-1251 form") << Grade << true << "h✓" << "";
    QTest::newRow("letters and signs dropped") << Interval << false << "2a5x-0." << "250";
    QTest::newRow("bounds have ten digits") << Interval << false << "12345678901" << "1234567890";
  }
  void EntryFieldKeepsOnlyWhatALabelCanHold() {
    QFETCH(Kind, kind);
    QFETCH(bool, pasted);
    QFETCH(QString, input);
    QFETCH(QString, shown);
    if (pasted) QApplication::clipboard()->setText(input);
    Run(kind, {[&](AddDialog& d) {
                 if (pasted) {
                   QTest::keyClick(d.Edit1, Qt::Key_V, Qt::ControlModifier);
                 } else {
                   QTest::keyClicks(d.Edit1, input);
                 }
                 QCOMPARE(d.Edit1->text(), shown);
               },
               kLeave});
  }

  void MissingOrExistingLabelIsRefused_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<bool>("bySave");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    for (const bool bySave : {false, true}) {
      const char* how = bySave ? "save: " : "enter: ";
      QTest::addRow("%sno grade", how) << Grade << bySave << "" << "Не задан квалитет";
      QTest::addRow("%sgrade H7 exists, case ignored", how)
          << Grade << bySave << "h7" << "Такой квалитет уже есть";
      QTest::addRow("%sno interval", how) << Interval << bySave << "" << "Не задан интервал";
      QTest::addRow("%sinterval exists", how)
          << Interval << bySave << "10" << "Такой интервал уже есть";
    }
  }
  void MissingOrExistingLabelIsRefused() {
    QFETCH(Kind, kind);
    QFETCH(bool, bySave);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    Run(kind, {[&](AddDialog& d) {
                 QTest::keyClicks(d.Edit1, typed);
                 if (bySave) {
                   Click(d.BitBtnSave);
                 } else {
                   QTest::keyClick(d.Edit1, Qt::Key_Return);
                 }
                 QCOMPARE(Focused(), static_cast<QWidget*>(d.Edit1));
                 QCOMPARE(d.Edit1->selectedText(), typed);
                 QCOMPARE(VisibleMessages(d), QStringList{message});
                 QCOMPARE(NewLineCell(d, kind, 0), QString());
                 QVERIFY(MainUnchanged());
                 // The next key in the entry field hides the message again.
                 QTest::keyClick(d.Edit1, Qt::Key_Backspace);
                 QCOMPARE(VisibleMessages(d), QStringList{});
               },
               kLeave});
  }

  void EnterStepsOnUntilTheLastValueCell_data() { AddKinds(); }
  void EnterStepsOnUntilTheLastValueCell() {
    QFETCH(Kind, kind);
    Run(kind, {[&](AddDialog& d) {
                 QTest::keyClicks(d.Edit1, "77");
                 QTest::keyClick(d.Edit1, Qt::Key_Return);
                 QVERIFY(d.StringGrid1->isAncestorOf(Focused()) || Focused() == d.StringGrid1);
                 QCOMPARE(NewLineCell(d, kind, 0), kind == Grade ? "77    " : "До 77");
                 QVERIFY(DialogUnsaved(kind));
                 // The main grid's labels of the other direction, copied into the fixed line.
                 QCOMPARE(Text(kind == Grade ? d.StringGrid1->GetCell(0, kIntervals)
                                             : d.StringGrid1->GetCell(kGrades, 0)),
                          Text(kind == Grade ? kTable[kIntervals][0] : kTable[0][kGrades]));
                 QCOMPARE(CurrentIndex(d, kind), 1);
                 for (int a = 1; a <= ValueCells(kind) + 2; ++a) {
                   Type("x1y2");  // letters never reach a value cell
                   Press(Qt::Key_Return);
                   QCOMPARE(CurrentIndex(d, kind), std::min(a + 1, ValueCells(kind)));
                 }
                 QCOMPARE(NewLineCell(d, kind, 1), QStringLiteral("12"));
               },
               kLeave});
  }

  void SaveStopsOnTheFirstBadValueCell_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<int>("bad");
    QTest::newRow("empty cell") << Grade << QStringList{"0,018 0", "", "1 2"} << 2;
    QTest::newRow("one number only") << Grade << QStringList{"0,018", "1 2", "1 2"} << 1;
    QTest::newRow("sign without digits") << Grade << QStringList{"1 2", "3 4", "+ 5"} << 3;
    QTest::newRow("two decimal points") << Interval << QStringList{"1..2 3", "1 2"} << 1;
    QTest::newRow("last cell empty") << Interval << QStringList{"1 2", ""} << 2;
  }
  void SaveStopsOnTheFirstBadValueCell() {
    QFETCH(Kind, kind);
    QFETCH(QStringList, values);
    QFETCH(int, bad);
    Run(kind, {[&](AddDialog& d) {
                 QTest::keyClicks(d.Edit1, NewLabel(kind));
                 QTest::keyClick(d.Edit1, Qt::Key_Return);
                 for (const QString& value : values) {
                   Type(value);
                   Press(Qt::Key_Return);
                 }
                 Click(d.BitBtnSave);
                 QCOMPARE(VisibleMessages(d), QStringList{"Ошибка при вводе допусков"});
                 QCOMPARE(CurrentIndex(d, kind), bad);
                 QVERIFY(d.StringGrid1->isAncestorOf(Focused()) || Focused() == d.StringGrid1);
                 QVERIFY(MainUnchanged());
                 Type("1");  // the next key in the grid hides the message
                 QCOMPARE(VisibleMessages(d), QStringList{});
               },
               kLeave});
  }

  void SaveAppendsOneLineAndStaysOpen_data() { AddKinds(); }
  void SaveAppendsOneLineAndStaysOpen() {
    QFETCH(Kind, kind);
    Run(kind, {EnterLine(NewLabel(kind), "0,5 -1"), kSave,
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
                 QCOMPARE(kind == Grade ? Form1->StringGrid1->ColCount()
                                        : Form1->StringGrid1->RowCount(),
                          line + 1);
               },
               kExit});
    QCOMPARE(answerer_->Seen().size(), 0);  // after a save, closing asks nothing
  }

  // The committed label is the entry field's, even when it changed after the grid was entered.
  void SaveCommitsTheLabelItChecked_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("erased");
    QTest::addColumn<QString>("retyped");
    QTest::addColumn<QString>("committed");  // empty: refused as existing
    QTest::newRow("grade renamed") << Grade << 0 << "x" << "h9x   ";
    QTest::newRow("grade renamed to an existing one") << Grade << 1 << "8" << "";
    QTest::newRow("interval renamed") << Interval << 0 << "0" << "До 400";
    QTest::newRow("interval renamed to an existing one") << Interval << 2 << "30" << "";
  }
  void SaveCommitsTheLabelItChecked() {
    QFETCH(Kind, kind);
    QFETCH(int, erased);
    QFETCH(QString, retyped);
    QFETCH(QString, committed);
    Run(kind, {EnterLine(NewLabel(kind)),
               [&](AddDialog& d) {
                 QCOMPARE(NewLineCell(d, kind, 0), Committed(kind));
                 for (int i = 0; i < erased; ++i) QTest::keyClick(d.Edit1, Qt::Key_Backspace);
                 QTest::keyClicks(d.Edit1, retyped);
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

  void CloseAsksWhileInputIsUnsaved_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<bool>("closeBox");
    QTest::addColumn<bool>("saved");
    for (const Kind kind : {Grade, Interval}) {
      const char* name = kind == Grade ? "grade" : "interval";
      QTest::addRow("%s, exit button, typed", name) << kind << false << false;
      QTest::addRow("%s, close box, typed", name) << kind << true << false;
      QTest::addRow("%s, exit button, saved", name) << kind << false << true;
      QTest::addRow("%s, close box, saved", name) << kind << true << true;
    }
  }
  void CloseAsksWhileInputIsUnsaved() {
    QFETCH(Kind, kind);
    QFETCH(bool, closeBox);
    QFETCH(bool, saved);
    const Step close = [closeBox](AddDialog& d) {
      if (closeBox) {
        d.close();
      } else {
        Click(d.BitBtnExit);
      }
    };
    if (saved) {
      Run(kind, {EnterLine(NewLabel(kind)), kSave, close});
      QCOMPARE(answerer_->Seen().size(), 0);
      return;
    }
    answerer_->QueueBoxAnswer(QMessageBox::No);
    answerer_->QueueBoxAnswer(QMessageBox::Yes);
    Run(kind, {[&](AddDialog& d) { QTest::keyClicks(d.Edit1, NewLabel(kind)); }, close,
               [&](AddDialog& d) {
                 QVERIFY(d.isVisible());  // No keeps the dialog with what was typed
                 QCOMPARE(d.Edit1->text(), NewLabel(kind));
               },
               close});
    QCOMPARE(answerer_->Seen().size(), 2);
    for (const tktest::SeenBox& box : answerer_->Seen()) {
      QCOMPARE(box.title, captions_[kind]);
      QCOMPARE(box.text, QStringLiteral("Значения допусков не записаны. Выходить?"));
      QCOMPARE(box.icon, static_cast<int>(QMessageBox::Question));
    }
  }

  // A dialog closed with Yes while unsaved leaves its kind's flag set for the next opening.
  void UnsavedFlagOutlivesTheDialog_data() { AddKinds(); }
  void UnsavedFlagOutlivesTheDialog() {
    QFETCH(Kind, kind);
    answerer_->QueueBoxAnswer(QMessageBox::Yes);
    answerer_->QueueBoxAnswer(QMessageBox::Yes);
    Run(kind, {[&](AddDialog& d) { QTest::keyClicks(d.Edit1, "5"); }, kExit});
    Run(kind, {kExit});
    QCOMPARE(answerer_->Seen().size(), 2);
    Run(kind == Grade ? Interval : Grade, {kExit});  // the other kind has a flag of its own
    QCOMPARE(answerer_->Seen().size(), 2);
  }

  // Through the main window's command: the added line outlives the dialog (the main window is
  // not reloaded when the dialog closes) and the main window's save writes it to the file.
  void AddedLineReachesTheFile_data() { AddKinds(); }
  void AddedLineReachesTheFile() {
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
    answerer_->QueueDialogAction([&](QWidget* dialog) {
      driver.emplace(static_cast<AddDialog*>(dialog),
                     std::vector<Step>{EnterLine(NewLabel(kind), "0,5 1"), kSave, kExit},
                     [](AddDialog& d) { d.SetModalResult(tk::mrOk); });
    });
    Click(kind == Grade ? Form1->AddKv : Form1->AddInt);
    QVERIFY(driver && driver->AllRan() && !driver->LeftOpen());
    QCOMPARE(MainLineCell(kind, NewMainLine(kind), 0), Committed(kind));

    Click(Form1->Save);
    tol::MemoryTable stored;
    tol::LoadTable(stored);
    QDir::setCurrent(home);
    QCOMPARE(stored.ColCount(), Form1->StringGrid1->ColCount());
    QCOMPARE(stored.RowCount(), Form1->StringGrid1->RowCount());
    const int line = NewMainLine(kind);
    QCOMPARE(Text(kind == Grade ? stored.GetCell(line, 0) : stored.GetCell(0, line)),
             Committed(kind));
  }
};

int main(int argc, char** argv) {
  tk::Application application(argc, argv);
  tk::Form mainWindow;  // the application's main window, so that closing no Form1 ends the run
  TestAddDialogs tests;
  return QTest::qExec(&tests, argc, argv);
}

#include "test_add_dialogs.moc"
