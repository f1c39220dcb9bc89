#pragma once
// The one place where errors leaving an event handler are caught: every handler the toolkit
// calls runs inside Guarded, so no exception ever passes through Qt's event loop.

#include <QObject>
#include <QString>
#include <exception>
#include <functional>
#include <utility>

namespace tk {

// The application's error report: a modal box with the error's message followed by ".",
// captioned with ApplicationTitle(), the stop icon and one OK button. Cancels any mouse grab
// first. Returns when OK is pressed.
void ReportException(const std::exception& error);

// The executable's file name without its directory, cut at its first ".", every letter after
// the first lower-cased ("DEMO.EXE" gives "Demo").
[[nodiscard]] QString ApplicationTitle();
// The title rule applied to a file name without directory.
[[nodiscard]] QString TitleFromFileName(const QString& file_name);

// Runs handler; an exception leaving it is shown by ReportException and goes no further.
template <class Handler>
void Guarded(Handler&& handler) noexcept {
  try {
    std::forward<Handler>(handler)();
  } catch (const std::exception& error) {
    ReportException(error);
  }
}

// Connects a Qt signal to an event handler of the editor, run inside Guarded. The handler
// receives the sender (the control that raised the event) as its only argument.
template <class Sender, class Signal>
QMetaObject::Connection Connect(Sender* sender, Signal signal, QObject* context,
                                std::function<void(QObject*)> handler) {
  return QObject::connect(sender, signal, context, [sender, handler = std::move(handler)] {
    Guarded([&] { handler(sender); });
  });
}

}  // namespace tk
