// What every Qt surface of the listings and the plan draws alike: texts in a
// fixed-pitch font that holds Chinese, lines and dots in the inks of the
// plan, with a QPainter on the surface's device. Base is PrintSurface or one
// of its kinds; the surface gives the device and starts the painter.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "app/PrintSurface.h"
#include "app/ui/PlanInk.h"
#include "ui/AnsiText.h"
#include "ui/Fonts.h"

namespace lumaq::ui {

// Ten and a half points, the size of Chinese body text, in whole device
// pixels of even number.
inline int BodyTextPixels(int dotsPerInch) {
  constexpr double kPoints = 10.5;
  return 2 * std::max(1, static_cast<int>(std::lround(kPoints * dotsPerInch / 72.0 / 2)));
}

inline QString DecodeSurfaceText(const std::string& text, TextEncoding encoding) {
  return encoding == TextEncoding::kCodePage ? FromAnsi(text) : FromUtf8(text);
}

template <typename Base>
class PainterDrawing : public Base {
 public:
  int TextWidth(const std::string& text, TextEncoding encoding) override {
    return QFontMetrics(font_, device_).horizontalAdvance(DecodeSurfaceText(text, encoding));
  }
  // The height of the text's line, as a text extent gives it: the font's
  // ascent plus descent, whatever the letters.
  int TextHeight(const std::string& text, TextEncoding encoding) override {
    return QFontMetrics(font_, device_)
        .size(Qt::TextSingleLine, DecodeSurfaceText(text, encoding))
        .height();
  }
  // QPainter draws from the baseline; the surface is given the top.
  void DrawText(int x, int y, const std::string& text, TextEncoding encoding) override {
    UsePen(true);
    painter_.drawText(QPoint(x, y + painter_.fontMetrics().ascent()),
                      DecodeSurfaceText(text, encoding));
    AfterDrawing();
  }
  void SetInk(Ink ink) override {
    colour_ = InkColour(ink);
    painter_.setBrush(colour_);
    penOn_.reset();
  }
  void DrawLine(int x1, int y1, int x2, int y2) override {
    UsePen(true);
    painter_.drawLine(x1, y1, x2, y2);
    AfterDrawing();
  }
  void DrawDot(int x, int y, int radius) override {
    UsePen(false);
    painter_.drawEllipse(QPoint(x, y), radius, radius);
    AfterDrawing();
  }

 protected:
  // device: where the painter goes, alive as long as the surface.
  void SetDevice(QPaintDevice* device) {
    device_ = device;
    font_ = QFont(FixedPitchCjkFont(BodyTextPixels(device->logicalDpiY())), device);
    // Lines a sixth of a millimetre wide, whatever the resolution.
    lineWidth_ = std::max(1, device->logicalDpiY() / 150);
  }
  // Starts the painter in the surface's font and black ink; false when the
  // device cannot be painted on.
  bool BeginPainting() {
    if (!painter_.begin(device_)) return false;
    painter_.setFont(font_);
    painter_.setRenderHint(QPainter::Antialiasing);
    SetInk(Ink::kBlack);
    return true;
  }
  bool EndPainting() { return !painter_.isActive() || painter_.end(); }
  // Called after each drawing call: a printer checks for its errors here.
  virtual void AfterDrawing() {}

  QPainter painter_;

 private:
  // Dots are filled without an outline. The pen changes only between dots
  // and other drawings: a picture file writes every change of the painter's
  // state, and a plan is thousands of dots in a row.
  void UsePen(bool on) {
    if (penOn_ == on) return;
    painter_.setPen(on ? QPen(colour_, lineWidth_) : QPen(Qt::NoPen));
    penOn_ = on;
  }

  QPaintDevice* device_ = nullptr;
  QFont font_;
  QColor colour_ = Qt::black;
  std::optional<bool> penOn_;
  int lineWidth_ = 1;
};

}  // namespace lumaq::ui
