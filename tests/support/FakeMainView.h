// A main window that remembers what it was told to show.
#pragma once

#include <array>
#include <string>

#include "app/MainView.h"

namespace lumaq::test {

class FakeMainView : public MainView {
 public:
  enum class View { Coordinate, Measurement };

  void SetCaption(const std::string& text) override { caption = text; }
  void ShowCoordinateView() override { view = View::Coordinate; }
  void ShowMeasurementView(bool enabled) override {
    view = View::Measurement;
    exportEnabled = enabled;
  }
  void SetStatusText(StatusPanel panel, const std::string& text) override {
    panels[static_cast<std::size_t>(panel)] = text;
  }
  void RefreshTable() override {}
  void ShowJobText(const JobText& text) override { shownText = text; }
  void FocusTable() override { ++tableFocus; }
  void ProcessMessages() override {}

  std::string caption;
  View view = View::Coordinate;
  bool exportEnabled = false;
  std::array<std::string, 3> panels;
  JobText shownText;
  int tableFocus = 0;
};

}  // namespace lumaq::test
