// Runs the serial port's dispatches in the Qt event loop of the thread that
// creates the dispatcher (the main thread): OnRxChar and OnError then run
// there, between other events or inside a nested loop a handler runs.
#pragma once

#include <QObject>
#include <memory>

#include "comm/Dispatcher.h"

namespace lumaq::ui {

class QtDispatcher final : public Dispatcher {
 public:
  // Create it on the thread whose event loop is to run the calls; it must
  // outlive the ports that use it.
  QtDispatcher();
  void Post(std::shared_ptr<PendingCall> call) override;

 private:
  QObject context_;
};

}  // namespace lumaq::ui
