#include "ui/Fonts.h"

#include <QStringList>

namespace lumaq::ui {
namespace {

QFont MakeFont(const QStringList& families, int pixelSize, bool bold) {
  QFont font;
  font.setFamilies(families);
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

}  // namespace

QFont SerifCjkFont(int pixelSize, bool bold) {
  return MakeFont({QString::fromUtf8("宋体"), "SimSun", "AR PL UMing CN", "Noto Serif CJK SC"},
                  pixelSize, bold);
}

// The Latin letters of the Debian CJK serif are half the width of its
// Chinese characters; the others named are fixed-pitch CJK faces of other
// systems.
QFont FixedPitchCjkFont(int pixelSize) {
  QFont font = MakeFont({"AR PL UMing CN", QString::fromUtf8("新宋体"), "NSimSun",
                         "Noto Sans Mono CJK SC", "WenQuanYi Zen Hei Mono"},
                        pixelSize, false);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  return font;
}

QFont NamedFont(const char* family, int pixelSize, bool bold) {
  return MakeFont({QString::fromLatin1(family), "AR PL UMing CN"}, pixelSize, bold);
}

}  // namespace lumaq::ui
