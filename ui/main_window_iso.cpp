// The ISO 286 commands of the main window: "Добавить квалитеты по ISO 286..." appends a column
// per class, "Заполнить строку по ISO 286" fills the current interval row. The rules and the
// planning are data/'s; here are the dialog, the messages and the one step that changes cells.

#include <QAction>

#include "data/iso286_fill.h"
#include "data/number_text.h"
#include "toolkit/message_box.h"
#include "toolkit/string_grid.h"
#include "ui/iso_classes_dialog.h"
#include "ui/iso_texts.h"
#include "ui/main_window.h"

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
  ApplyIsoEdit(plan.edit);
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
  if (!plan.edit.cells.empty()) ApplyIsoEdit(plan.edit);
  if (!plan.unfilled.empty()) {
    (void)tk::ShowMessageBox(isotext::UnfilledRowMessage(plan.unfilled), kCaption, kInformation);
  }
}

tol::iso286::JsRounding TForm1::IsoRounding() const {
  return MenuIsoRounding->isChecked() ? tol::iso286::JsRounding::kEvenBelow
                                      : tol::iso286::JsRounding::kExact;
}

void TForm1::ApplyIsoEdit(const tol::iso286::TableEdit& edit) {
  (void)tol::iso286::ApplyTableEdit(*StringGrid1, edit);
  MarkUnsaved();
}
