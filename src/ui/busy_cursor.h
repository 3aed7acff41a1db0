#pragma once

#include <QApplication>
#include <QEvent>

namespace kvx {

// Shows the wait cursor while the UI thread blocks on the device.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// While it lives, input that reaches an object is dropped. The window system's own input already waits
// in its queue while events are processed without it; this catches what goes straight to an object
// (posted or synthesized events), so that nothing the operator does starts work inside a wait.
class InputHold : public QObject {
public:
    InputHold() { QCoreApplication::instance()->installEventFilter(this); }
    ~InputHold() override { QCoreApplication::instance()->removeEventFilter(this); }
    InputHold(const InputHold&) = delete;
    InputHold& operator=(const InputHold&) = delete;

protected:
    bool eventFilter(QObject*, QEvent* event) override { return event->isInputEvent(); }
};

} // namespace kvx
