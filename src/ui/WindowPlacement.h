// Where a window first appears.
#pragma once

#include <QWidget>

namespace lumaq::ui {

// Centres the window, frame included, on the available area of the primary
// screen.
void CentreOnScreen(QWidget* window);

}  // namespace lumaq::ui
