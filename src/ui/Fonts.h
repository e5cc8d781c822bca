// The fonts the windows ask for by name, with the CJK serif that Debian
// provides standing in for "宋体" where that font is missing.
#pragma once

#include <QFont>

namespace lumaq::ui {

QFont SerifCjkFont(int pixelSize, bool bold = false);                   // "宋体"
QFont NamedFont(const char* family, int pixelSize, bool bold = false);  // Arial, Times New Roman

}  // namespace lumaq::ui
