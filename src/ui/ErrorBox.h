// The one error box of the program: the application's title as its caption,
// the error's own words as its text. Every window reports an error this way.
#pragma once

#include <QWidget>
#include <exception>

namespace lumaq::ui {

// Shows the box modally over parent (the active window when none is given)
// and returns when the user has closed it.
void ShowErrorBox(const std::exception& error, QWidget* parent = nullptr);

}  // namespace lumaq::ui
