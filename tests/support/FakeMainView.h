// A main window that remembers what it was told to show.
#pragma once

#include <map>
#include <string>

#include "app/MainView.h"

namespace lumaq::test {

class FakeMainView : public MainView {
 public:
  enum class View { kCoordinate, kMeasurement };

  void SetCaption(const std::string& text) override { caption = text; }
  void ShowCoordinateView() override { view = View::kCoordinate; }
  void ShowMeasurementView(bool enabled) override {
    view = View::kMeasurement;
    exportEnabled = enabled;
  }
  void ShowPlan(bool shown) override { planShown = shown; }
  void SetStatusText(StatusPanel panel, const std::string& text) override { panels[panel] = text; }
  void RefreshTable() override {}
  void ShowJobText(const JobText& text) override { shownText = text; }
  void FocusTable() override { ++tableFocus; }
  void ProcessMessages() override {}
  void SetTableReadOnly(bool readOnly) override { tableReadOnly = readOnly; }

  std::string caption;
  View view = View::kCoordinate;
  bool exportEnabled = false;
  bool planShown = false;
  std::map<StatusPanel, std::string> panels;
  JobText shownText;
  int tableFocus = 0;
  bool tableReadOnly = false;
};

}  // namespace lumaq::test
