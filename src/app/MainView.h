// What the main window shows. The Qt window implements it; tests fake it.
// Texts of the window (captions, status texts) are UTF-8; job text lines are
// the job's own bytes and are decoded only by the view.
#pragma once

#include <string>

#include "records/RecordTable.h"
#include "records/TextLines.h"

namespace lumaq {

// The panels of the status bar, from the left: hints and progress, the record
// count, the current row.
enum class StatusPanel { kHint = 0, kCount = 1, kRow = 2 };

class MainView : public ProgressSink {
 public:
  // The window title.
  virtual void SetCaption(const std::string& caption) = 0;
  // Table visible, record commands enabled, three status panels.
  virtual void ShowCoordinateView() = 0;
  // Text view visible, record commands disabled, one simple status panel;
  // the export command is enabled only when exportEnabled is set.
  virtual void ShowMeasurementView(bool exportEnabled) = 0;
  // In the coordinate view: the plan of the records instead of the table
  // (shown), or the table again.
  virtual void ShowPlan(bool shown) = 0;
  virtual void SetStatusText(StatusPanel panel, const std::string& text) = 0;
  // The table's cells or its current cell changed: show them.
  virtual void RefreshTable() = 0;
  // The lines of the text view.
  virtual void ShowJobText(const JobText& text) = 0;
  virtual void FocusTable() = 0;
  // During a receive the table takes no typing; the rows still change.
  virtual void SetTableReadOnly(bool readOnly) = 0;

  void SetProgressText(const std::string& text) override {
    SetStatusText(StatusPanel::kHint, text);
  }
};

}  // namespace lumaq
