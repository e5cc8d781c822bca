// The plan as a PDF document (A4 across, 300 dpi), an SVG drawing (A4
// across, at 96 pixels per inch) or a PNG image (A4 across, 150 dpi): Qt's
// painters write it into memory, and the command replaces the file whole.
#pragma once

#include "app/PlanCommands.h"

namespace lumaq::ui {

class QtPlanPictures : public PlanPictures {
 public:
  std::unique_ptr<PictureSurface> NewPicture(PictureKind kind) override;
};

}  // namespace lumaq::ui
