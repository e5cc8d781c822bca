// The display boundary: job bytes are GB18030 text; the widgets show Unicode.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace lumaq::ui {

// Job bytes (records, measurement text, names from settings) for display.
QString FromAnsi(std::string_view bytes);
// Text typed into a widget, back to job bytes.
std::string ToAnsi(const QString& text);
// The program's own texts, which the core holds as UTF-8.
inline QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text);
}

// A text that is either the program's own (UTF-8) or comes from a file in
// the code page (a user format's name inside a file type list).
QString FromUtf8OrAnsi(std::string_view bytes);

}  // namespace lumaq::ui
