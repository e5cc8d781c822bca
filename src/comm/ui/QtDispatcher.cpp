#include "comm/ui/QtDispatcher.h"

#include <QMetaObject>
#include <QtGlobal>
#include <exception>
#include <utility>

namespace lumaq::ui {

QtDispatcher::QtDispatcher() = default;

void QtDispatcher::Post(std::shared_ptr<PendingCall> call) {
  QMetaObject::invokeMethod(
      &context_,
      [call = std::move(call)] {
        // No exception may cross the event loop; the port has reported its
        // handlers' own already.
        try {
          call->Run();
        } catch (const std::exception& error) {
          qWarning("serial event: %s", error.what());
        } catch (...) {
          qWarning("serial event: unknown error");
        }
      },
      Qt::QueuedConnection);
}

}  // namespace lumaq::ui
