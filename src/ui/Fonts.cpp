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

QFont NamedFont(const char* family, int pixelSize, bool bold) {
  return MakeFont({QString::fromLatin1(family), "AR PL UMing CN"}, pixelSize, bold);
}

}  // namespace lumaq::ui
