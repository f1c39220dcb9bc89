// The ISO 286 commands of the main window: "Добавить квалитеты по ISO 286..." appends a column
// per class, "Заполнить строку по ISO 286" fills the current interval row. The rules and the
// planning are data/'s; here are the dialog, the messages and the one undo step of each.

#include <QAction>
#include <QUndoStack>
#include <algorithm>

#include "data/iso286_fill.h"
#include "data/number_text.h"
#include "toolkit/message_box.h"
#include "toolkit/string_grid.h"
#include "ui/iso_classes_dialog.h"
#include "ui/iso_texts.h"
#include "ui/main_window.h"
#include "ui/table_undo.h"

namespace {

const char* const kCaption = "Редактор файла допусков";
constexpr std::int32_t kInformation = 64;  // OK button, information icon

// The dialog's red text for the names typed, "" when they can be added.
std::string NameTrouble(const tol::iso286::NewClassNames& names) {
  using tol::iso286::NameTrouble;
  switch (names.trouble) {
    case NameTrouble::kNone: return "";
    case NameTrouble::kNoName: return "Не задан квалитет";
    case NameTrouble::kAlreadyAColumn: return "Такой квалитет уже есть";
    case NameTrouble::kNotAClass: return names.name + ": " + isotext::Reason(names.refusal);
  }
  return "";
}

}  // namespace

void TForm1::AddIsoClick(QObject*) {
  StringGrid1->SetEditingMode(false);  // an open cell editor commits before the table grows
  std::vector<tol::iso286::ToleranceClass> classes;
  IsoClassesDialog dialog(this, [&](const std::string& text) {
    tol::iso286::NewClassNames names = tol::iso286::ReadNewClassNames(text, *StringGrid1);
    classes = std::move(names.classes);
    return NameTrouble(names);
  });
  if (dialog.exec() != QDialog::Accepted) return;
  const tol::iso286::FillPlan plan =
      tol::iso286::PlanClassColumns(*StringGrid1, classes, IsoRounding(), tol::DecimalSeparator());
  std::string names;
  for (const tol::iso286::ToleranceClass& added : classes) names += " " + added.Name();
  PushIsoEdit(plan.edit, "добавление квалитетов по ISO 286" + names);
  if (!plan.unfilled.empty()) {
    (void)tk::ShowMessageBox(isotext::UnfilledColumnsMessage(plan.unfilled), kCaption,
                             kInformation);
  }
}

void TForm1::FillIsoClick(QObject*) {
  StringGrid1->SetEditingMode(false);
  const std::int32_t row = StringGrid1->CurrentRow();
  if (row < 1) return;  // a table without intervals has no row to fill
  const tol::iso286::FillPlan plan =
      tol::iso286::PlanIntervalRow(*StringGrid1, row, IsoRounding(), tol::DecimalSeparator());
  PushIsoEdit(plan.edit, "заполнение строки " + StringGrid1->GetCell(0, row) + " по ISO 286");
  if (!plan.unfilled.empty()) {
    (void)tk::ShowMessageBox(isotext::UnfilledRowMessage(plan.unfilled), kCaption, kInformation);
  }
}

tol::iso286::JsRounding TForm1::IsoRounding() const {
  return MenuIsoRounding->isChecked() ? tol::iso286::JsRounding::kEvenBelow
                                      : tol::iso286::JsRounding::kExact;
}

void TForm1::PushIsoEdit(const tol::iso286::TableEdit& edit, const std::string& title) {
  const QString step = QString::fromStdString(title);
  const std::int32_t first_new = StringGrid1->ColCount();
  std::vector<CellChange> cells;
  std::vector<std::vector<std::string>> columns(
      static_cast<std::size_t>(std::max(edit.col_count - first_new, 0)));
  for (const tol::iso286::CellChange& change : edit.cells) {
    if (change.col < first_new) {
      cells.push_back({change.col, change.row, change.text});
      continue;
    }
    std::vector<std::string>& texts = columns[static_cast<std::size_t>(change.col - first_new)];
    texts.resize(std::max(texts.size(), static_cast<std::size_t>(change.row) + 1));
    texts[static_cast<std::size_t>(change.row)] = change.text;
  }
  // Several new columns are one step: a macro of one insertion each.
  QUndoStack& stack = undo_->Stack();
  if (!columns.empty()) stack.beginMacro(step);
  for (std::size_t i = 0; i < columns.size(); ++i) {
    undo_->InsertColumn(step, first_new + static_cast<std::int32_t>(i), std::move(columns[i]));
  }
  if (!columns.empty()) stack.endMacro();
  if (!cells.empty()) undo_->PushCellChanges(step, std::move(cells));
}
