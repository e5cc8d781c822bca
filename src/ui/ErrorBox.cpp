#include "ui/ErrorBox.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QTimer>
#include <new>

namespace lumaq::ui {
namespace {

void ShowStoredError(const std::exception_ptr& error, QWidget* parent) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& stored) {
    ShowErrorBox(stored, parent);
  }
}

// Shows the error once, after the first Show event of the window it watches.
class ShowAfterShow : public QObject {
 public:
  ShowAfterShow(std::exception_ptr error, QWidget* window)
      : QObject(window), error_(std::move(error)), window_(window) {
    window->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == window_ && event->type() == QEvent::Show) {
      window_->removeEventFilter(this);
      // Queued, so that the window is up before the box's own loop runs.
      QTimer::singleShot(0, window_,
                         [error = error_, window = window_] { ShowStoredError(error, window); });
      deleteLater();
    }
    return false;
  }

 private:
  std::exception_ptr error_;
  QWidget* window_;
};

}  // namespace

void ShowErrorBox(const std::exception& error, QWidget* parent) {
  // Running out of memory is said in the program's words, never as the
  // library's "std::bad_alloc".
  QString text = dynamic_cast<const std::bad_alloc*>(&error) != nullptr
                     ? QStringLiteral("内存不足，无法完成操作")
                     : QString::fromUtf8(error.what());
  if (!text.endsWith('.') && !text.endsWith(QChar(0x3002))) text += QChar(0x3002);
  QMessageBox::critical(parent != nullptr ? parent : QApplication::activeWindow(),
                        QApplication::applicationName(), text);
}

void ShowErrorBoxWhenVisible(std::exception_ptr error, QWidget* window) {
  if (window->isVisible()) {
    ShowStoredError(error, window);
    return;
  }
  new ShowAfterShow(std::move(error), window);
}

}  // namespace lumaq::ui
