// The scale bar of the plan: a round length of ground (1, 2 or 5 times a
// power of ten metres) and how long it is drawn.
#pragma once

#include <string>

namespace lumaq {

struct ScaleBar {
  double metres = 0;
  double pixels = 0;
  std::string text;  // "200 m", "0.5 m" (UTF-8)
};

// The longest round bar no longer than maxPixels at pixelsPerMetre.
ScaleBar NiceScaleBar(double pixelsPerMetre, double maxPixels);

}  // namespace lumaq
