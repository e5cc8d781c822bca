#include "app/PointIndex.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lumaq {
namespace {

// Below this a range is scanned rather than split: cheaper than descending.
constexpr std::size_t kLeafSize = 8;

double Coordinate(const PlanePoint& p, int axis) {
  return axis == 0 ? p.x : p.y;
}

double SquaredDistance(const PlanePoint& a, const PlanePoint& b) {
  const double dx = a.x - b.x;
  const double dy = a.y - b.y;
  return dx * dx + dy * dy;
}

}  // namespace

struct PointIndex::Search {
  PlanePoint query;
  std::size_t skip;
  double best = std::numeric_limits<double>::infinity();  // squared
  std::size_t bestIndex = kNone;

  void Consider(const Node& node) {
    if (node.index == skip) return;
    const double d = SquaredDistance(node.at, query);
    if (d < best || (d == best && node.index < bestIndex)) {
      best = d;
      bestIndex = node.index;
    }
  }
};

PointIndex::PointIndex(std::span<const PlanePoint> points) {
  nodes_.reserve(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) {
    nodes_.push_back({points[i], static_cast<std::uint32_t>(i)});
  }
  Build(0, nodes_.size(), 0);
}

void PointIndex::Build(std::size_t first, std::size_t last, int axis) {
  if (last - first <= kLeafSize) return;
  const std::size_t middle = first + (last - first) / 2;
  const auto begin = nodes_.begin();
  std::nth_element(begin + static_cast<std::ptrdiff_t>(first),
                   begin + static_cast<std::ptrdiff_t>(middle),
                   begin + static_cast<std::ptrdiff_t>(last), [axis](const Node& a, const Node& b) {
                     return Coordinate(a.at, axis) < Coordinate(b.at, axis);
                   });
  Build(first, middle, 1 - axis);
  Build(middle + 1, last, 1 - axis);
}

std::optional<PointIndex::Hit> PointIndex::Nearest(PlanePoint query, std::size_t skip) const {
  Search search{query, skip};
  Visit(search, 0, nodes_.size(), 0);
  if (search.bestIndex == kNone) return std::nullopt;
  return Hit{search.bestIndex, std::sqrt(search.best)};
}

std::vector<double> PointIndex::NearestDistances() const {
  std::vector<double> distances(nodes_.size(), std::numeric_limits<double>::infinity());
  // In the tree's order, neighbours follow each other: the searches touch
  // the same nodes one after the other.
  for (const Node& node : nodes_) {
    Search search{node.at, node.index};
    Visit(search, 0, nodes_.size(), 0);
    if (search.bestIndex != kNone) distances[node.index] = std::sqrt(search.best);
  }
  return distances;
}

void PointIndex::Visit(Search& search, std::size_t first, std::size_t last, int axis) const {
  if (last - first <= kLeafSize) {
    for (std::size_t i = first; i < last; ++i) search.Consider(nodes_[i]);
    return;
  }
  const std::size_t middle = first + (last - first) / 2;
  const Node& node = nodes_[middle];
  search.Consider(node);
  const double offset = Coordinate(search.query, axis) - Coordinate(node.at, axis);
  const bool belowFirst = offset < 0;
  if (belowFirst) {
    Visit(search, first, middle, 1 - axis);
  } else {
    Visit(search, middle + 1, last, 1 - axis);
  }
  // The other side can only hold a nearer point (or one as near, given
  // earlier) when the splitting line is no further than the best so far.
  if (offset * offset <= search.best) {
    if (belowFirst) {
      Visit(search, middle + 1, last, 1 - axis);
    } else {
      Visit(search, first, middle, 1 - axis);
    }
  }
}

}  // namespace lumaq
