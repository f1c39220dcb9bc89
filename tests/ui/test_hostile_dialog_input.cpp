// Hostile input to the add dialogs' value cells: letters and exponents typed at them (the key
// filter drops them), texts pasted past the filter, a megabyte of text, numbers of thousands of
// digits. The dialog's check reads without converting to binary64, so only a number beyond the
// extended range raises "Floating point overflow" there; a refused text shows the red label
// and nothing reaches the main grid.

#include <QClipboard>
#include <QMessageBox>
#include <QTest>

#include "tests/support/add_dialog_fixture.h"

using namespace tktest;

namespace {

enum class Outcome { kCommitted, kRefused, kOverflow };

QString Repeated(char c, int count) { return QString(count, QLatin1Char(c)); }

// Names the new line and pastes text into each of its value cells.
Step PasteLine(const QString& label, const QString& text) {
  return EnterLineBy(label, [text] {
    QApplication::clipboard()->setText(text);
    QTest::keyClick(Focused(), Qt::Key_V, Qt::ControlModifier);
  });
}

}  // namespace

class TestHostileDialogInput : public QObject {
  Q_OBJECT

  std::optional<AnsweredMainWindow> window_;

 private slots:
  void init() { window_.emplace(); }
  void cleanup() { window_.reset(); }

  void valueCellTextOnSave_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("committed");  // each value cell's text in the main grid
    const QString nines = Repeated('9', 5000) + " 0";
    const QString beyond_binary64 = "1" + Repeated('0', 400) + " 0";
    for (const Kind kind : {kGrade, kInterval}) {
      const char* k = kind == kGrade ? "grade" : "interval";
      const auto row = [&](const char* name, bool pasted, const QString& input, Outcome outcome,
                           const QString& committed = QString()) {
        QTest::addRow("%s: %s", k, name) << kind << pasted << input << int(outcome) << committed;
      };
      row("typed exponent loses its letter", false, "1E6000 0", Outcome::kCommitted, "16000 0");
      row("typed NAN leaves nothing", false, "NAN", Outcome::kRefused);
      row("typed 401 digits pass unconverted", false, beyond_binary64, Outcome::kCommitted,
          beyond_binary64);
      row("pasted exponent kept", true, "1E6000 0", Outcome::kCommitted, "1E6000 0");
      row("pasted INF", true, "INF 0", Outcome::kRefused);
      row("pasted NAN second", true, "0 NAN", Outcome::kRefused);
      if (kind == kGrade) continue;  // the costly texts once: their handling is the same for both
      row("typed 5000 nines", false, nines, Outcome::kOverflow);
      row("pasted megabyte of letters", true, Repeated('x', 1 << 20), Outcome::kRefused);
      row("pasted megabyte after two numbers", true, "1 2 " + Repeated('x', 1 << 20),
          Outcome::kCommitted, "1 2 " + Repeated('x', 1 << 20));
    }
  }
  void valueCellTextOnSave() {
    QFETCH(Kind, kind);
    QFETCH(bool, pasted);
    QFETCH(QString, input);
    QFETCH(int, outcome);
    QFETCH(QString, committed);
    if (Outcome(outcome) == Outcome::kOverflow) window_->Answers().QueueBoxAnswer(QMessageBox::Ok);
    const Step enter = pasted ? PasteLine(NewLabel(kind), input) : EnterLine(NewLabel(kind), input);
    RunDialog(kind, {enter, kSave,
                     [&](AddDialog& d) {
                       const int line = NewMainLine(kind);
                       switch (Outcome(outcome)) {
                         case Outcome::kCommitted:
                           QVERIFY(VisibleMessages(d).isEmpty());
                           for (int a = 1; a <= ValueCells(kind); ++a) {
                             QCOMPARE(MainLineCell(kind, line, a), committed);
                           }
                           break;
                         case Outcome::kRefused:
                           QCOMPARE(VisibleMessages(d), QStringList{d.Label4->text()});
                           QCOMPARE(CurrentIndex(d, kind), 1);
                           QVERIFY(MainUnchanged());
                           break;
                         case Outcome::kOverflow:
                           QCOMPARE(window_->Answers().Seen().size(), 1);
                           QCOMPARE(window_->Answers().Seen()[0].text,
                                    QStringLiteral("Floating point overflow."));
                           QVERIFY(MainUnchanged());
                           break;
                       }
                     },
                     kLeave});
  }
};

int main(int argc, char** argv) {
  TestHostileDialogInput tests;
  return RunAddDialogTests(tests, argc, argv);
}

#include "test_hostile_dialog_input.moc"
