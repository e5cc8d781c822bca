// Points far from all the others, as a point typed with N and E swapped, or
// with a digit dropped, lies: its nearest neighbour is further away than
// kOutlierFactor times the median nearest-neighbour distance of the job.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "app/PointIndex.h"

namespace lumaq {

inline constexpr double kOutlierFactor = 10.0;

struct Spacing {
  // By point: the distance to the nearest other point, 0 when another lies
  // at the same place, infinite for a point alone.
  std::vector<double> nearest;
  // The positions of the outliers, in order. Points at the same place count
  // as one point there (a station measured twice is not its own neighbour);
  // fewer than three places have no outliers.
  std::vector<std::size_t> outliers;
};

Spacing MeasureSpacing(std::span<const PlanePoint> points);

inline std::vector<std::size_t> FindOutliers(std::span<const PlanePoint> points) {
  return MeasureSpacing(points).outliers;
}

}  // namespace lumaq
