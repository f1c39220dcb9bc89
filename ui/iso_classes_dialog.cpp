#include "ui/iso_classes_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <utility>

IsoClassesDialog::IsoClassesDialog(QWidget* parent,
                                   std::function<std::string(const std::string&)> check)
    : QDialog(parent), check_(std::move(check)) {
  setWindowTitle(QStringLiteral("Квалитеты по ISO 286"));
  auto* column = new QVBoxLayout(this);
  auto* prompt = new QLabel(QStringLiteral("&Квалитеты (например: H7 g6 k6)"), this);
  Edit1 = new QLineEdit(this);
  prompt->setBuddy(Edit1);
  Label2 = new QLabel(this);
  QPalette red = Label2->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  Label2->setPalette(red);
  Label2->setWordWrap(true);
  Label2->hide();
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  column->addWidget(prompt);
  column->addWidget(Edit1);
  column->addWidget(Label2);
  column->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &IsoClassesDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &IsoClassesDialog::reject);
  connect(Edit1, &QLineEdit::textEdited, Label2, &QLabel::hide);
  resize(360, sizeHint().height());
}

std::string IsoClassesDialog::Text() const { return Edit1->text().toStdString(); }

void IsoClassesDialog::accept() {
  const std::string trouble = check_(Text());
  if (trouble.empty()) {
    QDialog::accept();
    return;
  }
  Label2->setText(QString::fromStdString(trouble));
  Label2->show();
  Edit1->setFocus();
  Edit1->selectAll();
}
