#include "ui/table_clipboard.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeySequence>
#include <QMimeData>
#include <QWidget>
#include <utility>

#include "data/cell_block.h"
#include "data/pasted_block.h"
#include "toolkit/dispatch.h"
#include "toolkit/grid_block_writer.h"
#include "toolkit/message_box.h"
#include "toolkit/string_grid.h"
#include "ui/table_undo.h"

namespace {

const char* const kCaption = "Редактор файла допусков";

QAction* ShortCut(QWidget& window, QKeySequence keys, QObject* owner) {
  auto* action = new QAction(owner);
  action->setShortcut(keys);
  window.addAction(action);
  return action;
}

}  // namespace

TableClipboard::TableClipboard(QWidget& window, tk::StringGrid& grid, TableUndo& undo)
    : QObject(&window),
      grid_(grid),
      undo_(undo),
      copy_(ShortCut(window, QKeySequence(Qt::CTRL | Qt::Key_C), this)),
      paste_(ShortCut(window, QKeySequence(Qt::CTRL | Qt::Key_V), this)),
      select_all_(ShortCut(window, QKeySequence(Qt::CTRL | Qt::Key_A), this)) {
  tk::Connect(copy_, &QAction::triggered, this, [this](QObject*) { Copy(); });
  tk::Connect(paste_, &QAction::triggered, this, [this](QObject*) { Paste(); });
  tk::Connect(select_all_, &QAction::triggered, this, [this](QObject*) { SelectAll(); });
}

void TableClipboard::SelectAll() {
  grid_.SelectRange(grid_.ColCount() - 1, grid_.RowCount() - 1, grid_.FixedCols(),
                    grid_.FixedRows());
}

void TableClipboard::Copy() { QApplication::clipboard()->setMimeData(SelectionAsMime()); }

QMimeData* TableClipboard::SelectionAsMime() const {
  const tk::StringGrid::CellRange range = grid_.Selection();
  tol::CellRect rect{range.left, range.top, range.right, range.bottom};
  const bool everything = rect.left == grid_.FixedCols() && rect.top == grid_.FixedRows() &&
                          rect.right == grid_.ColCount() - 1 && rect.bottom == grid_.RowCount() - 1;
  if (everything) rect.left = rect.top = 0;
  auto* mime = new QMimeData;
  // Kept as UTF-8 bytes: converted only when another program asks for them.
  mime->setData(QStringLiteral("text/plain"),
                QByteArray::fromStdString(tol::BlockAsTabSeparated(grid_, rect)));
  mime->setData(QStringLiteral("text/html"),
                QByteArray::fromStdString(tol::BlockAsHtmlTable(grid_, rect)));
  return mime;
}

void TableClipboard::Paste() {
  grid_.SetEditingMode(false);  // an open edit is committed (and recorded) first
  // Read where the UTF-8 bytes lie, without a copy into a string of their own.
  const QByteArray text = QApplication::clipboard()->text().toUtf8();
  const std::string reason = PasteText(std::string_view(text.constData(), text.size()));
  if (!reason.empty()) (void)tk::ShowMessageBox(reason, kCaption, tk::MB_OK_ICONERROR);
}

// The cells are written as they are read, and taken back by the writer on a refusal: nothing is
// announced in between, so the table is seen changed once or not at all.
std::string TableClipboard::PasteText(std::string_view text) {
  const std::int32_t left = grid_.CurrentCol();
  const std::int32_t top = grid_.CurrentRow();
  tk::GridBlockWriter writer(grid_);
  try {
    if (left < 1 || top < 1) {
      throw tol::EBlockField({1, 1, {}},
                             "Строка 1, столбец 1 вставляемого блока попадает на "
                             "заголовки таблицы.");
    }
    (void)tol::ReadCellBlockInto(text, {left, top, grid_.ColCount() - left, grid_.RowCount() - top},
                                 writer);
  } catch (const tol::EBlockField& refusal) {
    return refusal.Message();
  }
  if (writer.Count() == 0) return {};
  undo_.PushWritten(QStringLiteral("вставку"), writer.Keep());
  emit Pasted();
  return {};
}
