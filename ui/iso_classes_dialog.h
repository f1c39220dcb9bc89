#pragma once
// The small dialog of "Добавить квалитеты по ISO 286...": one line for class names such as
// "H7 g6 k6". OK asks check for the text's trouble; the dialog closes only when there is none,
// else it shows the trouble in red and selects the text, as the add-grade dialog does.

#include <QDialog>
#include <functional>
#include <string>

class QLabel;
class QLineEdit;

class IsoClassesDialog : public QDialog {
  Q_OBJECT

 public:
  explicit IsoClassesDialog(QWidget* parent, std::function<std::string(const std::string&)> check);

  QLineEdit* Edit1 = nullptr;
  QLabel* Label2 = nullptr;  // the red trouble, hidden until OK finds one

  [[nodiscard]] std::string Text() const;

  void accept() override;

 private:
  std::function<std::string(const std::string&)> check_;
};
