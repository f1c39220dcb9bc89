#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "data/errors.h"
#include "data/tolerance_file.h"
#include "toolkit/built_in_picture.h"
#include "toolkit/controls.h"
#include "toolkit/dispatch.h"
#include "toolkit/grid_model.h"
#include "toolkit/key_listing_menu.h"
#include "toolkit/message_box.h"
#include "toolkit/string_grid.h"
#include "ui/Addint.h"
#include "ui/Addkv.h"
#include "ui/loaded_values.h"
#include "ui/table_clipboard.h"
#include "ui/table_undo.h"
#include "ui/tolerance_views.h"

TForm1* Form1 = nullptr;

// The pictures are compiled into this static library; nothing else refers to them, so they
// are registered explicitly rather than by a static initialiser the linker may drop.
static void RegisterPictures() { Q_INIT_RESOURCE(pictures); }

namespace {

const char* const kCaption = "Редактор файла допусков";
constexpr int kToolBarHeight = 29;
constexpr int kButtonSize = 25;
constexpr int kFirstButtonX = 4;
constexpr int kButtonStep = 24;
constexpr int kButtonY = 2;
constexpr std::int32_t kPixelsPerCharacter = 7;

// The continuation bytes (10xxxxxx) among eight: bit 7 set and bit 6 clear in the same byte.
// The flags, one per byte (at most 8, so no carry crosses a byte), are summed into the top byte
// by one multiplication.
int ContinuationBytes(std::uint64_t chunk) {
  constexpr std::uint64_t kTopBits = 0x8080808080808080;
  constexpr std::uint64_t kEachByte = 0x0101010101010101;
  const std::uint64_t flags = (chunk & ~(chunk << 1) & kTopBits) >> 7;
  return static_cast<int>((flags * kEachByte) >> 56);
}

// Characters, not UTF-8 bytes: "мм" is two characters wide on screen. Every byte but a
// continuation byte starts a character; they are counted eight at a time, the last few bytes
// behind zeros, which are no continuation bytes.
std::int32_t CharacterCount(const std::string& text) {
  const char* p = text.data();
  std::size_t left = text.size();
  std::int64_t continuations = 0;
  for (; left >= 8; left -= 8, p += 8) {
    std::uint64_t chunk = 0;
    std::memcpy(&chunk, p, 8);
    continuations += ContinuationBytes(chunk);
  }
  std::uint64_t tail = 0;
  for (std::size_t i = 0; i < left; ++i) {
    tail |= std::uint64_t{static_cast<unsigned char>(p[i])} << (8 * i);
  }
  continuations += ContinuationBytes(tail);
  return static_cast<std::int32_t>(static_cast<std::int64_t>(text.size()) - continuations);
}

std::int32_t WidthForCharacters(std::int32_t characters) {
  const std::int64_t width = std::int64_t{kPixelsPerCharacter} * characters;
  if (width > std::numeric_limits<std::int32_t>::max()) throw tol::EIntOverflow();
  return static_cast<std::int32_t>(width);
}

// Runs a fresh add dialog modally and disposes of it, also when the modal run raises.
template <class Dialog>
void RunAddDialog(Dialog*& dialog) {
  dialog = new Dialog;
  struct Disposer {
    Dialog*& dialog;
    ~Disposer() {
      tk::DisposeWindow(dialog);
      dialog = nullptr;
    }
  } disposer{dialog};
  (void)tk::RunModal(*dialog);  // the dialog commits its row or column itself
  tk::HideWindow(*dialog);
}

}  // namespace

TForm1::TForm1(QWidget* parent) : tk::Form(parent) {
  RegisterPictures();
  setWindowTitle(QString::fromUtf8(kCaption));
  QFont design_font(QStringLiteral("MS Sans Serif"));
  design_font.setPixelSize(13);
  setFont(design_font);
  BuildMenu();
  auto* client = new QWidget(this);
  auto* column = new QVBoxLayout(client);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(BuildToolBar(client));
  column->addWidget(BuildGridArea(client), 1);
  setCentralWidget(client);
  ConnectHandlers();
  BuildUndo();
  BuildClipboard();
  Views = new ToleranceViews(*this);
  SetActiveControl(StringGrid1);
  PlaceCentredThenMaximize();
  Created();
}

TForm1::~TForm1() = default;

void TForm1::BuildMenu() {
  auto* file_menu = new tk::KeyListingMenu(QStringLiteral("&Файл"), this);
  menuBar()->addMenu(file_menu);
  MenuSave = file_menu->addAction(QStringLiteral("&Сохранить"));
  // The desktop's usual keys come after the window's own, which stay first.
  MenuSave->setShortcuts({QKeySequence(Qt::Key_F2), QKeySequence(Qt::CTRL | Qt::Key_S)});
  MenuExit = file_menu->addAction(QStringLiteral("&Выход"));
  MenuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  MenuEditor = new tk::KeyListingMenu(QStringLiteral("&Редактор"), this);
  menuBar()->addMenu(MenuEditor);
  MenuEdit = MenuEditor->addAction(QStringLiteral("Редактировать допуска"));
  MenuAddKv = MenuEditor->addAction(QStringLiteral("Добавить квалитет"));
  MenuDelKv = MenuEditor->addAction(QStringLiteral("Удалить квалитет"));
  MenuAddInt = MenuEditor->addAction(QStringLiteral("Добавить интервал"));
  MenuDelInt = MenuEditor->addAction(QStringLiteral("Удалить интервал"));
  MenuEditor->addSeparator();
  MenuAddIso = MenuEditor->addAction(QStringLiteral("Добавить квалитеты по ISO 286..."));
  MenuFillIso = MenuEditor->addAction(QStringLiteral("Заполнить строку по ISO 286"));
  MenuIsoRounding =
      MenuEditor->addAction(QStringLiteral("Округлять JS7–JS11 до чётного (ISO 286)"));
  MenuIsoRounding->setCheckable(true);
}

// Undo and redo close the "&Редактор" menu; an undo or a redo makes the table unsaved unless it
// arrives back at the state of the file.
void TForm1::BuildUndo() {
  undo_ = new TableUndo(*StringGrid1, this);
  undo_->AddMenuItems(*MenuEditor);
  StringGrid1->OnGetEditText = [this](QObject*, std::int32_t col, std::int32_t row,
                                      const std::string& value) {
    undo_->EditorOpened(col, row, value);
  };
  connect(undo_, &TableUndo::Pushed, this, [this] { MarkUnsaved(); });
  connect(undo_, &TableUndo::Replayed, this,
          [this](bool at_saved_state) { unsaved_ = !at_saved_state; });
}

QWidget* TForm1::BuildToolBar(QWidget* parent) {
  auto* panel = new QWidget(parent);
  panel->setFixedHeight(kToolBarHeight);
  struct ButtonDesign {
    tk::FlatButton** button;
    const char* picture;
    const char* hint;
  };
  const ButtonDesign designs[] = {
      {&Save, ":/pictures/save.xpm", "Сохранить"},
      {&Edit, ":/pictures/edit.xpm", "Редактировать"},
      {&AddKv, ":/pictures/add_grade.xpm", "Добавить квалитет"},
      {&DelKv, ":/pictures/delete_grade.xpm", "Удалить квалитет"},
      {&AddInt, ":/pictures/add_interval.xpm", "Добавить интервал"},
      {&DelInt, ":/pictures/delete_interval.xpm", "Удалить интервал"},
      {&BExit, ":/pictures/exit.xpm", "Выход"},
  };
  int x = kFirstButtonX;
  for (const ButtonDesign& design : designs) {
    *design.button = new tk::FlatButton(tk::BuiltInIcon(QString::fromLatin1(design.picture)),
                                        QString::fromUtf8(design.hint), panel);
    (*design.button)->setGeometry(x, kButtonY, kButtonSize, kButtonSize);
    x += kButtonStep;
  }
  Label1 = new QLabel(QStringLiteral("Ошибка при вводе допусков"), panel);
  Label1->setGeometry(314, 7, 190, 16);
  Label1->setAlignment(Qt::AlignCenter);
  QPalette red = Label1->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  Label1->setPalette(red);
  Label1->hide();
  return panel;
}

// The grid sits alone in the area under the tool bar, so filling its parent is filling the
// client area that the tool bar leaves free.
QWidget* TForm1::BuildGridArea(QWidget* parent) {
  auto* area = new QWidget(parent);
  StringGrid1 = new tk::StringGrid(area);
  StringGrid1->setGeometry(0, 0, 429, 256);
  StringGrid1->SetOptions(tk::goFixedVertLine | tk::goFixedHorzLine | tk::goVertLine |
                          tk::goHorzLine | tk::goRangeSelect | tk::goDrawFocusSelected |
                          tk::goColSizing | tk::goEditing);
  return area;
}

void TForm1::ConnectHandlers() {
  OnCreate = [this](QObject* sender) { FormCreate(sender); };
  OnActivate = [this](QObject* sender) { FormActivate(sender); };
  OnCloseQuery = [this](QObject* sender, bool& can_close) { FormCloseQuery(sender, can_close); };
  StringGrid1->OnEnter = [this](QObject* sender) { StringGrid1Enter(sender); };
  StringGrid1->OnSetEditText = [this](QObject* sender, std::int32_t col, std::int32_t row,
                                      const std::string& value) {
    StringGrid1SetEditText(sender, col, row, value);
  };
  StringGrid1->OnPrepareForCounts = [this] { StringGrid1->SetAlignClient(); };

  using Handler = void (TForm1::*)(QObject*);
  struct Command {
    tk::FlatButton* button;
    QAction* menu_item;
    Handler handler;
  };
  const Command commands[] = {
      {Save, MenuSave, &TForm1::SaveClick},       {Edit, MenuEdit, &TForm1::EditClick},
      {AddKv, MenuAddKv, &TForm1::AddKvClick},    {DelKv, MenuDelKv, &TForm1::DelKvClick},
      {AddInt, MenuAddInt, &TForm1::AddIntClick}, {DelInt, MenuDelInt, &TForm1::DelIntClick},
      {BExit, MenuExit, &TForm1::BExitClick},
  };
  for (const Command& command : commands) {
    auto run = [this, handler = command.handler](QObject* sender) { (this->*handler)(sender); };
    command.button->OnClick = run;
    tk::Connect(command.menu_item, &QAction::triggered, this, run);
  }
  tk::Connect(MenuAddIso, &QAction::triggered, this,
              [this](QObject* sender) { AddIsoClick(sender); });
  tk::Connect(MenuFillIso, &QAction::triggered, this,
              [this](QObject* sender) { FillIsoClick(sender); });
}

void TForm1::BuildClipboard() {
  clipboard_ = new TableClipboard(*this, *StringGrid1, *undo_);
  connect(clipboard_, &TableClipboard::Pasted, this, [this] {
    Label1->hide();
    MarkUnsaved();
  });
}

void TForm1::PlaceCentredThenMaximize() {
  resize(537, 420);
  CenterOnScreen();
  setWindowState(Qt::WindowMaximized);
}

void TForm1::FormCreate(QObject*) { unsaved_ = false; }

// Once per run: should a platform's focus order ever activate the window again, a second load
// would replace unsaved edits with the file.
void TForm1::FormActivate(QObject*) {
  if (activated_) return;
  activated_ = true;
  file_found_ = tol::FilePresent(file_name_);
  if (!file_found_) return;  // the grid's first focus reports the missing file
  load_failed_ = true;       // until the load is through
  tol::LoadTableFrom(*StringGrid1, file_name_, &Views->LoadSink());
  load_failed_ = false;
  undo_->Reset();
  FitColumnWidths();
}

// Each column becomes as wide as its longest text, the label row included. The texts are read
// in place, row by row as the grid stores them, rather than copied column by column. A text has
// no more characters than bytes, so one no longer in bytes than the column's longest so far is
// passed over uncounted, as most texts of a column are.
void TForm1::FitColumnWidths() {
  const tk::GridModel& cells = *StringGrid1->Model();
  const std::int32_t cols = StringGrid1->ColCount();
  std::vector<std::int32_t> longest(static_cast<std::size_t>(cols), 0);
  for (std::int32_t row = 0; row < StringGrid1->RowCount(); ++row) {
    for (std::int32_t col = 0; col < cols; ++col) {
      std::int32_t& most = longest[static_cast<std::size_t>(col)];
      const std::string& text = cells.Cell(col, row);
      if (text.size() > static_cast<std::size_t>(most)) most = std::max(most, CharacterCount(text));
    }
  }
  for (std::int32_t& width : longest) width = WidthForCharacters(width);
  StringGrid1->SetColWidths(longest);
}

void TForm1::StringGrid1Enter(QObject*) {
  if (file_found_) return;
  (void)tk::ShowMessageBox("Файл допусков не найден.", "Ошибка", tk::MB_OK_ICONERROR);
  RequestClose();  // nothing is unsaved yet, so the program ends without a question
}

void TForm1::StringGrid1SetEditText(QObject*, std::int32_t col, std::int32_t row,
                                    const std::string& value) {
  Label1->hide();
  MarkUnsaved();
  if (!StringGrid1->EditorOpen()) undo_->EditorClosed(col, row, value);
}

void TForm1::FormCloseQuery(QObject*, bool& can_close) {
  if (unsaved_) can_close = Confirm("Значения допусков не записаны. Выходить?");
}

bool TForm1::Confirm(const std::string& question) {
  return tk::ShowMessageBox(question, kCaption, tk::MB_YESNO_QUESTION) == tk::IDYES;
}

void TForm1::EditClick(QObject*) { StringGrid1->SetEditingMode(true); }

void TForm1::BExitClick(QObject*) { RequestClose(); }

void TForm1::AddKvClick(QObject*) { RunAddDialog(FormAddKv); }

void TForm1::AddIntClick(QObject*) { RunAddDialog(FormAddInt); }
