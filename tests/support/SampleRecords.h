// Records for the tests: numbered record files for the main window's command
// tests and for transfers, and the title suffixes the window shows after the
// job's name.
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

// count records from P<first> on, with code TOPO, N n.125, E -n.500, Z 0:
// numbers that come back from a binary or text frame exactly as written.
inline JobText TopoRecords(int count, int first = 1) {
  JobText lines;
  for (int i = first; i < first + count; ++i) {
    const std::string n = std::to_string(i);
    lines.push_back(ComposeRecordLine("P" + n, "TOPO", n + ".125", "-" + n + ".500", "0.000"));
  }
  return lines;
}

}  // namespace lumaq::test
