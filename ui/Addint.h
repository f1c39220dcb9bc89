#pragma once
// The add-interval dialog: names a new size interval and takes its value pairs, one per grade.

#include <string>

#include "ui/add_dialog.h"

class TFormAddInt : public AddDialog {
  Q_OBJECT

 public:
  explicit TFormAddInt(QWidget* parent = nullptr);

  // The unsaved flag of every add-interval dialog of this run: set by typing a bound or
  // entering the grid with a new one, cleared by a save.
  [[nodiscard]] static bool Unsaved() { return unsaved_; }
  // Returns the flag to its state at program start (tests begin each case from there).
  static void ForgetUnsaved() { unsaved_ = false; }

 protected:
  // "До " followed by the bound typed.
  [[nodiscard]] std::string NewLabelText() const override;
  // Only digits and backspace reach the entry field; Enter has done its work by then.
  void FilterEntryKey(QChar& key) override;

 private:
  static inline bool unsaved_ = false;
};

// The dialog of the running add-interval command, while it runs.
extern TFormAddInt* FormAddInt;
