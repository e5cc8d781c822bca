// The texts of the plan view in the status bar and on the printed plan: the
// ground under the pointer, and what the plan holds.
#pragma once

#include <string>
#include <vector>

#include "app/PlanTransform.h"
#include "app/PrintSurface.h"
#include "formats/ExchangeFormats.h"

namespace lumaq {

// "N 3421000.123  E 512000.456": millimetres, as records hold them.
std::string PlanCursorText(GroundPoint at);

// A part of a text that mixes the program's words (UTF-8) with point names
// (bytes of the code page).
struct TextPiece {
  std::string text;
  TextEncoding encoding = TextEncoding::kUtf8;

  bool operator==(const TextPiece&) const = default;
};

// The outliers named at most; the rest are counted.
inline constexpr std::size_t kOutliersNamed = 5;

// "离群点:P12,K7 未绘出:3 点数:15998": the outliers by name first (they are
// what the user looks for), the records without numbers, the points drawn.
// Parts with nothing to say are left out; the point count always stands.
// Beyond kOutliersNamed names the rest are counted ("等8个").
std::vector<TextPiece> PlanSummary(int drawn, int undrawn,
                                   const std::vector<std::string>& outlierNames);

// The pieces as one UTF-8 text, names turned by displayText.
std::string JoinPieces(const std::vector<TextPiece>& pieces, const DisplayText& displayText);

}  // namespace lumaq
