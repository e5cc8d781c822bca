#include "ui/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <algorithm>

namespace lumaq::ui {
namespace {

const QScreen* ScreenOf(const QWidget* window) {
  const QScreen* screen = window->screen();
  return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}

// The frame the window system has put around the client area; none before
// the window is shown, and on some systems not until a while after.
QMargins KnownFrameOf(const QWidget* window) {
  const QRect frame = window->frameGeometry();
  const QRect client = window->geometry();
  return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
          frame.bottom() - client.bottom()};
}

// The known frame, or while there is none a title bar and borders as the
// style draws them: a window fitted without its frame would push the frame
// out of the area.
QMargins FrameOf(const QWidget* window) {
  const QMargins known = KnownFrameOf(window);
  if (!known.isNull()) return known;
  const QStyle* style = window->style();
  const int border = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, window);
  const int title = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
  return {border, title + border, border, border};
}

// The top left corner of a frame of size frame centred on available, but
// never above or left of it.
QPoint CentredCorner(QSize frame, const QRect& available) {
  return {available.left() + std::max(0, (available.width() - frame.width()) / 2),
          available.top() + std::max(0, (available.height() - frame.height()) / 2)};
}

void Fit(QWidget* window, QSize designed) {
  const QScreen* screen = ScreenOf(window);
  if (screen == nullptr) {
    window->resize(designed);
    return;
  }
  window->setGeometry(FittedClientRect(designed, FrameOf(window), screen->availableGeometry()));
}

// The window system puts its frame around a window only once it is shown:
// the window is fitted again with it, as soon as it is known.
class RefitWhenShown : public QObject {
 public:
  RefitWhenShown(QWidget* window, QSize designed)
      : QObject(window), window_(window), designed_(designed) {
    window->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == window_ && event->type() == QEvent::Show) {
      window_->removeEventFilter(this);
      // Queued, so that the frame is there.
      QTimer::singleShot(0, window_, [window = QPointer<QWidget>(window_), designed = designed_] {
        if (window && !KnownFrameOf(window).isNull()) Fit(window, designed);
      });
      deleteLater();
    }
    return false;
  }

 private:
  QWidget* window_;
  QSize designed_;
};

}  // namespace

QRect FittedClientRect(QSize designed, QMargins frame, QRect available) {
  const QSize room = available.size().shrunkBy(frame);
  const QSize client = designed.boundedTo(room.expandedTo(QSize(0, 0)));
  const QPoint corner = CentredCorner(client.grownBy(frame), available);
  return {corner + QPoint(frame.left(), frame.top()), client};
}

void FitOnScreen(QWidget* window, QSize designed) {
  Fit(window, designed);
  if (!window->isVisible()) new RefitWhenShown(window, designed);
}

void CentreOnScreen(QWidget* window) {
  if (const QScreen* screen = ScreenOf(window)) {
    window->move(CentredCorner(window->frameGeometry().size(), screen->availableGeometry()));
  }
}

}  // namespace lumaq::ui
