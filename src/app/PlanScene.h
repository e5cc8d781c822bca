// The points of the plan: every record of the table whose N and E are
// numbers, at (E, N), with its row, name and code; how many records are not
// drawn because they have no such numbers; the outliers; and the questions
// the view asks of them (which point is near a place, which labels fit).
// Single rows are read again as they change, so an edit does not cost a
// rebuild of the whole job; the outliers and the nearest-neighbour index are
// made again when next asked for, after any change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/PlanLabels.h"
#include "app/PlanTransform.h"
#include "app/PointIndex.h"
#include "records/RecordTable.h"

namespace lumaq {

struct PlanPoint {
  GroundPoint at;
  int row = 0;
  std::string name;  // trimmed, bytes of the code page
  std::string code;

  bool operator==(const PlanPoint& other) const {
    return at.e == other.at.e && at.n == other.at.n && row == other.row && name == other.name &&
           code == other.code;
  }
};

// What a point's label says: its name, and its code after a blank when
// withCode is set and it has one.
std::string LabelText(const PlanPoint& point, bool withCode);

class PlanScene {
 public:
  // Reads every row of the table; the version stays when nothing changed.
  void Rebuild(const RecordTable& table);
  // Reads rows first..last again; a long range rebuilds.
  void UpdateRows(const RecordTable& table, int first, int last);

  // The drawn points, in row order.
  const std::vector<PlanPoint>& Points() const { return points_; }
  // Records (rows with a name, N and E) whose N or E is no number.
  int UndrawnCount() const { return undrawn_; }
  // Changes with every change of the points.
  std::uint64_t Version() const { return version_; }

  // The point of a row, if the row is drawn.
  std::optional<std::size_t> PointOfRow(int row) const;

  // Positions in Points() of the outliers, in row order (PlanOutliers.h).
  const std::vector<std::size_t>& Outliers();
  bool IsOutlier(std::size_t point);
  const GroundBounds& Bounds();
  // The point nearest to place, if it is no further away than radius
  // metres; of points at the same place the one of the first row.
  std::optional<std::size_t> NearestWithin(GroundPoint place, double radius);

  // The points whose labels are drawn at scale (PlanLabels.h): outliers
  // first, then the rest in row order.
  std::vector<std::size_t> LabelledPoints(double scale, const LabelMetrics& metrics,
                                          bool withCodes);

 private:
  static constexpr std::int32_t kNoRecord = -2;
  static constexpr std::int32_t kNotDrawn = -1;

  // The point of a row whose N and E are numbers; isRecord tells whether
  // the row is a record at all.
  static std::optional<PlanPoint> ReadRow(const RecordTable& table, int row, bool& isRecord);
  void UpdateRow(const RecordTable& table, int row);
  void Changed();
  void MakeDerived();
  std::vector<PlanePoint> Places() const;

  std::vector<PlanPoint> points_;
  std::vector<std::int32_t> rowPoint_;  // by row: position in points_, or kNoRecord, kNotDrawn
  int undrawn_ = 0;
  std::uint64_t version_ = 0;

  bool derivedValid_ = false;
  bool indexValid_ = false;
  PointIndex index_;
  std::vector<std::size_t> outliers_;
  std::vector<bool> isOutlier_;
  std::vector<double> nearest_;  // by point: the distance to its nearest neighbour
  // The thinning's memory, kept for the next zoom level.
  LabelThinner thinner_;
  std::vector<std::size_t> labelOrder_;
  std::vector<LabelCandidate> candidates_;
  GroundBounds bounds_;
};

}  // namespace lumaq
