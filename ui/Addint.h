#pragma once
// The add-interval dialog: names a new size interval and takes its value pairs, one per grade.

#include "ui/add_dialog.h"

class TFormAddInt : public AddDialog {
  Q_OBJECT

 public:
  explicit TFormAddInt(QWidget* parent = nullptr);
};

// The dialog of the running add-interval command; its handlers reach their controls through it.
extern TFormAddInt* FormAddInt;
