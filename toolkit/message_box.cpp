#include "toolkit/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

#include "toolkit/window_registry.h"

namespace tk {

namespace {

// The flag bits: buttons in the low four bits, the icon in the next four.
constexpr std::int32_t kButtonMask = 0x0F;
constexpr std::int32_t kIconMask = 0xF0;
constexpr std::int32_t kButtonsOk = 0x00;
constexpr std::int32_t kButtonsOkCancel = 0x01;
constexpr std::int32_t kButtonsYesNoCancel = 0x03;
constexpr std::int32_t kButtonsYesNo = 0x04;
constexpr std::int32_t kIconError = 0x10;
constexpr std::int32_t kIconQuestion = 0x20;
constexpr std::int32_t kIconWarning = 0x30;
constexpr std::int32_t kIconInformation = 0x40;
constexpr std::int32_t IDCANCEL = 2;

[[nodiscard]] QMessageBox::StandardButtons ButtonsOf(std::int32_t flags) {
  switch (flags & kButtonMask) {
    case kButtonsOkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case kButtonsYesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case kButtonsYesNo: return QMessageBox::Yes | QMessageBox::No;
    case kButtonsOk:
    default: return QMessageBox::Ok;
  }
}

[[nodiscard]] QMessageBox::Icon IconOf(std::int32_t flags) {
  switch (flags & kIconMask) {
    case kIconError: return QMessageBox::Critical;
    case kIconQuestion: return QMessageBox::Question;
    case kIconWarning: return QMessageBox::Warning;
    case kIconInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

// A box closed without pressing a button (Escape, close box) answers with its escape button,
// which Qt picks among No and Cancel; a box with OK alone answers OK.
[[nodiscard]] std::int32_t AnswerOf(int pressed) {
  switch (pressed) {
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    case QMessageBox::Cancel: return IDCANCEL;
    default: return IDOK;
  }
}

}  // namespace

std::int32_t ShowMessageBox(const std::string& text, const std::string& caption,
                            std::int32_t flags) {
  const QPointer<QWidget> previous = QApplication::activeWindow();
  QMessageBox box(IconOf(flags), QString::fromStdString(caption), QString::fromStdString(text),
                  ButtonsOf(flags));
  // The texts carry grade names and labels the user typed: shown as they are, never as markup.
  box.setTextFormat(Qt::PlainText);
  // Owned by the application: no window of it takes input while the box is up.
  box.setWindowModality(Qt::ApplicationModal);
  const int pressed = box.exec();
  box.hide();
  // The window that was active gets the focus back where it was; since a message box is no
  // Form, the focused-window record never changed and no OnActivate or OnEnter follows.
  if (previous && previous->isVisible()) detail::ActivateAndWait(previous);
  return AnswerOf(pressed);
}

}  // namespace tk
