// Live views over one row or one column of a grid, with the case-ignoring find.

#include <QString>

#include "toolkit/grid_model.h"
#include "toolkit/string_grid.h"

namespace tk {

std::int32_t GridLine::Count() const { return is_row_ ? grid_->ColCount() : grid_->RowCount(); }

std::string GridLine::Item(std::int32_t index) const {
  return is_row_ ? grid_->Model()->Cell(index, index_) : grid_->Model()->Cell(index_, index);
}

// Unicode case folding treats the letters of both cases alike in every script, Cyrillic
// included, and compares the whole texts, so trailing blanks count.
std::int32_t GridLine::FindIndex(const std::string& text) const {
  const QString wanted = QString::fromStdString(text);
  const std::int32_t count = Count();
  for (std::int32_t i = 0; i < count; ++i) {
    if (QString::compare(QString::fromStdString(Item(i)), wanted, Qt::CaseInsensitive) == 0) {
      return i;
    }
  }
  return -1;
}

}  // namespace tk
