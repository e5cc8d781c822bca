#include "app/PlanLabels.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace lumaq {
namespace {

struct Box {
  double left, top, right, bottom;

  bool Overlaps(const Box& other) const {
    return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
  }
};

}  // namespace

// The boxes kept so far, filed by every cell they touch. A cell's boxes are
// a chain through entries_; the cells are an open-addressed table, so that
// filing a box costs no allocation of its own.
class LabelThinner::BoxGrid {
 public:
  // Empties the grid, keeping its memory: a thinning a frame must not cost
  // the system a few megabytes of fresh pages each time.
  void Reset(double cellWidth, double cellHeight, std::size_t expectedBoxes) {
    cellWidth_ = cellWidth;
    cellHeight_ = cellHeight;
    std::size_t slots = 64;
    while (slots < 4 * expectedBoxes) slots *= 2;
    slots_.assign(slots, {0, kEnd});
    boxes_.clear();
    entries_.clear();
    used_ = 0;
  }

  bool Free(const Box& box) const {
    bool free = true;
    ForEachCell(box, [&](std::uint64_t cell) {
      for (std::uint32_t e = slots_[Find(cell)].head; free && e != kEnd; e = entries_[e].next) {
        free = !boxes_[entries_[e].box].Overlaps(box);
      }
    });
    return free;
  }

  void Keep(const Box& box) {
    const auto id = static_cast<std::uint32_t>(boxes_.size());
    boxes_.push_back(box);
    ForEachCell(box, [&](std::uint64_t cell) {
      Slot& slot = slots_[Find(cell)];
      const bool added = slot.head == kEnd;
      slot.cell = cell;
      entries_.push_back({id, slot.head});
      slot.head = static_cast<std::uint32_t>(entries_.size() - 1);
      if (added && ++used_ * 2 > slots_.size()) Grow();
    });
  }

 private:
  static constexpr std::uint32_t kEnd = static_cast<std::uint32_t>(-1);
  struct Slot {
    std::uint64_t cell;
    std::uint32_t head;  // kEnd: an empty slot
  };
  struct Entry {
    std::uint32_t box;
    std::uint32_t next;
  };

  // The slot of cell, or the empty slot where it would go.
  std::size_t Find(std::uint64_t cell) const {
    const std::size_t mask = slots_.size() - 1;
    std::uint64_t hash = cell * 0x9E3779B97F4A7C15ull;
    hash ^= hash >> 32;
    std::size_t i = static_cast<std::size_t>(hash) & mask;
    while (slots_[i].head != kEnd && slots_[i].cell != cell) i = (i + 1) & mask;
    return i;
  }

  void Grow() {
    std::vector<Slot> old(slots_.size() * 2, Slot{0, kEnd});
    old.swap(slots_);
    for (const Slot& slot : old) {
      if (slot.head != kEnd) slots_[Find(slot.cell)] = slot;
    }
  }

  template <typename F>
  void ForEachCell(const Box& box, F&& f) const {
    const auto x0 = static_cast<std::int64_t>(std::floor(box.left / cellWidth_));
    const auto x1 = static_cast<std::int64_t>(std::floor(box.right / cellWidth_));
    const auto y0 = static_cast<std::int64_t>(std::floor(box.top / cellHeight_));
    const auto y1 = static_cast<std::int64_t>(std::floor(box.bottom / cellHeight_));
    for (std::int64_t y = y0; y <= y1; ++y) {
      for (std::int64_t x = x0; x <= x1; ++x) {
        f(static_cast<std::uint64_t>(x) << 32 ^ static_cast<std::uint64_t>(y));
      }
    }
  }

  double cellWidth_ = 1;
  double cellHeight_ = 1;
  std::vector<Box> boxes_;
  std::vector<Entry> entries_;
  std::vector<Slot> slots_;
  std::size_t used_ = 0;
};

LabelThinner::LabelThinner() : grid_(std::make_unique<BoxGrid>()) {}
LabelThinner::~LabelThinner() = default;

std::vector<std::size_t> LabelThinner::Thin(std::span<const LabelCandidate> candidates,
                                            double scale, const LabelMetrics& metrics) {
  const double r = metrics.dotRadius;
  int widest = 0;
  for (const LabelCandidate& c : candidates) widest = std::max(widest, c.columns);
  // Beyond this two points' labels and dots cannot touch.
  const double apart =
      std::hypot(widest * metrics.columnWidth + metrics.gap + r, metrics.height + 2 * r);
  const auto alone = [&](const LabelCandidate& c) { return c.clearance * scale >= apart; };
  const auto crowded = static_cast<std::size_t>(std::count_if(
      candidates.begin(), candidates.end(), [&](const auto& c) { return !alone(c); }));
  // Cells as wide as a label of eight columns: a label touches two or three.
  BoxGrid& grid = *grid_;
  grid.Reset(std::max(8 * metrics.columnWidth, 1.0), std::max(metrics.height, 1.0), 2 * crowded);
  for (const LabelCandidate& c : candidates) {
    if (alone(c)) continue;
    const double x = c.at.e * scale;
    const double y = -c.at.n * scale;
    grid.Keep({x - r, y - r, x + r, y + r});
  }
  std::vector<std::size_t> kept;
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const LabelCandidate& c = candidates[i];
    if (c.columns <= 0) continue;
    if (alone(c)) {
      kept.push_back(i);
      continue;
    }
    const double x = c.at.e * scale + metrics.gap;
    const double y = -c.at.n * scale;
    const Box box{x, y - metrics.height / 2, x + c.columns * metrics.columnWidth,
                  y + metrics.height / 2};
    if (!grid.Free(box)) continue;
    grid.Keep(box);
    kept.push_back(i);
  }
  return kept;
}

}  // namespace lumaq
