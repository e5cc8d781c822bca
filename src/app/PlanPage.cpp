#include "app/PlanPage.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "app/PlanTexts.h"
#include "app/ScaleBar.h"

namespace lumaq {
namespace {

int Round(double value) {
  return static_cast<int>(std::lround(value));
}

void DrawPieces(PrintSurface& surface, int x, int y, const std::vector<TextPiece>& pieces) {
  for (const TextPiece& piece : pieces) {
    surface.DrawText(x, y, piece.text, piece.encoding);
    x += surface.TextWidth(piece.text, piece.encoding);
  }
}

void DrawFrame(PrintSurface& surface, const PlanPageLayout& l) {
  surface.DrawLine(l.frameLeft, l.frameTop, l.frameRight, l.frameTop);
  surface.DrawLine(l.frameRight, l.frameTop, l.frameRight, l.frameBottom);
  surface.DrawLine(l.frameRight, l.frameBottom, l.frameLeft, l.frameBottom);
  surface.DrawLine(l.frameLeft, l.frameBottom, l.frameLeft, l.frameTop);
}

// An arrow pointing up with an "N" over its tip, two lines high.
void DrawNorthArrow(PrintSurface& surface, const PlanPageLayout& l) {
  const int h = l.lineHeight;
  const int x = l.frameRight - 2 * h;
  const int tip = l.frameTop + 2 * h;
  surface.DrawLine(x, tip, x, tip + 2 * h);
  surface.DrawLine(x, tip, x - h / 2, tip + h);
  surface.DrawLine(x, tip, x + h / 2, tip + h);
  surface.DrawLine(x - h / 2, tip + h, x + h / 2, tip + h);
  surface.DrawText(x - surface.TextWidth("N", TextEncoding::kUtf8) / 2, tip - h - h / 4, "N",
                   TextEncoding::kUtf8);
}

// A bar with end ticks and its length over it, at most a quarter of the
// frame wide.
void DrawScaleBar(PrintSurface& surface, const PlanPageLayout& l, double scale) {
  const int h = l.lineHeight;
  const ScaleBar bar = NiceScaleBar(scale, (l.frameRight - l.frameLeft) / 4.0);
  const int x0 = l.frameLeft + h;
  const int x1 = x0 + Round(bar.pixels);
  const int y = l.frameBottom - h;
  surface.DrawLine(x0, y, x1, y);
  surface.DrawLine(x0, y, x0, y - h / 2);
  surface.DrawLine(x1, y, x1, y - h / 2);
  surface.DrawText(x0, y - h - h / 2, bar.text, TextEncoding::kUtf8);
}

}  // namespace

PlanPageLayout MeasurePlanPage(PrintSurface& surface) {
  PlanPageLayout l;
  l.lineHeight = surface.TextHeight("Hi", TextEncoding::kUtf8);
  if (l.lineHeight < 1) throw std::logic_error("the surface reports text without height");
  l.columnWidth = surface.TextWidth("0", TextEncoding::kCodePage);
  l.frameLeft = 0;
  l.frameTop = 3 * l.lineHeight;
  l.frameRight = surface.PageWidth() - 1;
  l.frameBottom = surface.PageHeight() - 1;
  l.dotRadius = std::max(1, l.lineHeight / 8);
  return l;
}

bool PageHoldsAPlan(const PlanPageLayout& l) {
  // Room for the north arrow over the scale bar, and for some points.
  return l.frameBottom - l.frameTop >= 8 * l.lineHeight &&
         l.frameRight - l.frameLeft >= 8 * l.lineHeight;
}

void DrawPlanPage(PrintSurface& surface, PlanScene& scene, const PlanPageLayout& l,
                  const std::string& title, bool withCodes) {
  PlanTransform transform;
  transform.SetViewSize(l.frameRight - l.frameLeft, l.frameBottom - l.frameTop);
  // The margin keeps the outermost labels, the arrow and the bar clear.
  transform.FitAll(scene.Bounds(), 4 * l.lineHeight);
  const auto place = [&](GroundPoint at) {
    const PlanePoint v = transform.ToView(at);
    return PlanePoint{v.x + l.frameLeft, v.y + l.frameTop};
  };
  std::vector<std::string> outlierNames;
  for (const std::size_t i : scene.Outliers()) outlierNames.push_back(scene.Points()[i].name);
  const int drawn = static_cast<int>(scene.Points().size());

  PrintDocument(surface, [&] {
    surface.DrawText(0, 0, title, TextEncoding::kUtf8);
    DrawPieces(surface, 0, l.lineHeight + l.lineHeight / 2,
               PlanSummary(drawn, scene.UndrawnCount(), outlierNames));
    DrawFrame(surface, l);
    // The outliers come last so that nothing covers them.
    surface.SetInk(Ink::kPoint);
    for (std::size_t i = 0; i < scene.Points().size(); ++i) {
      if (scene.IsOutlier(i)) continue;
      const PlanePoint v = place(scene.Points()[i].at);
      surface.DrawDot(Round(v.x), Round(v.y), l.dotRadius);
    }
    surface.SetInk(Ink::kOutlier);
    for (const std::size_t i : scene.Outliers()) {
      const PlanePoint v = place(scene.Points()[i].at);
      surface.DrawDot(Round(v.x), Round(v.y), 2 * l.dotRadius);
    }
    const LabelMetrics metrics{static_cast<double>(l.columnWidth),
                               static_cast<double>(l.lineHeight), 3.0 * l.dotRadius,
                               static_cast<double>(l.dotRadius)};
    for (const std::size_t i : scene.LabelledPoints(transform.Scale(), metrics, withCodes)) {
      const PlanePoint v = place(scene.Points()[i].at);
      surface.SetInk(scene.IsOutlier(i) ? Ink::kOutlier : Ink::kBlack);
      surface.DrawText(Round(v.x + metrics.gap), Round(v.y) - l.lineHeight / 2,
                       LabelText(scene.Points()[i], withCodes), TextEncoding::kCodePage);
    }
    surface.SetInk(Ink::kBlack);
    DrawNorthArrow(surface, l);
    DrawScaleBar(surface, l, transform.Scale());
  });
}

}  // namespace lumaq
