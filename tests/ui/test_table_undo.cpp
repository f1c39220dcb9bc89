// Undo and redo in the main window: sequences of edits, deletes, adds, pastes, saves, undos and
// redos driven by real key presses, checked after every step against a model of the table that
// applies each command on its own (texts, column widths, current cell and the unsaved flag).

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QUndoStack>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/add_dialog_fixture.h"
#include "tests/ui/main_window_session.h"
#include "toolkit/application.h"
#include "toolkit/string_grid.h"
#include "ui/main_window.h"
#include "ui/table_undo.h"

using mwtest::Localized;
using mwtest::MoveToCell;
using mwtest::PressKey;
using mwtest::TableFile;

namespace {

using Cells = std::vector<std::vector<std::string>>;  // [row][col]

struct TableState {
  Cells cells;
  std::vector<int> widths;
  QPoint current;  // where the command left the current cell
};

TableState Read(const tk::StringGrid& grid) {
  TableState state{{}, {}, QPoint(grid.CurrentCol(), grid.CurrentRow())};
  for (int row = 0; row < grid.RowCount(); ++row) {
    state.cells.emplace_back();
    for (int col = 0; col < grid.ColCount(); ++col) {
      state.cells.back().push_back(grid.GetCell(col, row));
    }
  }
  for (int col = 0; col < grid.ColCount(); ++col) state.widths.push_back(grid.ColWidth(col));
  return state;
}

QString Show(const Cells& cells) {
  QString text;
  for (const auto& row : cells) {
    for (const auto& cell : row) text += QString::fromStdString(cell) + u'|';
    text += u'\n';
  }
  return text;
}

// The expected history: states[i] is the table after step i (states[0] as loaded), befores[i]
// the current cell step i started from, index the step the table is at, saved the step the file
// holds (-1: none reachable any more).
struct Model {
  std::vector<TableState> states;
  std::vector<QPoint> befores;
  int index = 0;
  int saved = 0;
  bool unsaved = false;
  QPoint current;  // expected after the latest command

  [[nodiscard]] TableState Next() const { return states[static_cast<std::size_t>(index)]; }
  void Push(TableState state, QPoint before) {
    states.resize(static_cast<std::size_t>(index) + 1);
    befores.resize(static_cast<std::size_t>(index) + 1);
    if (saved > index) saved = -1;
    states.push_back(std::move(state));
    befores.push_back(before);
    ++index;
    unsaved = true;
    current = states.back().current;
  }
};

// Three intervals by three grades.
TableFile ThreeByThree() {
  return {{10, 18, 30},
          {"a     ", "bb    ", "ccc   "},
          {{{1, 2}, {3, 4}, {5, 6}},
           {{-0.125, -0.25}, {0, 0}, {7, 8}},
           {{100000, 200000}, {0, 0}, {9, 10}}}};
}

// Names the new line, enters the grid and types values into each of its value cells.
tktest::Step FillLine(const QString& label, const QString& values) {
  return [label, values](AddDialog& d) {
    const bool grade = dynamic_cast<TFormAddKv*>(&d) != nullptr;
    tktest::TypeInto(d.Edit1, label);
    QTest::keyClick(d.Edit1, Qt::Key_Return);
    const int cells = grade ? d.StringGrid1->RowCount() : d.StringGrid1->ColCount();
    for (int a = 1; a < cells; ++a) {
      if (a > 1) tktest::Press(Qt::Key_Return);
      tktest::Type(values);
    }
  };
}

void RunDialogSteps(tktest::ModalAnswerer& answers, QWidget* button, const QString& label,
                    const QString& values) {
  std::optional<tktest::Steps> driver;
  answers.QueueDialogAction([&](QWidget* dialog) {
    driver.emplace(static_cast<AddDialog*>(dialog),
                   std::vector<tktest::Step>{FillLine(label, values), tktest::kSave, tktest::kExit},
                   [](AddDialog& d) { d.SetModalResult(tk::mrOk); });
  });
  QTest::mouseClick(button, Qt::LeftButton);
  QVERIFY(driver && driver->AllRan() && !driver->LeftOpen());
}

Model Loaded(const TForm1& form) {
  Model model;
  model.states.push_back(Read(*form.StringGrid1));
  model.befores.emplace_back();
  model.current = model.states[0].current;
  return model;
}

// One command of a sequence, written as words: "e c r text" edits a cell, "dg c" and "di r"
// delete a grade or an interval (answering Yes), "ag name pair" and "ai bound pair" add one
// through its dialog, "c c r text" writes a cell through the history's own call, "p c r tsv" pastes
// a block ("|" for a tab, "/" for a line end), "u" is Ctrl+Z, "y" Ctrl+Y, "z" Ctrl+Shift+Z, "m" the
// menu's undo item, "s" F2.
void Run(TForm1& form, tktest::ModalAnswerer& answers, Model& model, const QString& command) {
  tk::StringGrid& grid = *form.StringGrid1;
  const QStringList words = command.split(u' ');
  const QString verb = words[0];
  auto at = [&](int i) { return words[i].toInt(); };
  TableState next = model.Next();
  QPoint before;
  if (verb == "e") {
    before = QPoint(at(1), at(2));
    MoveToCell(form, at(1), at(2));
    mwtest::TypeText(words.mid(3).join(u' '));
    PressKey(Qt::Key_Return);
    next.cells[at(2)][at(1)] = words.mid(3).join(u' ').toStdString();
  } else if (verb == "dg") {
    before = QPoint(at(1), 1);
    MoveToCell(form, at(1), 1);
    answers.QueueBoxAnswer(QMessageBox::Yes);
    QTest::mouseClick(form.DelKv, Qt::LeftButton);
    for (auto& row : next.cells) row.erase(row.begin() + at(1));
    next.widths.erase(next.widths.begin() + at(1));
  } else if (verb == "di") {
    before = QPoint(1, at(1));
    MoveToCell(form, 1, at(1));
    answers.QueueBoxAnswer(QMessageBox::Yes);
    QTest::mouseClick(form.DelInt, Qt::LeftButton);
    next.cells.erase(next.cells.begin() + at(1));
  } else if (verb == "ag" || verb == "ai") {
    before = QPoint(grid.CurrentCol(), grid.CurrentRow());
    const bool grade = verb == "ag";
    RunDialogSteps(answers, grade ? form.AddKv : form.AddInt, words[1], words.mid(2).join(u' '));
    const std::string value = words.mid(2).join(u' ').toStdString();
    if (grade) {
      next.cells[0].push_back((words[1] + QString(6 - words[1].size(), u' ')).toStdString());
      for (std::size_t row = 1; row < next.cells.size(); ++row) next.cells[row].push_back(value);
      next.widths.push_back(tk::StringGrid::DefaultColWidth);
    } else {
      next.cells.emplace_back(next.cells[0].size(), value);
      next.cells.back()[0] = "До " + words[1].toStdString();
    }
  } else if (verb == "p") {
    before = QPoint(at(1), at(2));
    MoveToCell(form, at(1), at(2));
    QString block = words[3];
    QApplication::clipboard()->setText(block.replace(u'|', u'\t').replace(u'/', u'\n'));
    PressKey(Qt::Key_V, Qt::ControlModifier);
    // Each pasted pair of numbers in the cell form, in the order of the block.
    const QStringList lines = words[3].split(u'/');
    for (int r = 0; r < lines.size(); ++r) {
      const QStringList fields = lines[r].split(u'|');
      for (int c = 0; c + 1 < fields.size(); c += 2) {
        next.cells[at(2) + r][at(1) + c / 2] =
            Localized((fields[c] + u' ' + fields[c + 1]).toStdString());
      }
    }
  } else if (verb == "c") {
    before = QPoint(grid.CurrentCol(), grid.CurrentRow());
    const std::string text = words.mid(3).join(u' ').toStdString();
    form.UndoHistory().PushCellChanges(QStringLiteral("заполнение"), {{at(1), at(2), text}});
    next.cells[at(2)][at(1)] = text;
  } else if (verb == "s") {
    PressKey(Qt::Key_F2);
    model.saved = model.index;
    model.unsaved = false;
    return;
  } else {
    const bool undo = verb == "u" || verb == "m";
    if (verb == "m") {
      form.UndoHistory().UndoAction()->trigger();
    } else {
      PressKey(verb == "y" ? Qt::Key_Y : Qt::Key_Z,
               verb == "z" ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
    }
    const int target = model.index + (undo ? -1 : 1);
    if (target < 0 || target >= static_cast<int>(model.states.size())) return;  // nothing to do
    model.index = target;
    model.unsaved = model.index != model.saved;
    model.current = undo ? model.befores[static_cast<std::size_t>(target) + 1]
                         : model.states[static_cast<std::size_t>(target)].current;
    return;
  }
  next.current = QPoint(grid.CurrentCol(), grid.CurrentRow());  // checked again after a redo
  model.Push(std::move(next), before);
}

}  // namespace

class TestTableUndo : public QObject {
  Q_OBJECT

 private slots:
  void init() { tktest::ForgetUnsaved(); }
  void sequences_data();
  void sequences();
  void menuItemsNameTheStep();
  void savedStateAfterUndoingPastTheSave();
  void writesKeepOnlyChangedCells();
};

void TestTableUndo::sequences_data() {
  QTest::addColumn<QStringList>("commands");
  QTest::newRow("one edit undone and redone both ways")
      << QStringList{"e 1 1 5 6", "u", "y", "u", "z", "u", "u"};
  QTest::newRow("edits in two cells undone in reverse order")
      << QStringList{"e 1 1 5 6", "e 2 2 7 8", "u", "u", "y", "y", "y"};
  QTest::newRow("a middle grade deleted: texts and widths come back")
      << QStringList{"dg 2", "u", "y", "u"};
  QTest::newRow("an interval deleted and an edit below it")
      << QStringList{"di 1", "e 1 1 9 9", "u", "u", "y", "y"};
  QTest::newRow("a new step after an undo drops the redo")
      << QStringList{"e 1 1 1 1", "e 1 2 2 2", "u", "e 3 3 3 3", "y", "u", "u", "u"};
  QTest::newRow("grade and interval added through their dialogs")
      << QStringList{"ag h9 0,5 1", "ai 40 2 3", "u", "u", "y", "y", "dg 4", "u"};
  QTest::newRow("save, undo, redo back to the saved state")
      << QStringList{"e 1 1 5 6", "s", "u", "y", "e 2 1 7 8", "u", "m"};
  QTest::newRow("paste, edit over it, undo both")
      << QStringList{"p 1 1 1|2|3|4/5|6|7|8", "e 2 2 0 0", "u", "u", "y", "y"};
  QTest::newRow("paste after deleting the grade it lands on")
      << QStringList{"dg 1", "p 1 2 0.5|-1", "u", "u", "y", "s", "y", "u"};
  QTest::newRow("paste over an added interval, undone with the menu item")
      << QStringList{"ai 40 2 3", "p 2 4 1|-1|2|-2", "m", "m", "y", "y"};
  QTest::newRow("cells written through the history's call, then edited")
      << QStringList{"c 1 1 9 9", "e 1 1 0 0", "u", "u", "y", "y"};
}

void TestTableUndo::sequences() {
  QFETCH(QStringList, commands);
  mwtest::WorkDir dir(ThreeByThree().Bytes());
  tktest::ModalAnswerer answers;
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    Model model = Loaded(form);
    for (const QString& command : commands) {
      Run(form, answers, model, command);
      if (QTest::currentTestFailed()) return;
      const TableState expected = model.Next();
      const TableState actual = Read(*form.StringGrid1);
      QVERIFY2(actual.cells == expected.cells,
               qPrintable(command + "\nexpected:\n" + Show(expected.cells) + "actual:\n" +
                          Show(actual.cells)));
      QVERIFY2(actual.widths == expected.widths, qPrintable(command));
      QCOMPARE(actual.current, model.current);
      QVERIFY2(form.Unsaved() == model.unsaved, qPrintable(command));
    }
  });
  QVERIFY(outcome.script_ran);
}

void TestTableUndo::menuItemsNameTheStep() {
  mwtest::WorkDir dir(ThreeByThree().Bytes());
  tktest::ModalAnswerer answers;
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    QAction* undo = form.UndoHistory().UndoAction();
    QAction* redo = form.UndoHistory().RedoAction();
    const QList<QAction*> items = form.MenuEditor->actions();
    QCOMPARE(items.mid(items.size() - 2), (QList<QAction*>{undo, redo}));  // the menu's end
    QCOMPARE(redo->shortcuts(),
             (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Y),
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}));
    struct Expectation {
      const char* command;
      const char* undo_text;
      bool undo_enabled;
      const char* redo_text;
      bool redo_enabled;
    };
    const Expectation steps[] = {
        {"dg 2", "Отменить удаление квалитета bb", true, "Повторить", false},
        {"di 3", "Отменить удаление интервала До 30", true, "Повторить", false},
        {"e 1 1 5 6", "Отменить правку допуска", true, "Повторить", false},
        {"u", "Отменить удаление интервала До 30", true, "Повторить правку допуска", true},
        {"p 1 1 3|2", "Отменить вставку", true, "Повторить", false},
        {"u", "Отменить удаление интервала До 30", true, "Повторить вставку", true},
        {"c 1 1 3 2", "Отменить заполнение", true, "Повторить", false},
        {"u", "Отменить удаление интервала До 30", true, "Повторить заполнение", true},
        {"u", "Отменить удаление квалитета bb", true, "Повторить удаление интервала До 30", true},
        {"u", "Отменить", false, "Повторить удаление квалитета bb", true},
    };
    Model model = Loaded(form);
    for (const Expectation& step : steps) {
      Run(form, answers, model, QString::fromUtf8(step.command));
      QCOMPARE(undo->text(), QString::fromUtf8(step.undo_text));
      QCOMPARE(undo->isEnabled(), step.undo_enabled);
      QCOMPARE(redo->text(), QString::fromUtf8(step.redo_text));
      QCOMPARE(redo->isEnabled(), step.redo_enabled);
    }
  });
  QVERIFY(outcome.script_ran);
}

// The file is saved, two steps are undone and a new one is made: the saved state can no longer
// be reached, so every later undo or redo leaves the table unsaved; the file keeps what F2 wrote.
void TestTableUndo::savedStateAfterUndoingPastTheSave() {
  mwtest::WorkDir dir(ThreeByThree().Bytes());
  tktest::ModalAnswerer answers;
  QByteArray saved;
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    Model model = Loaded(form);
    for (const char* command : {"e 1 1 5 6", "e 1 2 7 8", "s", "u", "u", "e 2 2 1 1", "u", "u"}) {
      Run(form, answers, model, QString::fromUtf8(command));
      QVERIFY2(form.Unsaved() == model.unsaved, command);
    }
    QVERIFY(form.Unsaved());
    saved = dir.Read();
  });
  QVERIFY(outcome.script_ran);
  TableFile expected = ThreeByThree();
  expected.values[0][0] = {5, 6};
  expected.values[0][1] = {7, 8};
  QCOMPARE(saved, expected.Bytes());
}

// Cells written through the history's call are checked against the table as they are written:
// texts a cell holds already make no step, and of a cell named twice the later text stays. "="
// stands for the text the cell was loaded with.
void TestTableUndo::writesKeepOnlyChangedCells() {
  struct Case {
    const char* what;
    std::vector<CellChange> changes;
    bool step;
    std::string after;  // cell (1, 1) once written
  };
  const Case cases[] = {
      {"every text as it stands: no step", {{1, 1, "="}, {2, 1, "="}}, false, "="},
      {"outside the table: no step", {{9, 9, "1 1"}, {-1, 1, "1 1"}}, false, "="},
      {"one changed among unchanged", {{1, 1, "5 6"}, {2, 1, "="}}, true, "5 6"},
      {"named twice, the later text stays", {{1, 1, "5 6"}, {1, 1, "7 8"}}, true, "7 8"},
      {"named twice, back to its own text", {{1, 1, "5 6"}, {1, 1, "="}}, true, "="},
  };
  for (const Case& c : cases) {
    mwtest::WorkDir dir(ThreeByThree().Bytes());
    tktest::ModalAnswerer answers;
    const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
      const tk::StringGrid& grid = *form.StringGrid1;
      const TableState loaded = Read(grid);
      const std::string own = grid.GetCell(1, 1);
      std::vector<CellChange> changes = c.changes;
      for (CellChange& change : changes) {
        if (change.text == "=") change.text = grid.GetCell(change.col, change.row);
      }
      const std::string after = c.after == "=" ? own : c.after;
      TableUndo& history = form.UndoHistory();
      history.PushCellChanges(QStringLiteral("заполнение"), changes);
      QVERIFY2(history.Stack().count() == (c.step ? 1 : 0), c.what);
      QVERIFY2(form.Unsaved() == c.step, c.what);
      QVERIFY2(grid.GetCell(1, 1) == after, c.what);
      history.Undo();
      QVERIFY2(Read(grid).cells == loaded.cells, c.what);
      history.Redo();
      QVERIFY2(grid.GetCell(1, 1) == after, c.what);
    });
    QVERIFY(outcome.script_ran);
  }
}

int main(int argc, char** argv) {
  tk::Application application(argc, argv);
  TestTableUndo tests;
  return QTest::qExec(&tests, argc, argv);
}

#include "test_table_undo.moc"
