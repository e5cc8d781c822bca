// Which points of the plan carry their label at a scale: a label is left out
// where it would overlap a point or a label given before it, and comes back
// when the user zooms in far enough to make room. Labels are placed and checked in
// pixels of the scale but relative to the ground, not to the view, so the
// choice holds for every position of the view at one scale and moving about
// does not make labels come and go.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "app/PlanTransform.h"

namespace lumaq {

// The box of a label: it starts gap pixels right of its point, is
// columnWidth pixels wide per column of text (labels are drawn in a font of
// fixed pitch, a Chinese character two columns) and height pixels high,
// centred on the point's height. A point is a square dotRadius pixels
// round its centre, which no label may cover.
struct LabelMetrics {
  double columnWidth = 8;
  double height = 16;
  double gap = 4;
  double dotRadius = 2;
};

struct LabelCandidate {
  GroundPoint at;
  int columns = 0;  // 0: no label
  // The distance to the nearest other point, in metres (0: not known). A
  // point so far from all others that no label can reach it or be reached
  // by its own keeps its label without a check: zoomed in, that is nearly
  // every point.
  double clearance = 0;
};

class LabelThinner {
 public:
  LabelThinner();
  ~LabelThinner();

  // The positions in candidates of the labels kept at scale (pixels per
  // metre), in order. Candidates are tried in the order given, so those
  // given first win a place: give the ones that matter most (outliers)
  // first. The others are checked against each other through a hash of
  // cells about one label in size, kept from one call to the next, so a job
  // of 15999 points is thinned in a few milliseconds.
  std::vector<std::size_t> Thin(std::span<const LabelCandidate> candidates, double scale,
                                const LabelMetrics& metrics);

 private:
  class BoxGrid;
  std::unique_ptr<BoxGrid> grid_;
};

}  // namespace lumaq
