#include "app/PlanOutliers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "app/PointIndex.h"

namespace lumaq {
namespace {

// A survey-like spread: a 30 x 30 grid of 5 m with a little noise.
std::vector<PlanePoint> Grid() {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> noise(-1, 1);
  std::vector<PlanePoint> points;
  for (int i = 0; i < 900; ++i) {
    points.push_back(
        {512000 + 5.0 * (i % 30) + noise(random), 3421000 + 5.0 * (i / 30) + noise(random)});
  }
  return points;
}

TEST(PointIndex, FindsWhatASearchOfEveryPointFinds) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> coordinate(0, 60);  // coarse: many ties and duplicates
  std::vector<PlanePoint> points;
  for (int i = 0; i < 2000; ++i)
    points.push_back({1.0 * coordinate(random), 1.0 * coordinate(random)});
  const PointIndex index(points);
  for (int q = 0; q < 300; ++q) {
    const PlanePoint query{coordinate(random) + 0.5, coordinate(random) - 0.25};
    const std::size_t skip = q % 2 == 0 ? static_cast<std::size_t>(q) : PointIndex::kNone;
    std::size_t best = PointIndex::kNone;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < points.size(); ++i) {
      const double d = std::hypot(points[i].x - query.x, points[i].y - query.y);
      if (i != skip && d < bestDistance) {
        best = i;
        bestDistance = d;
      }
    }
    const auto hit = index.Nearest(query, skip);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->index, best) << q;
    EXPECT_DOUBLE_EQ(hit->distance, bestDistance);
  }
  EXPECT_FALSE(PointIndex(std::vector<PlanePoint>{{1, 2}}).Nearest({1, 2}, 0));
}

TEST(FindOutliers, NamesThePointsFarFromAllOthers) {
  const std::vector<PlanePoint> grid = Grid();
  const auto with = [&](std::vector<PlanePoint> extra) {
    std::vector<PlanePoint> points = grid;
    points.insert(points.end(), extra.begin(), extra.end());
    return points;
  };
  const PlanePoint swapped{3421010, 512020};
  struct Case {
    const char* label;
    std::vector<PlanePoint> points;
    std::vector<std::size_t> outliers;
  } cases[] = {
      {"an even spread has none", grid, {}},
      {"N and E swapped", with({swapped}), {900}},
      {"a dropped digit, and the same point twice",
       with({{51200, 3421010}, {51200, 3421010}}),
       {900, 901}},
      {"sixty metres off the edge of a 5 m grid", with({{512205, 3421000}}), {900}},
      {"twenty metres off it is no outlier", with({{512166, 3421070}}), {}},
      {"two stray points near each other keep each other company",
       with({swapped, {swapped.x + 3, swapped.y}}),
       {}},
      {"two places are too few to judge", {{0, 0}, {0, 0}, {1000, 1000}}, {}},
      {"three: the far one", {{0, 0}, {1, 0}, {0, 1}, {500, 500}}, {3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(FindOutliers(c.points), c.outliers);
  }
}

}  // namespace
}  // namespace lumaq
