#include "app/PlanOutliers.h"

#include <algorithm>

namespace lumaq {
namespace {

struct Places {
  std::vector<PlanePoint> at;
  std::vector<std::size_t> ofPoint;  // the place of each point
  std::vector<int> pointCount;       // by place
};

Places DistinctPlaces(std::span<const PlanePoint> points) {
  struct Sorted {
    PlanePoint at;
    std::size_t point;
  };
  std::vector<Sorted> sorted;
  sorted.reserve(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) sorted.push_back({points[i], i});
  std::sort(sorted.begin(), sorted.end(), [](const Sorted& a, const Sorted& b) {
    return a.at.x < b.at.x || (a.at.x == b.at.x && a.at.y < b.at.y);
  });
  Places places;
  places.ofPoint.resize(points.size());
  for (const Sorted& s : sorted) {
    if (places.at.empty() || places.at.back().x != s.at.x || places.at.back().y != s.at.y) {
      places.at.push_back(s.at);
      places.pointCount.push_back(0);
    }
    places.ofPoint[s.point] = places.at.size() - 1;
    ++places.pointCount.back();
  }
  return places;
}

}  // namespace

Spacing MeasureSpacing(std::span<const PlanePoint> points) {
  const Places places = DistinctPlaces(points);
  const std::vector<double> nearest = PointIndex(places.at).NearestDistances();
  Spacing spacing;
  spacing.nearest.reserve(points.size());
  for (const std::size_t place : places.ofPoint) {
    spacing.nearest.push_back(places.pointCount[place] > 1 ? 0.0 : nearest[place]);
  }
  if (places.at.size() < 3) return spacing;

  std::vector<double> sorted = nearest;
  const auto middle = sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2);
  std::nth_element(sorted.begin(), middle, sorted.end());
  const double limit = kOutlierFactor * *middle;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (nearest[places.ofPoint[i]] > limit) spacing.outliers.push_back(i);
  }
  return spacing;
}

}  // namespace lumaq
