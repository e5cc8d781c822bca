// The colours of the plan, on screen, on paper and in picture files.
#pragma once

#include <QColor>

#include "app/PrintSurface.h"

namespace lumaq::ui {

inline QColor InkColour(Ink ink) {
  switch (ink) {
    case Ink::kPoint:
      return QColor(0x20, 0x50, 0xA0);
    case Ink::kOutlier:
      return QColor(0xE0, 0x20, 0x20);
    case Ink::kBlack:
      break;
  }
  return QColor(Qt::black);
}

// The ring round the point of the current row.
inline QColor SelectionColour() {
  return QColor(0xF0, 0x90, 0x00);
}

}  // namespace lumaq::ui
