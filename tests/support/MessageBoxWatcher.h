// While it lives, every message box that opens is recorded and closed with
// OK, so that a window test can run code that shows a blocking box (the error
// box) and then check what the box said and over which window.
#pragma once

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <cstddef>
#include <vector>

namespace lumaq::test {

class MessageBoxWatcher : public QObject {
 public:
  struct Box {
    QString title;
    QString text;
    QMessageBox::Icon icon;
    QWidget* parent;
  };

  MessageBoxWatcher() { QApplication::instance()->installEventFilter(this); }
  ~MessageBoxWatcher() override { QApplication::instance()->removeEventFilter(this); }
  MessageBoxWatcher(const MessageBoxWatcher&) = delete;
  MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

  // Runs the event loop until count boxes have opened, or the deadline has
  // passed; true when they have.
  bool WaitForBoxes(std::size_t count,
                    std::chrono::milliseconds deadline = std::chrono::seconds(5)) {
    return QTest::qWaitFor([&] { return boxes.size() >= count; },
                           static_cast<int>(deadline.count()));
  }

  std::vector<Box> boxes;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* box = qobject_cast<QMessageBox*>(watched);
    if (box != nullptr && event->type() == QEvent::Show) {
      boxes.push_back({box->windowTitle(), box->text(), box->icon(), box->parentWidget()});
      // Closed from the box's own loop, once it is running.
      QTimer::singleShot(0, box, [guarded = QPointer<QMessageBox>(box)] {
        if (guarded) guarded->done(QMessageBox::Ok);
      });
    }
    return false;
  }
};

}  // namespace lumaq::test
