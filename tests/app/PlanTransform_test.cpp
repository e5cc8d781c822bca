#include "app/PlanTransform.h"

#include <gtest/gtest.h>

#include "app/ScaleBar.h"

namespace lumaq {
namespace {

GroundBounds Bounds(GroundPoint a, GroundPoint b) {
  GroundBounds bounds;
  bounds.Add(a);
  bounds.Add(b);
  return bounds;
}

TEST(PlanTransform, NorthIsUpEastIsRightOneScaleForBoth) {
  PlanTransform t;
  t.SetViewSize(200, 100);
  t.FitAll(Bounds({500, 3000}, {600, 3100}), 0);
  const PlanePoint sw = t.ToView({500, 3000});
  const PlanePoint ne = t.ToView({600, 3100});
  EXPECT_LT(ne.y, sw.y);  // north up
  EXPECT_GT(ne.x, sw.x);  // east right
  EXPECT_DOUBLE_EQ(ne.x - sw.x, sw.y - ne.y);
}

TEST(PlanTransform, FitAllCentresTheLimitingExtentWithinTheMargin) {
  struct Case {
    const char* label;
    GroundBounds bounds;
    double scale;  // pixels per metre expected
    GroundPoint centre;
  } cases[] = {
      {"wide ground, limited by the width", Bounds({0, 0}, {180, 10}), 1, {90, 5}},
      {"tall ground, limited by the height", Bounds({0, 0}, {10, 80}), 1, {5, 40}},
      {"one point: ten metres across", Bounds({7, 9}, {7, 9}), 8, {7, 9}},
      {"a swapped N/E stretches the fit",
       Bounds({512000, 3421000}, {3421000, 512000}),
       80.0 / 2909000,
       {1966500, 1966500}},
      {"nothing: the view is centred on zero", GroundBounds{}, 1, {0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    PlanTransform t;
    t.SetViewSize(200, 100);
    t.FitAll(c.bounds, 10);
    EXPECT_DOUBLE_EQ(t.Scale(), c.scale);
    EXPECT_DOUBLE_EQ(t.Centre().e, c.centre.e);
    EXPECT_DOUBLE_EQ(t.Centre().n, c.centre.n);
  }
}

TEST(PlanTransform, ZoomKeepsTheGroundUnderTheAnchorAndPanFollowsThePointer) {
  struct Case {
    PlanePoint anchor;
    double factor;
    double scale;
  } cases[] = {{{0, 0}, 2, 2},
               {{150, 20}, 0.5, 0.5},
               {{37, 91}, 1e9, PlanTransform::kMaxScale},
               {{10, 10}, 1e-9, PlanTransform::kMinScale}};
  for (const Case& c : cases) {
    PlanTransform t;
    t.SetViewSize(200, 100);
    t.CentreOn({512000, 3421000});
    const GroundPoint held = t.ToGround(c.anchor);
    t.ZoomAbout(c.anchor, c.factor);
    EXPECT_DOUBLE_EQ(t.Scale(), c.scale);
    const PlanePoint after = t.ToView(held);
    EXPECT_NEAR(after.x, c.anchor.x, 1e-3);
    EXPECT_NEAR(after.y, c.anchor.y, 1e-3);
    t.Pan(30, -40);
    EXPECT_NEAR(t.ToView(held).x, c.anchor.x + 30, 1e-3);
    EXPECT_NEAR(t.ToView(held).y, c.anchor.y - 40, 1e-3);
  }
}

TEST(ScaleBar, IsTheLongestRoundLengthThatFits) {
  struct Case {
    double scale, maxPixels, metres;
    const char* text;
  } cases[] = {
      {1, 100, 100, "100 m"},        {1, 99.9, 50, "50 m"},
      {0.27, 160, 500, "500 m"},     {10, 45, 2, "2 m"},
      {1000, 160, 0.1, "0.1 m"},     {1, 1000, 1000, "1000 m"},
      {0.001, 50, 50000, "50000 m"}, {1.0 / 3, 300, 500, "500 m"},
      {100, 1, 0.01, "0.01 m"},
  };
  for (const Case& c : cases) {
    const ScaleBar bar = NiceScaleBar(c.scale, c.maxPixels);
    EXPECT_DOUBLE_EQ(bar.metres, c.metres) << c.text;
    EXPECT_EQ(bar.text, c.text);
    EXPECT_DOUBLE_EQ(bar.pixels, c.metres * c.scale);
  }
}

}  // namespace
}  // namespace lumaq
