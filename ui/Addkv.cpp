#include "ui/Addkv.h"

#include <QValidator>

#include "data/win1251.h"
#include "toolkit/controls.h"
#include "toolkit/string_grid.h"

TFormAddKv* FormAddKv = nullptr;

namespace {

// A grade name is six single-byte characters in the tolerance file.
constexpr int kGradeNameLength = 6;

const AddDialogDesign kDesign{
    .lines_are_columns = true,
    .caption = QStringLiteral("Добавление квалитета"),
    .prompt = QStringLiteral("&Квалитет"),
    .missing_label = QStringLiteral("Не задан квалитет"),
    .duplicate_label = QStringLiteral("Такой квалитет уже есть"),
    .client_size = QSize(430, 537),
    .grid = QRect(0, 0, 203, 537),
    .label_col_width = 64,
    .value_col_width = 109,
    .prompt_pos = QPoint(230, 6),
    .error_label_pos = QPoint(224, 32),
    .edit = QRect(312, 4, 89, 24),
    .entry_max_length = kGradeNameLength,
    .save_button = QRect(268, 88, 103, 33),
    .exit_button = QRect(268, 138, 103, 33),
};

// Keeps a grade name in lower case and within the characters the file can store, whether it
// is typed or pasted: the text is lowered, and a text with a character outside Windows-1251
// is refused as a whole.
class GradeNameValidator : public QValidator {
 public:
  using QValidator::QValidator;

  State validate(QString& input, int& /*pos*/) const override {
    input = input.toLower();
    const std::string text = input.toStdString();
    return tol::Win1251ToUtf8(tol::Utf8ToWin1251(text)) == text ? Acceptable : Invalid;
  }
};

}  // namespace

TFormAddKv::TFormAddKv(QWidget* parent) : AddDialog(kDesign, unsaved_, parent) {
  Edit1->setValidator(new GradeNameValidator(Edit1));
  Created();
}

std::string TFormAddKv::NewLabelText() const {
  QString name = Edit1->text();
  if (name.size() < kGradeNameLength) name += QString(kGradeNameLength - name.size(), u' ');
  return name.toStdString();
}

void TFormAddKv::FilterEntryKey(QChar& /*key*/) {}
