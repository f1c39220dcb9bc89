#pragma once
// Placeholder until the add dialogs are built.

#include "toolkit/form.h"

class AddDialog : public tk::Form {
  Q_OBJECT

 public:
  using tk::Form::Form;
};
