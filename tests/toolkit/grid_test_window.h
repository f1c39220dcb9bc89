#pragma once
// A top-level window holding a string grid and one more control, with the grid's edit reports
// recorded and a small key script for driving the focused widget.

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/string_grid.h"

namespace tktest {

struct EditReport {
  std::int32_t col;
  std::int32_t row;
  std::string value;
  std::string cell_when_raised;  // the cell's text at the moment of the report
};

class GridWindow {
 public:
  explicit GridWindow(tk::GridOptions options) : window_(std::make_unique<QWidget>()) {
    auto* layout = new QVBoxLayout(window_.get());
    grid = new tk::StringGrid(window_.get());
    other = new QLineEdit(window_.get());
    layout->addWidget(grid);
    layout->addWidget(other);
    grid->SetOptions(options);
    grid->OnSetEditText = [this](QObject* sender, std::int32_t col, std::int32_t row,
                                 const std::string& value) {
      if (sender == grid) reports.push_back({col, row, value, grid->GetCell(col, row)});
    };
    grid->OnEnter = [this](QObject*) { ++entries; };
    window_->resize(480, 360);
  }

  // Shows the window active with the focus in the grid.
  [[nodiscard]] bool Show() {
    window_->show();
    QApplication::setActiveWindow(window_.get());
    if (!QTest::qWaitForWindowActive(window_.get())) return false;
    grid->setFocus(Qt::OtherFocusReason);
    return true;
  }

  // The cell editor while it is shown, else nullptr.
  [[nodiscard]] QLineEdit* Editor() const {
    auto* editor = grid->viewport()->findChild<QLineEdit*>();
    return editor != nullptr && editor->isVisible() ? editor : nullptr;
  }

  // Presses keys on whichever widget has the focus: printable ASCII types itself, and
  // \r Enter, \x1b Esc, \b backspace, \t Tab, § F2, ↑ ↓ ← → arrows, ⇤ Home, ⇥ End, ⇟ Page Down,
  // ⌦ Delete.
  // A ^ before an arrow, Home or End holds Ctrl; a ⇧ holds Shift.
  static void Press(const QString& script) {
    Qt::KeyboardModifiers held;
    for (const QChar c : script) {
      if (c == u'^' || c == u'⇧') {
        held |= c == u'^' ? Qt::ControlModifier : Qt::ShiftModifier;
        continue;
      }
      QWidget* target = QApplication::focusWidget();
      if (target == nullptr) return;
      const Qt::Key key = SpecialKey(c);
      if (key == Qt::Key_Delete) {  // with the text an X11 keyboard gives it
        QTest::sendKeyEvent(QTest::Press, target, key, QString(QChar(0x7F)), held);
        QTest::sendKeyEvent(QTest::Release, target, key, QString(QChar(0x7F)), held);
      } else if (key != Qt::Key_unknown) {
        QTest::keyClick(target, key, held);
      } else {
        QTest::keyClick(target, c.toLatin1(), held);
      }
      held = {};
    }
  }

  tk::StringGrid* grid;
  QLineEdit* other;
  std::vector<EditReport> reports;
  int entries = 0;

  [[nodiscard]] QWidget& Window() const { return *window_; }

 private:
  static Qt::Key SpecialKey(QChar c) {
    switch (c.unicode()) {
      case u'\r': return Qt::Key_Return;
      case u'\x1b': return Qt::Key_Escape;
      case u'\b': return Qt::Key_Backspace;
      case u'\t': return Qt::Key_Tab;
      case u'§': return Qt::Key_F2;
      case u'↑': return Qt::Key_Up;
      case u'↓': return Qt::Key_Down;
      case u'←': return Qt::Key_Left;
      case u'→': return Qt::Key_Right;
      case u'⇤': return Qt::Key_Home;
      case u'⇥': return Qt::Key_End;
      case u'⇟': return Qt::Key_PageDown;
      case u'⌦': return Qt::Key_Delete;
      default: return Qt::Key_unknown;
    }
  }

  std::unique_ptr<QWidget> window_;
};

inline constexpr tk::GridOptions kMainGridOptions =
    tk::goFixedVertLine | tk::goFixedHorzLine | tk::goVertLine | tk::goHorzLine |
    tk::goRangeSelect | tk::goDrawFocusSelected | tk::goColSizing | tk::goEditing;
inline constexpr tk::GridOptions kDialogGridOptions =
    tk::goFixedVertLine | tk::goFixedHorzLine | tk::goVertLine | tk::goHorzLine |
    tk::goDrawFocusSelected | tk::goColSizing | tk::goEditing | tk::goAlwaysShowEditor;

}  // namespace tktest
