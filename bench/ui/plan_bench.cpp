// The plan view of a full job (15999 points), offscreen, through the real
// window: the first frame after F6 (the scene read from the table), Show all,
// and frames of panning and zooming as the mouse and the wheel make them.
// Each frame is the event and a synchronous repaint. Prints rows for
// bench/run.sh ("operation<TAB>seconds<TAB>floor<TAB>floor seconds"), the
// median and the worst frame of each kind against the 16 ms of a frame at
// 60 Hz, in processor time of the window's thread: offscreen, the frame's
// whole work runs there, so that is its time on an idle machine. The wall
// times, which other load on the machine stretches, go to standard error.
//
// usage: lumaq_plan_bench [--frames N] [--svg OUT.svg]
//   --svg also writes the plan as an SVG drawing and names its size.
#include <stdlib.h>
#include <time.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "SampleJob.h"
#include "app/PlanCommands.h"
#include "app/PlanPage.h"
#include "app/ui/QtPlanPictures.h"
#include "app/ui/Zivoru_main.h"
#include "records/JobFiles.h"
#include "support/OpenOneFile.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

constexpr double kFrameBudget = 0.016;

struct Frames {
  std::vector<double> processor;
  std::vector<double> wall;
};

double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void Measure(Frames& frames, const std::function<void()>& frame) {
  QElapsedTimer timer;
  const double start = ThreadSeconds();
  timer.start();
  frame();
  frames.wall.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e9);
  frames.processor.push_back(ThreadSeconds() - start);
}

void PrintRows(const char* operation, Frames frames) {
  for (auto* seconds : {&frames.processor, &frames.wall}) {
    std::sort(seconds->begin(), seconds->end());
  }
  const auto median = [](const std::vector<double>& s) { return s[s.size() / 2]; };
  std::printf("%s, median\t%.6f\tframe budget (60 Hz)\t%.6f\n", operation, median(frames.processor),
              kFrameBudget);
  std::printf("%s, worst\t%.6f\tframe budget (60 Hz)\t%.6f\n", operation, frames.processor.back(),
              kFrameBudget);
  std::fprintf(stderr, "%s: wall time median %.1f ms, worst %.1f ms\n", operation,
               1e3 * median(frames.wall), 1e3 * frames.wall.back());
}

void Send(QWidget* widget, QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
  QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

int Run(int frames, const std::string& svgPath) {
  const test::TempDir dir;
  const std::string job = dir.Path("JOB.BDT");
  WriteTextFile(job, bench::SampleJobText(kMaxRecords));
  test::OpenOneFile dialogs(job, 1);
  ui::TForm1 form(&dialogs);
  form.FormCreate({}, false);
  form.show();
  form.MenuJobOpen->trigger();
  QApplication::processEvents();
  ui::PlanWidget* plan = form.PlanView1;

  Frames first;
  Measure(first, [&] {
    form.MenuPlan->trigger();
    plan->repaint();
  });
  if (plan->Scene().Points().size() != static_cast<std::size_t>(kMaxRecords)) {
    std::fprintf(stderr, "lumaq_plan_bench: the plan holds %zu points\n",
                 plan->Scene().Points().size());
    return 1;
  }
  Frames fit, pan, zoom;
  for (int i = 0; i < frames; ++i) {
    Measure(fit, [&] {
      plan->FitAllAction()->trigger();
      plan->repaint();
    });
  }
  // Zoomed in three notches, then dragged round in a circle of 60 pixels.
  const QPointF centre(plan->width() / 2.0, plan->height() / 2.0);
  for (int notch = 0; notch < 3; ++notch) {
    QWheelEvent in(centre, centre, QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(plan, &in);
  }
  plan->repaint();
  Send(plan, QEvent::MouseButtonPress, centre, Qt::LeftButton);
  for (int i = 0; i < frames; ++i) {
    const double angle = i * 0.2;
    const QPointF at = centre + QPointF(60 * std::cos(angle), 60 * std::sin(angle));
    Measure(pan, [&] {
      Send(plan, QEvent::MouseMove, at, Qt::LeftButton);
      plan->repaint();
    });
  }
  Send(plan, QEvent::MouseButtonRelease, centre, Qt::NoButton);
  // In and out about points across the view, a notch a frame.
  for (int i = 0; i < frames; ++i) {
    const QPointF at(plan->width() * ((i * 37) % 100) / 100.0,
                     plan->height() * ((i * 61) % 100) / 100.0);
    const int delta = (i / 8) % 2 == 0 ? 120 : -120;
    QWheelEvent wheel(at, plan->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    Measure(zoom, [&] {
      QApplication::sendEvent(plan, &wheel);
      plan->repaint();
    });
  }
  PrintRows("plan first frame after F6, 15999 points", first);
  PrintRows("plan show all, 15999 points", fit);
  PrintRows("plan pan frame, 15999 points", pan);
  PrintRows("plan zoom frame, 15999 points", zoom);

  if (!svgPath.empty()) {
    ui::QtPlanPictures pictures;
    const auto svg = pictures.NewPicture(PictureKind::kSvg);
    DrawPlanPage(*svg, plan->Scene(), MeasurePlanPage(*svg), PlanTitle("JOB.BDT"), false);
    const std::string bytes = svg->TakeBytes();
    WriteFileAtomically(svgPath, bytes);
    std::fprintf(stderr, "lumaq_plan_bench: %s, %zu bytes\n", svgPath.c_str(), bytes.size());
  }
  return 0;
}

}  // namespace
}  // namespace lumaq

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  int frames = 200;
  std::string svg;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--frames") {
      frames = std::max(1, std::atoi(argv[i + 1]));
    } else if (option == "--svg") {
      svg = argv[i + 1];
    } else {
      std::fprintf(stderr, "usage: lumaq_plan_bench [--frames N] [--svg OUT.svg]\n");
      return 2;
    }
  }
  return lumaq::Run(frames, svg);
}
