// The fonts the windows ask for by name, with the CJK serif that Debian
// provides standing in for "宋体" where that font is missing.
#pragma once

#include <QFont>

namespace lumaq::ui {

QFont SerifCjkFont(int pixelSize, bool bold = false);                   // "宋体"
QFont NamedFont(const char* family, int pixelSize, bool bold = false);  // Arial, Times New Roman
// A fixed-pitch face that holds Chinese: every ASCII character half as wide
// as a Chinese one, so that text lines up by its code-page bytes. An even
// pixel size keeps the half exact.
QFont FixedPitchCjkFont(int pixelSize);

}  // namespace lumaq::ui
