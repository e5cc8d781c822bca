// PlanView1: the plan of the records, the window's third view beside the
// table and the text view. It draws the points of the core's PlanScene
// through a PlanTransform and follows the grid model's signals: an edited
// row is read again alone, a larger change rebuilds the scene the next time
// it is drawn, and nothing is read while the plan is hidden. Wheel zooms
// about the pointer, a drag pans, Home (or the fit button) shows all; a
// click on a point hands its row to the window.
#pragma once

#include <QAction>
#include <QPoint>
#include <QRectF>
#include <QString>
#include <QToolButton>
#include <QWidget>
#include <deque>
#include <optional>
#include <vector>

#include "app/PlanScene.h"
#include "app/PlanTransform.h"
#include "app/ui/RecordTableModel.h"
#include "records/RecordTable.h"

namespace lumaq::ui {

class PlanWidget : public QWidget {
  Q_OBJECT

 public:
  // A click selects the point within this many pixels of the pointer.
  static constexpr double kHitRadius = 6;

  PlanWidget(const RecordTable& table, QWidget* parent = nullptr);

  // From now on, changes of the model's cells reach the plan.
  void Watch(RecordTableModel& model);

  // Show all (Home): every point in the view.
  QAction* FitAllAction() const { return fitAll_; }
  // Labels with the code after the name.
  QAction* CodesAction() const { return codes_; }

  // The table's current row moved: its point is highlighted, and brought
  // into the view when it lies outside.
  void FollowCurrentRow();

  // The scene as the plan draws it (read again if anything changed).
  PlanScene& Scene();
  const PlanTransform& Transform() const { return transform_; }
  // Where the point of a row is drawn, if the row is drawn.
  std::optional<QPoint> ViewPointOfRow(int row);
  // The points whose labels are drawn now.
  std::vector<std::size_t> LabelledPoints();

 signals:
  // A point was clicked: the row it belongs to.
  void PointClicked(int row);
  // The ground under the pointer ("N ...  E ..."), empty when it leaves.
  void CursorMoved(const QString& text);
  // What the plan holds changed: the summary for the status bar, and every
  // outlier by name for its tooltip.
  void SummaryChanged(const QString& summary, const QString& outliers);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void RowsChanged(int firstRow, int lastRow);
  // Reads the table again when a change is pending; after a change, the
  // labels, the summary and (when no point is in sight) the view follow.
  void EnsureScene();
  void FitAll();
  bool AnyPointInView();
  void EmitSummary();
  LabelMetrics Metrics() const;

  void DrawPoints(QPainter& painter);
  void DrawLabels(QPainter& painter);
  void DrawSelection(QPainter& painter);
  void DrawScaleBar(QPainter& painter);
  void DrawNorthArrow(QPainter& painter);

  const RecordTable& table_;
  PlanScene scene_;
  PlanTransform transform_;
  QAction* fitAll_;
  QAction* codes_;
  QFont labelFont_;
  bool sceneStale_ = true;
  bool fitted_ = false;
  // Shown all and not moved since: a new size shows all again.
  bool showingAll_ = false;
  std::uint64_t seenVersion_ = static_cast<std::uint64_t>(-1);

  // The labels kept at the last few zoom levels, for one version of the
  // scene with or without codes. A level is a power of the wheel's step: the
  // labels of a level have room at every scale up to the next, so frames of
  // panning and of zooming back cost no thinning.
  struct LabelLevel {
    int level;
    std::vector<std::size_t> points;
  };
  std::deque<LabelLevel> labelLevels_;
  std::uint64_t labelVersion_ = static_cast<std::uint64_t>(-1);
  bool labelCodes_ = false;

  std::vector<QRectF> dots_;  // kept from frame to frame, as its memory is

  QPoint pressedAt_;
  QPoint lastDragAt_;
  bool dragging_ = false;
  bool pressed_ = false;
};

}  // namespace lumaq::ui
