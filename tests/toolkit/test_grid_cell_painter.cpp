// The string grid's cell painter against the default delegate: the same grid rendered with
// either must match pixel for pixel in every state, and only the cells whose look the style
// decides may reach the style.

#include <QFontMetricsF>
#include <QProxyStyle>
#include <QStyleOptionViewItem>
#include <QStyledItemDelegate>
#include <QTest>
#include <cmath>

#include "tests/toolkit/grid_test_window.h"
#include "toolkit/grid_cell_painter.h"

using tktest::GridWindow;

namespace {

// Numbers, labels, texts too long for a column and texts only the style lays out, cycled over
// the cells.
// clang-format off: a table laid out by hand
const char* const kTexts[] = {
    "g1",
    "0",
    "-0.006",
    "0.018",
    "0.018 -0.006",
    "",
    "Посадка",
    "ЁЙёй",
    "-0,5",
    "123456",
    "1234567",
    "12345678",
    "h7",
    "a\tb",
    "x\ny",
    "שלום",
    "  lead",
    "trail  ",
    "",
    "Ф",
    "...",
    "0.123456789 -0.987654321",
};
// clang-format on

void Fill(tk::StringGrid& grid) {
  grid.SetColCount(9);
  grid.SetRowCount(16);
  int next = 0;
  for (std::int32_t row = 0; row < grid.RowCount(); ++row) {
    for (std::int32_t col = 0; col < grid.ColCount(); ++col) {
      grid.SetCell(col, row, kTexts[next++ % std::size(kTexts)]);
    }
  }
}

// The style's blank space on either side of a cell's text.
int TextMargin(const tk::StringGrid& grid) {
  return grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1;
}

// Columns 1 to 4 hold text and leave it one pixel less room than its advance, just that room,
// and one and two pixels more. The grid line takes the last pixel of a column's width.
void WidthsAroundElision(GridWindow& w, const QString& text) {
  const auto needed =
      static_cast<int>(std::ceil(QFontMetricsF(w.grid->font()).horizontalAdvance(text)));
  for (std::int32_t col = 1; col <= 4; ++col) {
    for (std::int32_t row = 1; row < w.grid->RowCount(); ++row) {
      w.grid->SetCell(col, row, text.toStdString());
    }
    w.grid->SetColWidth(col, needed + col - 2 + 2 * TextMargin(*w.grid) + 1);
  }
}

struct Look {
  const char* name;
  void (*arrange)(GridWindow& w);
};

const Look kLooks[] = {
    {"plain cells, the current one without focus",
     [](GridWindow& w) { w.other->setFocus(Qt::OtherFocusReason); }},
    {"the current cell with focus", [](GridWindow&) {}},
    {"a selected range", [](GridWindow&) { GridWindow::Press("→⇧→⇧→⇧↓⇧↓"); }},
    {"the cell editor open", [](GridWindow& w) { w.grid->SetEditingMode(true); }},
    {"narrowed and widened columns",
     [](GridWindow& w) {
       w.grid->SetColWidth(1, 20);
       w.grid->SetColWidth(2, 140);
       w.grid->SetColWidth(3, 0);
       w.grid->SetColWidth(4, 41);
     }},
    {"widths around elision", [](GridWindow& w) { WidthsAroundElision(w, "0.018 -0.006"); }},
    {"widths around elision of a text with blanks at its ends",
     [](GridWindow& w) { WidthsAroundElision(w, "  -0.5   "); }},
    {"scrolled to the far corner", [](GridWindow&) { GridWindow::Press("^⇥^↓"); }},
    {"a disabled grid", [](GridWindow& w) { w.grid->setEnabled(false); }},
    {"an inactive window with its own text colour",
     [](GridWindow& w) {
       QPalette palette = w.grid->palette();
       palette.setColor(QPalette::Inactive, QPalette::Text, Qt::darkRed);
       w.grid->setPalette(palette);
       QApplication::setActiveWindow(nullptr);
     }},
    {"a narrow 13-pixel face",
     [](GridWindow& w) {
       QFont face(QStringLiteral("Liberation Sans Narrow"));
       face.setPixelSize(13);
       w.grid->setFont(face);
     }},
    {"a face filling a row",
     [](GridWindow& w) {
       QFont face = w.grid->font();
       face.setPixelSize(19);
       w.grid->setFont(face);
     }},
    {"a calligraphic face inking past a text's ends",
     [](GridWindow& w) {
       QFont face(QStringLiteral("Z003"));  // its Q reaches 5 pixels past its advance at 17
       face.setPixelSize(17);
       w.grid->setFont(face);
       WidthsAroundElision(w, QStringLiteral("fQ"));
     }},
    {"a face taller than a row",
     [](GridWindow& w) {
       QFont face = w.grid->font();
       face.setPixelSize(26);
       w.grid->setFont(face);
     }},
};

// "" when both images are the same, else how many pixels differ and the first of them.
QString Difference(const QImage& ours, const QImage& reference) {
  if (ours.size() != reference.size()) return QStringLiteral("the images differ in size");
  int count = 0;
  QString first;
  for (int y = 0; y < ours.height(); ++y) {
    for (int x = 0; x < ours.width(); ++x) {
      const QRgb a = ours.pixel(x, y);
      const QRgb b = reference.pixel(x, y);
      if (a == b) continue;
      if (count++ == 0) {
        first = QStringLiteral("first at (%1, %2): %3 instead of %4")
                    .arg(x)
                    .arg(y)
                    .arg(a, 8, 16, QChar(u'0'))
                    .arg(b, 8, 16, QChar(u'0'));
      }
    }
  }
  return count == 0 ? QString() : QStringLiteral("%1 pixels differ, %2").arg(count).arg(first);
}

// Records the texts of the cells the style is asked to draw.
class ItemDrawLog : public QProxyStyle {
 public:
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    if (element == CE_ItemViewItem) {
      drawn << qstyleoption_cast<const QStyleOptionViewItem*>(option)->text;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
  }
  mutable QStringList drawn;
};

}  // namespace

class GridCellPainterTest : public QObject {
  Q_OBJECT

 private slots:
  void drawsAsTheDefaultDelegate_data();
  void drawsAsTheDefaultDelegate();
  void leavesOnlyStyledCellsToTheStyle_data();
  void leavesOnlyStyledCellsToTheStyle();
};

void GridCellPainterTest::drawsAsTheDefaultDelegate_data() {
  QTest::addColumn<int>("look");
  for (int i = 0; i < static_cast<int>(std::size(kLooks)); ++i) {
    QTest::newRow(kLooks[i].name) << i;
  }
}

void GridCellPainterTest::drawsAsTheDefaultDelegate() {
  QFETCH(int, look);
  GridWindow w(tktest::kMainGridOptions);
  Fill(*w.grid);
  QVERIFY(w.Show());
  kLooks[look].arrange(w);
  QCoreApplication::processEvents();  // the view's deferred layout, so that both grabs see it
  QAbstractItemDelegate* own = w.grid->itemDelegate();
  QVERIFY(qobject_cast<tk::GridCellPainter*>(own) != nullptr);

  const QImage ours = w.grid->grab().toImage();
  QStyledItemDelegate standard;
  w.grid->setItemDelegate(&standard);
  const QImage reference = w.grid->grab().toImage();
  w.grid->setItemDelegate(own);
  const QString difference = Difference(ours, reference);
  QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

// One row per text in cell (2, 2), away from the current cell (1, 1), which is selected and so
// always drawn by the style.
void GridCellPainterTest::leavesOnlyStyledCellsToTheStyle_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<bool>("by_style");
  QTest::newRow("a number") << "0.018" << false;
  QTest::newRow("a negative number") << "-0.5" << false;
  QTest::newRow("Cyrillic") << "Ряд" << false;
  QTest::newRow("an empty cell") << "" << false;
  QTest::newRow("a text to elide") << "0.123456789 -0.987654321" << true;
  QTest::newRow("a tab") << "a\tb" << true;
  QTest::newRow("a line break") << "a\nb" << true;
  QTest::newRow("right to left") << "שלום" << true;
}

void GridCellPainterTest::leavesOnlyStyledCellsToTheStyle() {
  QFETCH(QString, text);
  QFETCH(bool, by_style);
  ItemDrawLog log;
  GridWindow w(tktest::kMainGridOptions);
  w.grid->setStyle(&log);
  w.grid->SetCell(1, 1, "current");
  w.grid->SetCell(2, 2, text.toStdString());
  QVERIFY(w.Show());
  log.drawn.clear();
  (void)w.grid->grab();
  QCOMPARE(log.drawn.value(0), QStringLiteral("current"));
  QCOMPARE(log.drawn.size(), by_style ? 2 : 1);
}

QTEST_MAIN(GridCellPainterTest)

#include "test_grid_cell_painter.moc"
