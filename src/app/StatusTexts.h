// The texts of the main window's status panels: the record count and the
// current row.
#pragma once

#include <string>

namespace lumaq {

inline constexpr const char* kTotalLabel = "总数:";
inline constexpr const char* kPointTotalLabel = "点号总数:";
inline constexpr const char* kCurrentRowLabel = "当前行:";

inline std::string CountText(int count) {  // "总数:" and the count
  return kTotalLabel + std::to_string(count);
}
inline std::string PointCountText(int count) {  // "点号总数:" and the count
  return kPointTotalLabel + std::to_string(count);
}
inline std::string CurrentRowText(int row) {  // "当前行:" and the row
  return kCurrentRowLabel + std::to_string(row);
}

}  // namespace lumaq
