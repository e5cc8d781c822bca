// The one error box of the program: the application's title as its caption,
// the error's own words as its text. Every window reports an error this way.
#pragma once

#include <QWidget>
#include <exception>

namespace lumaq::ui {

// Shows the box modally over parent (the active window when none is given)
// and returns when the user has closed it.
void ShowErrorBox(const std::exception& error, QWidget* parent = nullptr);

// The same box over window, for an error found while the window is being
// built: shown from the event loop once the window has been shown (at once
// when it is visible already), and never if it is destroyed unshown.
void ShowErrorBoxWhenVisible(std::exception_ptr error, QWidget* window);

}  // namespace lumaq::ui
