// A transfer dialog face that logs what it was told, in the shared
// TransferLog; sleeps are logged, never slept.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <utility>

#include "comm/TransferView.h"
#include "support/TransferLog.h"

namespace lumaq::test {

class RecordingTransferView : public TransferView {
 public:
  explicit RecordingTransferView(TransferLog& log) : log_(log) {}

  void SetLabel1(const std::string& text) override {
    label1 = text;
    log_.push_back("Label1 " + text);
  }
  void SetLabel3(int count) override {
    label3 = count;
    log_.push_back("Label3 " + std::to_string(count));
  }
  void ProcessMessages() override {
    log_.push_back("messages");
    // What the user does while the messages run (a click on Cancel).
    if (auto action = std::exchange(onNextMessages, nullptr)) action();
  }
  void Sleep(std::chrono::milliseconds duration) override {
    log_.push_back("sleep " + std::to_string(duration.count()));
  }
  void SetTimer1Enabled(bool enabled) override {
    timer1 = enabled;
    log_.push_back(enabled ? "timer on" : "timer off");
  }
  void PostCloseRequest() override {
    ++closeRequests;
    log_.push_back("post close");
  }
  void CloseDialog() override {
    closed = true;
    log_.push_back("close dialog");
  }
  void ShowPortOpenFailure(const std::string& detail) override {
    log_.push_back("open failed: " + detail);
  }
  void ShowUnsendableRecord(const UnsendableRecord& record) override {
    unsendable = record;
    log_.push_back("unsendable line " + std::to_string(record.lineNumber) + " " + record.pointName);
  }

  std::function<void()> onNextMessages;
  std::string label1;
  int label3 = 0;
  bool timer1 = false;
  int closeRequests = 0;
  bool closed = false;
  UnsendableRecord unsendable;

 private:
  TransferLog& log_;
};

}  // namespace lumaq::test
