// Handlers that run inside the toolkit's own code (a signal of a control, a
// paint event) must not let an exception unwind through it: the toolkit is
// not built for that, and its state would be left half-changed. Their errors
// are raised again from an event of their own, which carries them to the
// application's error reporter like any other handler's.
#pragma once

#include <QObject>

#include <exception>
#include <utility>

// Raises `error` from a queued event of `context`, once the current event is
// done.
void RaiseLater(QObject* context, std::exception_ptr error);

// A slot that runs `handler` and raises its error later (above).
template <typename Handler>
auto Guarded(QObject* context, Handler handler) {
  return [context, handler = std::move(handler)] {
    try {
      handler();
    } catch (...) {
      RaiseLater(context, std::current_exception());
    }
  };
}
