// A ProgressSink that logs what a table operation reports, in order:
// "text:<text>" for a progress text, "process:<row>:<name>" for each
// ProcessMessages call (the table's current row and its name cell).
#pragma once

#include <string>
#include <vector>

#include "records/RecordTable.h"

namespace lumaq::test {

class RecordingProgress : public ProgressSink {
 public:
  explicit RecordingProgress(const RecordTable* table = nullptr) : table_(table) {}

  void SetProgressText(const std::string& text) override { events.push_back("text:" + text); }

  void ProcessMessages() override {
    const int row = table_ ? table_->CurrentRow() : 0;
    events.push_back("process:" + std::to_string(row) + ":" +
                     (table_ ? table_->Cell(kColName, row) : std::string()));
  }

  std::vector<std::string> events;

 private:
  const RecordTable* table_;
};

}  // namespace lumaq::test
