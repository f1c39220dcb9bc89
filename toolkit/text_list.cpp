#include "toolkit/errors.h"
#include "toolkit/string_grid.h"

namespace tk {

void TStringList::AppendTexts(const GridLine& line) {
  const std::int32_t count = line.Count();
  items_.reserve(items_.size() + static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count; ++i) items_.push_back(line.Item(i));
}

void TStringList::RemoveAt(std::int32_t index) {
  if (index < 0 || index >= Count()) throw EListError();
  items_.erase(items_.begin() + index);
}

void TStringList::RemoveAll() { items_.clear(); }

std::int32_t TStringList::Count() const { return static_cast<std::int32_t>(items_.size()); }

const std::string& TStringList::Item(std::int32_t index) const {
  if (index < 0 || index >= Count()) throw EListError();
  return items_[static_cast<std::size_t>(index)];
}

}  // namespace tk
