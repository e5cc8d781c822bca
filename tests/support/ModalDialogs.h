// Answers the modal windows a command opens (the settings dialog before a
// transfer, a warning box), from inside the modal loop they run: a timer
// looks at the visible windows and acts on the next one the script expects.
// A watchdog ends every modal dialog once the deadline has passed, so a
// transfer that never ends fails the test instead of hanging it.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace lumaq::test {

class ModalDialogs {
 public:
  explicit ModalDialogs(std::chrono::milliseconds deadline = std::chrono::seconds(60))
      : deadline_(deadline) {
    started_.start();
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
    timer_.start();
  }

  // The next visible window of type W is handed to act; each window once.
  template <typename W>
  void Next(std::function<void(W*)> act) {
    steps_.push_back([act = std::move(act)](QWidget* window) {
      auto* typed = qobject_cast<W*>(window);
      if (typed == nullptr) return false;
      act(typed);
      return true;
    });
  }

  // A message box: its caption, text and informative text are kept in boxes,
  // and OK is clicked.
  void NextMessageBox() {
    Next<QMessageBox>([this](QMessageBox* box) {
      boxes.push_back(
          (box->windowTitle() + "|" + box->text() + "|" + box->informativeText()).toStdString());
      box->button(QMessageBox::Ok)->click();
    });
  }

  // Runs again every few milliseconds while the script waits for the state
  // of a window it cannot act on by type (a counter reaching a value).
  void While(std::function<bool()> waiting, std::function<void()> then) {
    steps_.push_back([waiting = std::move(waiting), then = std::move(then)](QWidget*) {
      if (waiting()) return false;
      then();
      return true;
    });
  }

  bool AllDone() const { return steps_.empty(); }

  std::vector<std::string> boxes;  // "caption|text|informative text"

 private:
  void Look() {
    if (started_.elapsed() > deadline_.count()) {
      timer_.stop();
      ADD_FAILURE() << "modal windows still open at the deadline";
      for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible()) {
          dialog->reject();
        }
      }
      return;
    }
    if (steps_.empty()) return;
    if (steps_.front()(nullptr)) {
      steps_.pop_front();
      return;
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (!window->isVisible() || Seen(window)) continue;
      if (steps_.front()(window)) {
        seen_.push_back(window);
        steps_.pop_front();
        return;
      }
    }
  }

  // Acted on already (a window deleted since does not count).
  bool Seen(QWidget* window) const {
    for (const QPointer<QWidget>& seen : seen_) {
      if (seen == window) return true;
    }
    return false;
  }

  std::chrono::milliseconds deadline_;
  QElapsedTimer started_;
  QTimer timer_;
  std::deque<std::function<bool(QWidget*)>> steps_;
  std::vector<QPointer<QWidget>> seen_;
};

}  // namespace lumaq::test
