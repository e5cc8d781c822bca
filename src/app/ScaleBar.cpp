#include "app/ScaleBar.h"

#include <cmath>

#include "records/CellInput.h"

namespace lumaq {

ScaleBar NiceScaleBar(double pixelsPerMetre, double maxPixels) {
  const double longest = maxPixels / pixelsPerMetre;
  double power = std::pow(10.0, std::floor(std::log10(longest)));
  // log10 of a length just below a power of ten may round up to it.
  if (power > longest) power /= 10;
  double metres = power;
  for (const double step : {2.0, 5.0}) {
    if (step * power <= longest) metres = step * power;
  }
  return {metres, metres * pixelsPerMetre, FormatGeneralNumber(metres) + " m"};
}

}  // namespace lumaq
