#include "ui/Addint.h"

#include <QRegularExpressionValidator>
#include <algorithm>

#include "toolkit/controls.h"
#include "toolkit/string_grid.h"
#include "toolkit/typed_character.h"

TFormAddInt* FormAddInt = nullptr;

namespace {

const AddDialogDesign kDesign{
    .lines_are_columns = false,
    .caption = QStringLiteral("Добавление интервала"),
    .prompt = QStringLiteral("&Интервал размеров"),
    .missing_label = QStringLiteral("Не задан интервал"),
    .duplicate_label = QStringLiteral("Такой интервал уже есть"),
    .client_size = QSize(794, 143),
    .grid = QRect(0, 143 - 75, 794, 75),
    .label_col_width = tk::StringGrid::DefaultColWidth,
    .value_col_width = tk::StringGrid::DefaultColWidth,
    .prompt_pos = QPoint(16, 12),
    .error_label_pos = QPoint(110, 38),
    .edit = QRect(166, 8, 81, 24),
    .entry_max_length = 10,
    .save_button = QRect(540, 14, 103, 33),
    .exit_button = QRect(658, 14, 103, 33),
};

}  // namespace

TFormAddInt::TFormAddInt(QWidget* parent) : AddDialog(kDesign, unsaved_, parent) {
  // Typing is filtered key by key; this also keeps anything but digits out of a paste.
  Edit1->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), Edit1));
  Created();
}

// "010" names the interval up to 10, as "10" does, so it is made and compared as "До 10"; a
// bound of zeros only stays "0".
std::string TFormAddInt::NewLabelText() const {
  std::string digits = Edit1->text().toStdString();
  if (!digits.empty()) digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
  return "До " + digits;
}

void TFormAddInt::FilterEntryKey(QChar& key) {
  const char16_t c = key.unicode();
  if (c != tk::kBackspace && !(c >= u'0' && c <= u'9')) key = QChar(0);
}
