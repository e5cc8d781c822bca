// Where a point of the ground (E, N in metres) appears in a view of the plan
// (x to the right, y down, in pixels): north up, east to the right, one scale
// for both axes. The view shows the ground around its centre point; moving
// about changes that point and the scale, never the direction of the axes.
#pragma once

#include "app/PointIndex.h"

namespace lumaq {

// A point of the ground: easting and northing, in metres.
struct GroundPoint {
  double e = 0;
  double n = 0;
};

// The smallest rectangle of the ground that holds every point added to it.
struct GroundBounds {
  double minE = 0, minN = 0, maxE = 0, maxN = 0;
  bool empty = true;

  void Add(GroundPoint p);
  double Width() const { return maxE - minE; }
  double Height() const { return maxN - minN; }
};

class PlanTransform {
 public:
  // The scales the view keeps to, in pixels per metre: from the whole range
  // of coordinates a record may hold (11000 km) in a few pixels, to a view
  // of a few millimetres.
  static constexpr double kMinScale = 1e-6;
  static constexpr double kMaxScale = 1e5;
  // A fitted view shows at least this much ground across (one point, or
  // points all on one line of the same N or E, have no extent of their own).
  static constexpr double kMinFitExtent = 10.0;

  // width, height: the size of the view in pixels.
  void SetViewSize(double width, double height);
  double ViewWidth() const { return width_; }
  double ViewHeight() const { return height_; }

  double Scale() const { return scale_; }  // pixels per metre
  GroundPoint Centre() const { return centre_; }

  PlanePoint ToView(GroundPoint p) const;
  GroundPoint ToGround(PlanePoint v) const;

  // The whole of bounds in the view, centred, with at least margin pixels to
  // spare on every side. Empty bounds centre the view on (0, 0).
  void FitAll(const GroundBounds& bounds, double margin);
  // Scales by factor (within the scale limits), keeping the ground under
  // anchor where it is.
  void ZoomAbout(PlanePoint anchor, double factor);
  // Moves the ground with the pointer: by dx pixels right and dy down.
  void Pan(double dx, double dy);
  // The view centred on p, the scale kept.
  void CentreOn(GroundPoint p) { centre_ = p; }

 private:
  double width_ = 0;
  double height_ = 0;
  double scale_ = 1;
  GroundPoint centre_;
};

}  // namespace lumaq
