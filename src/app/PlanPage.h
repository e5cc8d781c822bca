// The plan on one page of a surface, for printing and for picture files: a
// title and the summary line over a frame that holds every drawn point,
// fitted, with the labels that have room; a north arrow in the frame's upper
// right corner and a scale bar in its lower left. Every size is measured
// from the surface's font, so the page looks alike on a printer and in a
// picture of any resolution.
#pragma once

#include <string>

#include "app/PlanScene.h"
#include "app/PrintSurface.h"

namespace lumaq {

struct PlanPageLayout {
  int lineHeight = 0;   // the height of "Hi"
  int columnWidth = 0;  // the width of "0" (the font has a fixed pitch)
  int frameLeft = 0, frameTop = 0, frameRight = 0, frameBottom = 0;
  int dotRadius = 0;
};

// Throws std::logic_error for a surface whose text has no height.
PlanPageLayout MeasurePlanPage(PrintSurface& surface);

// False when the page has no room for a frame below the title lines.
bool PageHoldsAPlan(const PlanPageLayout& layout);

// Draws the page between BeginDoc and EndDoc. title is UTF-8; labels carry
// the code after the name when withCodes is set. An error of the surface
// ends the document and is passed on.
void DrawPlanPage(PrintSurface& surface, PlanScene& scene, const PlanPageLayout& layout,
                  const std::string& title, bool withCodes);

}  // namespace lumaq
