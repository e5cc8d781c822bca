#include "app/PlanTexts.h"

#include <algorithm>
#include <cstdio>

namespace lumaq {

std::string PlanCursorText(GroundPoint at) {
  char text[80];
  std::snprintf(text, sizeof text, "N %.3f  E %.3f", at.n, at.e);
  return text;
}

std::vector<TextPiece> PlanSummary(int drawn, int undrawn,
                                   const std::vector<std::string>& outlierNames) {
  std::vector<TextPiece> pieces;
  if (!outlierNames.empty()) {
    pieces.push_back({"离群点:"});
    const std::size_t named = std::min(outlierNames.size(), kOutliersNamed);
    for (std::size_t i = 0; i < named; ++i) {
      if (i > 0) pieces.push_back({","});
      pieces.push_back({outlierNames[i], TextEncoding::kCodePage});
    }
    const std::string more =
        outlierNames.size() > named ? "等" + std::to_string(outlierNames.size()) + "个" : "";
    pieces.push_back({more + " "});
  }
  std::string counts = undrawn > 0 ? "未绘出:" + std::to_string(undrawn) + " " : "";
  pieces.push_back({counts + "点数:" + std::to_string(drawn)});
  return pieces;
}

std::string JoinPieces(const std::vector<TextPiece>& pieces, const DisplayText& displayText) {
  std::string text;
  for (const TextPiece& piece : pieces) {
    text += piece.encoding == TextEncoding::kCodePage ? displayText(piece.text) : piece.text;
  }
  return text;
}

}  // namespace lumaq
