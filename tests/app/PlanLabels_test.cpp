#include "app/PlanLabels.h"

#include <gtest/gtest.h>

namespace lumaq {
namespace {

// Labels 8 pixels a column, 16 high, 4 right of their point; points 2 round.
const LabelMetrics kMetrics{8, 16, 4, 2};

TEST(LabelThinner, LeavesOutWhatOverlapsAndBringsItBackWhenZoomedIn) {
  struct Case {
    const char* label;
    std::vector<LabelCandidate> candidates;
    double scale;
    std::vector<std::size_t> kept;
  } cases[] = {
      {"one 10 m above the other, far out: the first wins", {{{0, 0}, 4}, {{0, 10}, 4}}, 1, {0}},
      {"zoomed in: both", {{{0, 0}, 4}, {{0, 10}, 4}}, 10, {0, 1}},
      {"a label covering the next point is left out", {{{0, 0}, 4}, {{20, 0}, 1}}, 1, {1}},
      {"one above the other, a line apart", {{{0, 0}, 4}, {{0, 17}, 4}}, 1, {0, 1}},
      {"overlapping by a pixel", {{{0, 0}, 4}, {{0, 15}, 4}}, 1, {0}},
      {"the order given decides", {{{0, 10}, 4}, {{0, 0}, 4}}, 1, {0}},
      {"no text, no label, but still a point", {{{0, 0}, 0}, {{-6, 0}, 1}}, 1, {}},
      {"far apart at any scale", {{{0, 0}, 8}, {{512000, 3421000}, 8}}, 1e-4, {0, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(LabelThinner().Thin(c.candidates, c.scale, kMetrics), c.kept);
  }
}

// A grid of 1 m: far out only the labels of its east edge have room (a
// stack of them); zoomed in until a label fits between two points, all.
TEST(LabelThinner, ADenseJobKeepsItsEdgeFarOutAndEveryLabelZoomedIn) {
  std::vector<LabelCandidate> dense;
  for (int i = 0; i < 10000; ++i) dense.push_back({{512000.0 + i % 100, 3421000.0 + i / 100}, 5});
  LabelThinner thinner;
  const std::vector<std::size_t> far = thinner.Thin(dense, 0.5, kMetrics);
  EXPECT_EQ(far.size(), 4u);
  for (const std::size_t i : far) EXPECT_GE(i % 100, 95u) << i;  // within 2 px of the edge
  EXPECT_EQ(thinner.Thin(dense, 50, kMetrics).size(), dense.size());
  // Known spacing (1 m) spares the checks of labels that cannot meet, and
  // changes nothing.
  std::vector<LabelCandidate> spaced = dense;
  for (LabelCandidate& c : spaced) c.clearance = 1;
  for (const double scale : {0.5, 10.0, 42.0, 50.0}) {
    EXPECT_EQ(thinner.Thin(spaced, scale, kMetrics), thinner.Thin(dense, scale, kMetrics)) << scale;
  }
}

}  // namespace
}  // namespace lumaq
