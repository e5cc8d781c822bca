// Record files for the main window's command tests: count records P1..Pn
// with code C at N 100, E 200, Z 1.5, as a BDT file holds them; and the
// title suffixes the window shows after the job's name.
#pragma once

#include <string>

#include "records/RecordLine.h"
#include "records/TextLines.h"

namespace lumaq::test {

inline constexpr const char* kCoordTitle = "--全站仪坐标记录文件";
inline constexpr const char* kMeasTitle = "--全站仪测量数据文件";

inline std::string RecordLines(int count) {
  JobText lines;
  for (int i = 1; i <= count; ++i) {
    lines.push_back(ComposeRecordLine("P" + std::to_string(i), "C", "100.000", "200.000", "1.5"));
  }
  return JoinLinesCrLf(lines);
}

}  // namespace lumaq::test
