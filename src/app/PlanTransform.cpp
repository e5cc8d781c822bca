#include "app/PlanTransform.h"

#include <algorithm>

namespace lumaq {

void GroundBounds::Add(GroundPoint p) {
  if (empty) {
    minE = maxE = p.e;
    minN = maxN = p.n;
    empty = false;
    return;
  }
  minE = std::min(minE, p.e);
  maxE = std::max(maxE, p.e);
  minN = std::min(minN, p.n);
  maxN = std::max(maxN, p.n);
}

void PlanTransform::SetViewSize(double width, double height) {
  width_ = width;
  height_ = height;
}

PlanePoint PlanTransform::ToView(GroundPoint p) const {
  return {(p.e - centre_.e) * scale_ + width_ / 2, (centre_.n - p.n) * scale_ + height_ / 2};
}

GroundPoint PlanTransform::ToGround(PlanePoint v) const {
  return {centre_.e + (v.x - width_ / 2) / scale_, centre_.n - (v.y - height_ / 2) / scale_};
}

void PlanTransform::FitAll(const GroundBounds& bounds, double margin) {
  if (bounds.empty) {
    centre_ = {};
    return;
  }
  centre_ = {(bounds.minE + bounds.maxE) / 2, (bounds.minN + bounds.maxN) / 2};
  const double width = std::max(bounds.Width(), kMinFitExtent);
  const double height = std::max(bounds.Height(), kMinFitExtent);
  const double roomX = std::max(width_ - 2 * margin, 1.0);
  const double roomY = std::max(height_ - 2 * margin, 1.0);
  scale_ = std::clamp(std::min(roomX / width, roomY / height), kMinScale, kMaxScale);
}

void PlanTransform::ZoomAbout(PlanePoint anchor, double factor) {
  const GroundPoint held = ToGround(anchor);
  scale_ = std::clamp(scale_ * factor, kMinScale, kMaxScale);
  centre_ = {held.e - (anchor.x - width_ / 2) / scale_, held.n + (anchor.y - height_ / 2) / scale_};
}

void PlanTransform::Pan(double dx, double dy) {
  centre_.e -= dx / scale_;
  centre_.n += dy / scale_;
}

}  // namespace lumaq
