#pragma once
// The add-grade dialog: names a new grade and takes its value pairs, one per interval.

#include "ui/add_dialog.h"

class TFormAddKv : public AddDialog {
  Q_OBJECT

 public:
  explicit TFormAddKv(QWidget* parent = nullptr);
};

// The dialog of the running add-grade command; its handlers reach their controls through it.
extern TFormAddKv* FormAddKv;
