#include "app/PlanScene.h"

#include <algorithm>

#include "app/PlanOutliers.h"
#include "records/CellInput.h"
#include "records/RecordLine.h"

namespace lumaq {
namespace {

// Rows changed at once beyond this are read by a rebuild: moving the points
// after an insertion costs as much as reading them all.
constexpr int kLongestUpdate = 64;

}  // namespace

std::string LabelText(const PlanPoint& point, bool withCode) {
  if (!withCode || point.code.empty()) return point.name;
  return point.name + " " + point.code;
}

std::optional<PlanPoint> PlanScene::ReadRow(const RecordTable& table, int row, bool& isRecord) {
  isRecord = table.IsUsedRow(row);
  if (!isRecord) return std::nullopt;
  const std::optional<double> n = CellNumber(table.Cell(kColN, row));
  const std::optional<double> e = CellNumber(table.Cell(kColE, row));
  if (!n || !e) return std::nullopt;
  return PlanPoint{{*e, *n},
                   row,
                   TrimControl(table.Cell(kColName, row)),
                   TrimControl(table.Cell(kColCode, row))};
}

void PlanScene::Rebuild(const RecordTable& table) {
  std::vector<PlanPoint> points;
  points.reserve(points_.size());
  int undrawn = 0;
  const int last = table.LastScannedRow();
  std::vector<std::int32_t> rowPoint(static_cast<std::size_t>(std::max(last, 0)) + 1, kNoRecord);
  for (int row = 1; row <= last; ++row) {
    bool isRecord = false;
    std::optional<PlanPoint> point = ReadRow(table, row, isRecord);
    auto& state = rowPoint[static_cast<std::size_t>(row)];
    if (point) {
      state = static_cast<std::int32_t>(points.size());
      points.push_back(std::move(*point));
    } else if (isRecord) {
      state = kNotDrawn;
      ++undrawn;
    }
  }
  // The window shows the table again after most commands: a table that did
  // not change keeps its outliers and its index.
  if (points == points_ && undrawn == undrawn_ && rowPoint == rowPoint_) return;
  points_ = std::move(points);
  rowPoint_ = std::move(rowPoint);
  undrawn_ = undrawn;
  Changed();
}

void PlanScene::UpdateRows(const RecordTable& table, int first, int last) {
  if (last - first >= kLongestUpdate) {
    Rebuild(table);
    return;
  }
  last = std::min(last, std::min(kMaxRecords, table.RowCount() - 1));
  for (int row = std::max(first, 1); row <= last; ++row) UpdateRow(table, row);
  Changed();
}

void PlanScene::UpdateRow(const RecordTable& table, int row) {
  const auto at = static_cast<std::size_t>(row);
  if (at >= rowPoint_.size()) rowPoint_.resize(at + 1, kNoRecord);
  bool isRecord = false;
  std::optional<PlanPoint> point = ReadRow(table, row, isRecord);
  std::int32_t& state = rowPoint_[at];
  if (state == kNotDrawn) --undrawn_;
  if (point && state >= 0) {
    points_[static_cast<std::size_t>(state)] = std::move(*point);
    return;
  }
  // The point appears or goes: the points after it move, and so do their
  // positions kept by row.
  const auto shift = [&](std::int32_t by) {
    for (std::size_t r = at + 1; r < rowPoint_.size(); ++r) {
      if (rowPoint_[r] >= 0) rowPoint_[r] += by;
    }
  };
  if (state >= 0) {
    points_.erase(points_.begin() + state);
    shift(-1);
  }
  if (point) {
    const auto place = std::lower_bound(points_.begin(), points_.end(), row,
                                        [](const PlanPoint& p, int r) { return p.row < r; });
    state = static_cast<std::int32_t>(place - points_.begin());
    points_.insert(place, std::move(*point));
    shift(+1);
  } else {
    state = isRecord ? kNotDrawn : kNoRecord;
    if (isRecord) ++undrawn_;
  }
}

void PlanScene::Changed() {
  ++version_;
  derivedValid_ = false;
  indexValid_ = false;
}

std::optional<std::size_t> PlanScene::PointOfRow(int row) const {
  if (row < 0 || static_cast<std::size_t>(row) >= rowPoint_.size()) return std::nullopt;
  const std::int32_t state = rowPoint_[static_cast<std::size_t>(row)];
  if (state < 0) return std::nullopt;
  return static_cast<std::size_t>(state);
}

void PlanScene::MakeDerived() {
  if (derivedValid_) return;
  bounds_ = {};
  for (const PlanPoint& p : points_) bounds_.Add(p.at);
  Spacing spacing = MeasureSpacing(Places());
  outliers_ = std::move(spacing.outliers);
  nearest_ = std::move(spacing.nearest);
  isOutlier_.assign(points_.size(), false);
  for (const std::size_t i : outliers_) isOutlier_[i] = true;
  derivedValid_ = true;
}

const std::vector<std::size_t>& PlanScene::Outliers() {
  MakeDerived();
  return outliers_;
}

bool PlanScene::IsOutlier(std::size_t point) {
  MakeDerived();
  return point < isOutlier_.size() && isOutlier_[point];
}

const GroundBounds& PlanScene::Bounds() {
  MakeDerived();
  return bounds_;
}

std::vector<PlanePoint> PlanScene::Places() const {
  std::vector<PlanePoint> places;
  places.reserve(points_.size());
  for (const PlanPoint& p : points_) places.push_back({p.at.e, p.at.n});
  return places;
}

// Made on the first click after a change: drawing needs no index.
std::optional<std::size_t> PlanScene::NearestWithin(GroundPoint place, double radius) {
  if (!indexValid_) {
    index_ = PointIndex(Places());
    indexValid_ = true;
  }
  const auto hit = index_.Nearest({place.e, place.n});
  if (!hit || hit->distance > radius) return std::nullopt;
  return hit->index;
}

std::vector<std::size_t> PlanScene::LabelledPoints(double scale, const LabelMetrics& metrics,
                                                   bool withCodes) {
  MakeDerived();
  labelOrder_.assign(outliers_.begin(), outliers_.end());
  for (std::size_t i = 0; i < points_.size(); ++i) {
    if (!isOutlier_[i]) labelOrder_.push_back(i);
  }
  candidates_.clear();
  for (const std::size_t i : labelOrder_) {
    const PlanPoint& p = points_[i];
    const std::size_t bytes =
        withCodes && !p.code.empty() ? p.name.size() + 1 + p.code.size() : p.name.size();
    candidates_.push_back({p.at, static_cast<int>(bytes), nearest_[i]});
  }
  std::vector<std::size_t> kept = thinner_.Thin(candidates_, scale, metrics);
  for (std::size_t& k : kept) k = labelOrder_[k];
  return kept;
}

}  // namespace lumaq
