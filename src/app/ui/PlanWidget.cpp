#include "app/ui/PlanWidget.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "app/PlanTexts.h"
#include "app/ScaleBar.h"
#include "app/ui/PlanInk.h"
#include "ui/AnsiText.h"
#include "ui/Fonts.h"

namespace lumaq::ui {
namespace {

// Space kept free round the points by Show all, in pixels.
constexpr double kFitMargin = 40;
// One notch of the wheel.
constexpr double kZoomStep = 1.25;
// A press that moves further than this is a drag, not a click.
constexpr int kClickSlop = 4;
// Rows changed at once beyond this are read by a rebuild when next drawn.
constexpr int kRowsReadAtOnce = 16;
constexpr int kLabelPixels = 12;
constexpr int kDotSize = 3;
constexpr double kOutlierRadius = 4.5;
constexpr double kSelectionRadius = 8;
constexpr std::size_t kLabelLevelsKept = 8;

QString Utf8(const char* text) {
  return QString::fromUtf8(text);
}

}  // namespace

PlanWidget::PlanWidget(const RecordTable& table, QWidget* parent)
    : QWidget(parent),
      table_(table),
      fitAll_(new QAction(Utf8("全图显示"), this)),
      codes_(new QAction(Utf8("显示特征码"), this)),
      labelFont_(FixedPitchCjkFont(kLabelPixels)) {
  setObjectName("PlanView1");
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setContextMenuPolicy(Qt::ActionsContextMenu);

  fitAll_->setObjectName("PlanFitAll");
  fitAll_->setShortcut(QKeySequence(Qt::Key_Home));
  fitAll_->setShortcutContext(Qt::WidgetShortcut);
  fitAll_->setStatusTip(Utf8("显示全部点位 (Home)"));
  connect(fitAll_, &QAction::triggered, this, [this] {
    FitAll();
    update();
  });
  codes_->setObjectName("PlanCodes");
  codes_->setCheckable(true);
  codes_->setStatusTip(Utf8("点号后显示特征码"));
  connect(codes_, &QAction::toggled, this, [this] { update(); });
  addAction(fitAll_);
  addAction(codes_);

  auto* buttons = new QHBoxLayout(this);
  buttons->setContentsMargins(6, 6, 6, 6);
  buttons->setSpacing(2);
  for (QAction* action : {fitAll_, codes_}) {
    auto* button = new QToolButton(this);
    button->setDefaultAction(action);
    button->setAutoRaise(true);
    button->setFixedSize(28, 28);
    button->setIconSize(QSize(20, 20));
    button->setFocusPolicy(Qt::NoFocus);
    buttons->addWidget(button, 0, Qt::AlignTop);
  }
  buttons->addStretch(1);
}

void PlanWidget::Watch(RecordTableModel& model) {
  connect(&model, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex& first, const QModelIndex& last) {
            RowsChanged(RecordTableModel::TableRow(first), RecordTableModel::TableRow(last));
          });
  connect(&model, &QAbstractItemModel::modelReset, this, [this] { RowsChanged(1, kMaxRecords); });
}

void PlanWidget::RowsChanged(int firstRow, int lastRow) {
  if (isVisible() && !sceneStale_ && lastRow - firstRow < kRowsReadAtOnce) {
    scene_.UpdateRows(table_, firstRow, lastRow);
  } else {
    sceneStale_ = true;
  }
  if (isVisible()) update();
}

PlanScene& PlanWidget::Scene() {
  EnsureScene();
  return scene_;
}

void PlanWidget::EnsureScene() {
  if (sceneStale_) {
    scene_.Rebuild(table_);
    sceneStale_ = false;
  }
  if (scene_.Version() == seenVersion_) return;
  seenVersion_ = scene_.Version();
  if (!fitted_ || !AnyPointInView()) FitAll();
  EmitSummary();
}

// Only a widget on the screen has the size it is fitted to.
void PlanWidget::FitAll() {
  if (!isVisible()) return;
  transform_.SetViewSize(width(), height());
  transform_.FitAll(scene_.Bounds(), kFitMargin);
  fitted_ = true;
  showingAll_ = true;
}

bool PlanWidget::AnyPointInView() {
  const QRectF view = rect();
  return std::any_of(scene_.Points().begin(), scene_.Points().end(), [&](const PlanPoint& p) {
    const PlanePoint v = transform_.ToView(p.at);
    return view.contains(v.x, v.y);
  });
}

void PlanWidget::EmitSummary() {
  std::vector<std::string> names;
  QString all;
  for (const std::size_t i : scene_.Outliers()) {
    names.push_back(scene_.Points()[i].name);
    if (!all.isEmpty()) all += ",";
    all += FromAnsi(names.back());
  }
  const std::string summary = JoinPieces(
      PlanSummary(static_cast<int>(scene_.Points().size()), scene_.UndrawnCount(), names),
      [](std::string_view bytes) { return FromAnsi(bytes).toStdString(); });
  emit SummaryChanged(FromUtf8(summary), all);
}

void PlanWidget::FollowCurrentRow() {
  EnsureScene();
  if (const auto at = ViewPointOfRow(table_.CurrentRow())) {
    if (!rect().contains(*at)) {
      transform_.CentreOn(scene_.Points()[*scene_.PointOfRow(table_.CurrentRow())].at);
      showingAll_ = false;
    }
  }
  update();
}

std::optional<QPoint> PlanWidget::ViewPointOfRow(int row) {
  EnsureScene();
  const auto point = scene_.PointOfRow(row);
  if (!point) return std::nullopt;
  const PlanePoint v = transform_.ToView(scene_.Points()[*point].at);
  return QPoint(static_cast<int>(std::lround(v.x)), static_cast<int>(std::lround(v.y)));
}

LabelMetrics PlanWidget::Metrics() const {
  return {kLabelPixels / 2.0, static_cast<double>(kLabelPixels + 2), 4, kDotSize / 2.0};
}

std::vector<std::size_t> PlanWidget::LabelledPoints() {
  EnsureScene();
  const bool codes = codes_->isChecked();
  if (labelVersion_ != scene_.Version() || labelCodes_ != codes) {
    labelLevels_.clear();
    labelVersion_ = scene_.Version();
    labelCodes_ = codes;
  }
  const int level =
      static_cast<int>(std::floor(std::log(transform_.Scale()) / std::log(kZoomStep)));
  const auto cached = std::find_if(labelLevels_.begin(), labelLevels_.end(),
                                   [level](const LabelLevel& l) { return l.level == level; });
  if (cached != labelLevels_.end()) return cached->points;
  if (labelLevels_.size() == kLabelLevelsKept) labelLevels_.pop_back();
  labelLevels_.push_front(
      {level, scene_.LabelledPoints(std::pow(kZoomStep, level), Metrics(), codes)});
  return labelLevels_.front().points;
}

void PlanWidget::paintEvent(QPaintEvent*) {
  EnsureScene();
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  DrawPoints(painter);
  DrawLabels(painter);
  DrawSelection(painter);
  DrawScaleBar(painter);
  DrawNorthArrow(painter);
}

// Every point in sight as a small square, in one call; the outliers over
// them, larger and round.
void PlanWidget::DrawPoints(QPainter& painter) {
  const QRectF sight = QRectF(rect()).adjusted(-kDotSize, -kDotSize, kDotSize, kDotSize);
  dots_.clear();
  for (const PlanPoint& p : scene_.Points()) {
    const PlanePoint v = transform_.ToView(p.at);
    if (!sight.contains(v.x, v.y)) continue;
    dots_.emplace_back(std::floor(v.x) - 1, std::floor(v.y) - 1, kDotSize, kDotSize);
  }
  painter.setPen(Qt::NoPen);
  painter.setBrush(InkColour(Ink::kPoint));
  painter.drawRects(dots_.data(), static_cast<int>(dots_.size()));

  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(InkColour(Ink::kOutlier));
  painter.setPen(QPen(Qt::black, 1));
  for (const std::size_t i : scene_.Outliers()) {
    const PlanePoint v = transform_.ToView(scene_.Points()[i].at);
    painter.drawEllipse(QPointF(v.x, v.y), kOutlierRadius, kOutlierRadius);
  }
  painter.setRenderHint(QPainter::Antialiasing, false);
}

void PlanWidget::DrawLabels(QPainter& painter) {
  const std::vector<std::size_t> points = LabelledPoints();
  const LabelMetrics metrics = Metrics();
  painter.setFont(labelFont_);
  const int ascent = painter.fontMetrics().ascent();
  const int descent = painter.fontMetrics().descent();
  const QRectF sight = QRectF(rect()).adjusted(-400, -metrics.height, 0, metrics.height);
  bool outlierInk = true;
  painter.setPen(InkColour(Ink::kOutlier));
  for (const std::size_t i : points) {
    const PlanePoint v = transform_.ToView(scene_.Points()[i].at);
    if (!sight.contains(v.x, v.y)) continue;
    // Outliers come first in the list: one change of ink after them.
    if (outlierInk && !scene_.IsOutlier(i)) {
      painter.setPen(Qt::black);
      outlierInk = false;
    }
    painter.drawText(QPointF(v.x + metrics.gap, v.y + (ascent - descent) / 2.0),
                     FromAnsi(LabelText(scene_.Points()[i], labelCodes_)));
  }
}

void PlanWidget::DrawSelection(QPainter& painter) {
  const auto at = ViewPointOfRow(table_.CurrentRow());
  if (!at) return;
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(SelectionColour(), 2.5));
  painter.drawEllipse(QPointF(*at), kSelectionRadius, kSelectionRadius);
  painter.setRenderHint(QPainter::Antialiasing, false);
}

void PlanWidget::DrawScaleBar(QPainter& painter) {
  const ScaleBar bar = NiceScaleBar(transform_.Scale(), std::min(160.0, width() / 3.0));
  const int x0 = 12;
  const int x1 = x0 + static_cast<int>(std::lround(bar.pixels));
  const int y = height() - 12;
  painter.setPen(QPen(Qt::black, 2));
  painter.drawLine(x0, y, x1, y);
  painter.drawLine(x0, y, x0, y - 6);
  painter.drawLine(x1, y, x1, y - 6);
  painter.setFont(labelFont_);
  painter.drawText(QPoint(x0 + 2, y - 8), FromUtf8(bar.text));
}

void PlanWidget::DrawNorthArrow(QPainter& painter) {
  const double x = width() - 24.0;
  const double tip = 30;
  QPainterPath head;
  head.moveTo(x, tip);
  head.lineTo(x - 7, tip + 16);
  head.lineTo(x, tip + 11);
  head.lineTo(x + 7, tip + 16);
  head.closeSubpath();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(Qt::black, 1.5));
  painter.setBrush(Qt::black);
  painter.drawPath(head);
  painter.drawLine(QPointF(x, tip + 11), QPointF(x, tip + 30));
  painter.setFont(labelFont_);
  painter.drawText(QRectF(x - 10, tip - 18, 20, 16), Qt::AlignCenter, "N");
  painter.setRenderHint(QPainter::Antialiasing, false);
}

void PlanWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  transform_.SetViewSize(width(), height());
  if (!fitted_ || showingAll_) FitAll();
}

void PlanWidget::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  transform_.SetViewSize(width(), height());
  EnsureScene();
  if (!fitted_) FitAll();
}

void PlanWidget::wheelEvent(QWheelEvent* event) {
  const double steps = event->angleDelta().y() / 120.0;
  if (steps == 0) return;
  const QPointF at = event->position();
  transform_.ZoomAbout({at.x(), at.y()}, std::pow(kZoomStep, steps));
  showingAll_ = false;
  update();
  event->accept();
}

void PlanWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  pressed_ = true;
  dragging_ = false;
  pressedAt_ = lastDragAt_ = event->position().toPoint();
  setFocus();
}

void PlanWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  emit CursorMoved(FromUtf8(PlanCursorText(transform_.ToGround({at.x() * 1.0, at.y() * 1.0}))));
  if (!pressed_) return;
  if (!dragging_ && (at - pressedAt_).manhattanLength() <= kClickSlop) return;
  dragging_ = true;
  const QPoint delta = at - lastDragAt_;
  lastDragAt_ = at;
  transform_.Pan(delta.x(), delta.y());
  showingAll_ = false;
  setCursor(Qt::ClosedHandCursor);
  update();
}

void PlanWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pressed_) return QWidget::mouseReleaseEvent(event);
  pressed_ = false;
  unsetCursor();
  if (dragging_) return;
  const QPoint at = event->position().toPoint();
  const auto point = Scene().NearestWithin(transform_.ToGround({at.x() * 1.0, at.y() * 1.0}),
                                           kHitRadius / transform_.Scale());
  if (point) emit PointClicked(scene_.Points()[*point].row);
}

void PlanWidget::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  emit CursorMoved(QString());
}

}  // namespace lumaq::ui
