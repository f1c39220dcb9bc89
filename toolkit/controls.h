#pragma once
// The controls the editor's windows use besides the grid: push buttons with a modal result,
// flat tool buttons, and single-line entry fields with key-press, change and enter events.

#include <QChar>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <cstdint>
#include <functional>

namespace tk {

// A push button; a click copies its ModalResult (when not 0) into its Form, then runs OnClick.
class Button : public QPushButton {
  Q_OBJECT

 public:
  explicit Button(const QString& caption, QWidget* parent);
  std::int32_t ModalResult = 0;
  std::function<void(QObject* sender)> OnClick;
};

// A square flat tool button with a picture and a tool-tip; a click runs OnClick.
class FlatButton : public QToolButton {
  Q_OBJECT

 public:
  FlatButton(const QIcon& picture, const QString& hint, QWidget* parent);
  std::function<void(QObject* sender)> OnClick;
};

// A single-line entry field. Receiving the focus from the keyboard or through ActiveControl
// selects its whole text; a mouse click places the caret.
class Edit : public QLineEdit {
  Q_OBJECT

 public:
  explicit Edit(QWidget* parent);
  // Every typed character (Enter 13 and backspace 8 included) before it takes effect; set key
  // to QChar(0) to discard it.
  std::function<void(QObject* sender, QChar& key)> OnKeyPress;
  // After every change of the text.
  std::function<void(QObject* sender)> OnChange;
  std::function<void(QObject* sender)> OnEnter;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
};

}  // namespace tk
