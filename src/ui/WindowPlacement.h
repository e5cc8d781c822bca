// Where a window first appears.
#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>
#include <QWidget>

namespace lumaq::ui {

// Centres the window, frame included, on the available area of its screen,
// keeping its top left corner inside that area.
void CentreOnScreen(QWidget* window);

// Sizes the window to its designed client size, or smaller where the
// available area of its screen (in the screen's own units, whatever the
// scale factor) leaves less, and centres it there, frame included. While
// the frame is not known, room is left for a title bar and borders; a
// window not yet shown is fitted once more when it is, if its frame is
// known by then.
void FitOnScreen(QWidget* window, QSize designed);

// The client rectangle FitOnScreen gives: no larger than designed, nor than
// available leaves for it inside the frame, centred on available.
QRect FittedClientRect(QSize designed, QMargins frame, QRect available);

}  // namespace lumaq::ui
