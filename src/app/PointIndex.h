// A 2-d tree over the points of a plan, for the nearest-neighbour questions
// the plan asks of a whole job: which point was clicked, how far each point
// is from its nearest neighbour. A grid would do as well for an even spread,
// but one point typed far away (N and E swapped) stretches a grid until all
// the others share one cell; the tree does not care how points are spread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace lumaq {

struct PlanePoint {
  double x = 0;
  double y = 0;
};

class PointIndex {
 public:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  struct Hit {
    std::size_t index;  // into the points the index was built from
    double distance;
  };

  PointIndex() = default;
  // O(n log n). The index keeps a copy of the points.
  explicit PointIndex(std::span<const PlanePoint> points);

  // The point nearest to query, other than the one at position skip; of
  // points at the same distance the one given first. Nothing when there is
  // no other point.
  std::optional<Hit> Nearest(PlanePoint query, std::size_t skip = kNone) const;

  // For every point, by its position, the distance to the nearest other
  // point (infinite for a point alone).
  std::vector<double> NearestDistances() const;

  std::size_t Size() const { return nodes_.size(); }

 private:
  struct Node {
    PlanePoint at;
    std::uint32_t index;
  };
  struct Search;

  void Build(std::size_t first, std::size_t last, int axis);
  void Visit(Search& search, std::size_t first, std::size_t last, int axis) const;

  // The tree is implicit: a range [first, last) of more than kLeafSize
  // nodes has its middle node as the split, the left half lying below it on
  // the range's axis and the right half above; the axes alternate with
  // depth. Smaller ranges are searched one node after the other.
  std::vector<Node> nodes_;
};

}  // namespace lumaq
