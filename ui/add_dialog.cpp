#include "ui/add_dialog.h"

#include <QChar>
#include <QFont>
#include <QLabel>
#include <QPalette>
#include <utility>
#include <vector>

#include "data/errors.h"
#include "data/number_text.h"
#include "toolkit/controls.h"
#include "toolkit/message_box.h"
#include "toolkit/string_grid.h"
#include "toolkit/typed_character.h"
#include "ui/main_window.h"
#include "ui/table_undo.h"

namespace {

const char* const kBadValues = "Ошибка при вводе допусков";
const char* const kUnsavedQuestion = "Значения допусков не записаны. Выходить?";

tk::StringGrid& MainGrid() { return *Form1->StringGrid1; }

// The characters a value pair can be typed with: digits, signs, both decimal points, the
// blank between the two numbers, and backspace.
bool IsValueCharacter(QChar key) {
  const char16_t c = key.unicode();
  return c == tk::kBackspace || c == u' ' || c == u'+' || c == u',' || c == u'-' || c == u'.' ||
         (c >= u'0' && c <= u'9');
}

QLabel* MakeErrorLabel(const QString& text, QPoint pos, QWidget* client) {
  auto* label = new QLabel(text, client);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, Qt::red);
  label->setPalette(palette);
  label->move(pos);
  label->adjustSize();
  label->setVisible(false);
  return label;
}

}  // namespace

AddDialog::AddDialog(const AddDialogDesign& design, bool& unsaved, QWidget* parent)
    : tk::Form(parent), lines_are_columns_(design.lines_are_columns), unsaved_(unsaved) {
  BuildControls(design);
  ConnectHandlers();
}

void AddDialog::BuildControls(const AddDialogDesign& design) {
  setWindowTitle(design.caption);
  SetDialogFrame(design.client_size.width(), design.client_size.height());
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPixelSize(13);
  setFont(font);
  QPalette palette = this->palette();
  palette.setColor(QPalette::WindowText, Qt::black);
  setPalette(palette);

  auto* client = new QWidget(this);
  setCentralWidget(client);
  CenterOnScreen();

  // Edit1 is made first so that it is first in the tab order and takes the first focus.
  Edit1 = new tk::Edit(client);
  Edit1->setGeometry(design.edit);
  Edit1->setMaxLength(design.entry_max_length);
  Label1 = new QLabel(design.prompt, client);
  Label1->move(design.prompt_pos);
  Label1->adjustSize();
  Label1->setBuddy(Edit1);
  BuildGrid(design, client);
  BitBtnSave = new tk::Button(QStringLiteral("&Сохранить"), client);
  BitBtnSave->setGeometry(design.save_button);
  BitBtnExit = new tk::Button(QStringLiteral("&Выход"), client);
  BitBtnExit->setGeometry(design.exit_button);
  BitBtnExit->ModalResult = tk::mrOk;
  Label2 = MakeErrorLabel(design.missing_label, design.error_label_pos, client);
  Label3 = MakeErrorLabel(design.duplicate_label, design.error_label_pos, client);
  Label4 = MakeErrorLabel(QString::fromUtf8(kBadValues), design.error_label_pos, client);
  setTabOrder(Edit1, StringGrid1);
  setTabOrder(StringGrid1, BitBtnSave);
  setTabOrder(BitBtnSave, BitBtnExit);
}

void AddDialog::BuildGrid(const AddDialogDesign& design, QWidget* client) {
  StringGrid1 = new tk::StringGrid(client);
  StringGrid1->setGeometry(design.grid);
  StringGrid1->SetOptions(tk::goFixedVertLine | tk::goFixedHorzLine | tk::goVertLine |
                          tk::goHorzLine | tk::goDrawFocusSelected | tk::goColSizing |
                          tk::goEditing | tk::goAlwaysShowEditor);
  // Two lines: the copied labels and the new one; the other count follows the main grid.
  SetLineCount(*StringGrid1, 2);
  StringGrid1->SetColWidth(0, design.label_col_width);
  StringGrid1->SetColWidth(1, design.value_col_width);
  // The grid scrolls only along the new line.
  StringGrid1->setHorizontalScrollBarPolicy(lines_are_columns_ ? Qt::ScrollBarAlwaysOff
                                                               : Qt::ScrollBarAsNeeded);
  StringGrid1->setVerticalScrollBarPolicy(lines_are_columns_ ? Qt::ScrollBarAsNeeded
                                                             : Qt::ScrollBarAlwaysOff);
}

void AddDialog::ConnectHandlers() {
  OnActivate = [this](QObject* sender) { FormActivate(sender); };
  OnCloseQuery = [this](QObject* sender, bool& can_close) { FormCloseQuery(sender, can_close); };
  Edit1->OnKeyPress = [this](QObject* sender, QChar& key) { Edit1KeyPress(sender, key); };
  Edit1->OnChange = [this](QObject* sender) { Edit1Change(sender); };
  StringGrid1->OnEnter = [this](QObject* sender) { StringGrid1Enter(sender); };
  StringGrid1->OnKeyPress = [this](QObject* sender, QChar& key) {
    StringGrid1KeyPress(sender, key);
  };
  BitBtnSave->OnClick = [this](QObject* sender) { BitBtnSaveClick(sender); };
}

// Handlers.

void AddDialog::FormActivate(QObject* /*sender*/) {
  const tk::StringGrid& main = MainGrid();
  SetLineLength(*StringGrid1, LineLength(main));
  for (std::int32_t i = 0; i < LineLength(main); ++i) {
    SetLineCell(*StringGrid1, 0, i, LineCell(main, 0, i));
  }
}

void AddDialog::Edit1KeyPress(QObject* /*sender*/, QChar& key) {
  Label2->setVisible(false);
  Label3->setVisible(false);
  if (key.unicode() == tk::kEnter) SetActiveControl(StringGrid1);
  FilterEntryKey(key);
}

void AddDialog::Edit1Change(QObject* /*sender*/) { unsaved_ = true; }

void AddDialog::StringGrid1Enter(QObject* /*sender*/) {
  if (!CheckNewLabel()) return;
  SetLineCell(*StringGrid1, 1, 0, NewLabelText());
  unsaved_ = true;
}

void AddDialog::StringGrid1KeyPress(QObject* /*sender*/, QChar& key) {
  Label4->setVisible(false);
  const std::int32_t last_index = LineLength(*StringGrid1) - 1;
  if (key.unicode() == tk::kEnter && CurrentIndex() < last_index) {
    SetCurrentIndex(tol::CheckedAdd(CurrentIndex(), 1));
    return;
  }
  if (!IsValueCharacter(key)) key = QChar(0);
}

void AddDialog::BitBtnSaveClick(QObject* /*sender*/) {
  // The label committed is the one checked here, whatever the label cell showed before.
  if (!CheckNewLabel()) return;
  SetLineCell(*StringGrid1, 1, 0, NewLabelText());
  if (!CheckValueCells()) return;
  CommitNewLine();
  Form1->MarkUnsaved();
  unsaved_ = false;
}

void AddDialog::FormCloseQuery(QObject* /*sender*/, bool& can_close) {
  if (!unsaved_) return;
  const std::int32_t answer =
      tk::ShowMessageBox(kUnsavedQuestion, windowTitle().toStdString(), tk::MB_YESNO_QUESTION);
  can_close = answer == tk::IDYES;
}

// Checks and commit.

void AddDialog::PointAt(QLabel* label, QWidget* control) {
  label->setVisible(true);
  SetActiveControl(control);
}

bool AddDialog::CheckNewLabel() {
  if (Edit1->text().isEmpty()) {
    PointAt(Label2, Edit1);
    return false;
  }
  if (MainLabelLine().FindIndex(NewLabelText()) >= 0) {
    PointAt(Label3, Edit1);
    return false;
  }
  return true;
}

bool AddDialog::CheckValueCells() {
  for (std::int32_t a = 1; a < LineLength(*StringGrid1); ++a) {
    if (!tol::ParseCellText(LineCell(*StringGrid1, 1, a), false).accepted) {
      Label4->setVisible(true);
      SetCurrentIndex(a);
      SetActiveControl(StringGrid1);
      return false;
    }
  }
  return true;
}

// Appends the dialog's line 1 (label and values, as typed) after the main grid's last line, as
// one step of the main window's undo history.
void AddDialog::CommitNewLine() {
  std::vector<std::string> texts;
  texts.reserve(static_cast<std::size_t>(LineLength(*StringGrid1)));
  for (std::int32_t i = 0; i < LineLength(*StringGrid1); ++i) {
    texts.push_back(LineCell(*StringGrid1, 1, i));
  }
  if (lines_are_columns_) {
    Form1->UndoHistory().AppendGrade(std::move(texts));
  } else {
    Form1->UndoHistory().AppendInterval(std::move(texts));
  }
}

// Orientation.

std::string AddDialog::LineCell(const tk::StringGrid& grid, std::int32_t line,
                                std::int32_t index) const {
  return lines_are_columns_ ? grid.GetCell(line, index) : grid.GetCell(index, line);
}

void AddDialog::SetLineCell(tk::StringGrid& grid, std::int32_t line, std::int32_t index,
                            const std::string& text) const {
  if (lines_are_columns_) {
    grid.SetCell(line, index, text);
  } else {
    grid.SetCell(index, line, text);
  }
}

std::int32_t AddDialog::LineLength(const tk::StringGrid& grid) const {
  return lines_are_columns_ ? grid.RowCount() : grid.ColCount();
}

void AddDialog::SetLineLength(tk::StringGrid& grid, std::int32_t length) const {
  if (lines_are_columns_) {
    grid.SetRowCount(length);
  } else {
    grid.SetColCount(length);
  }
}

std::int32_t AddDialog::LineCount(const tk::StringGrid& grid) const {
  return lines_are_columns_ ? grid.ColCount() : grid.RowCount();
}

void AddDialog::SetLineCount(tk::StringGrid& grid, std::int32_t count) const {
  if (lines_are_columns_) {
    grid.SetColCount(count);
  } else {
    grid.SetRowCount(count);
  }
}

tk::GridLine AddDialog::MainLabelLine() const {
  return lines_are_columns_ ? MainGrid().RowTexts(0) : MainGrid().ColTexts(0);
}

std::int32_t AddDialog::CurrentIndex() const {
  return lines_are_columns_ ? StringGrid1->CurrentRow() : StringGrid1->CurrentCol();
}

void AddDialog::SetCurrentIndex(std::int32_t index) {
  if (lines_are_columns_) {
    StringGrid1->SetCurrentRow(index);
  } else {
    StringGrid1->SetCurrentCol(index);
  }
}
