#pragma once
// The add-grade dialog: names a new grade and takes its value pairs, one per interval.

#include <string>

#include "ui/add_dialog.h"

class TFormAddKv : public AddDialog {
  Q_OBJECT

 public:
  explicit TFormAddKv(QWidget* parent = nullptr);

  // The unsaved flag of every add-grade dialog of this run: set by typing a name or entering
  // the grid with a new one, cleared by a save.
  [[nodiscard]] static bool Unsaved() { return unsaved_; }
  // Returns the flag to its state at program start (tests begin each case from there).
  static void ForgetUnsaved() { unsaved_ = false; }

 protected:
  // The entry text padded with blanks to the six characters of a grade name.
  [[nodiscard]] std::string NewLabelText() const override;
  // Grades take every character the entry field accepts.
  void FilterEntryKey(QChar& key) override;

 private:
  static inline bool unsaved_ = false;
};

// The dialog of the running add-grade command, while it runs.
extern TFormAddKv* FormAddKv;
