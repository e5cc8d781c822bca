#include "app/ui/QtPrintSurface.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "ui/AnsiText.h"
#include "ui/Fonts.h"

namespace lumaq::ui {
namespace {

// Ten and a half points, the size of Chinese body text, in whole device
// pixels of even number.
constexpr double kListingPoints = 10.5;

QString Decode(const std::string& text, TextEncoding encoding) {
  return encoding == TextEncoding::kCodePage ? FromAnsi(text) : FromUtf8(text);
}

int ListingPixelSize(int dotsPerInch) {
  return 2 * std::max(1, static_cast<int>(std::lround(kListingPoints * dotsPerInch / 72.0 / 2)));
}

}  // namespace

QtPrintSurface::QtPrintSurface(std::unique_ptr<QPrinter> printer)
    : printer_(std::move(printer)),
      font_(FixedPitchCjkFont(ListingPixelSize(printer_->resolution())), printer_.get()) {}

QtPrintSurface::~QtPrintSurface() {
  if (painter_.isActive()) painter_.end();
}

int QtPrintSurface::PageWidth() {
  return printer_->width();
}

int QtPrintSurface::PageHeight() {
  return printer_->height();
}

int QtPrintSurface::TextWidth(const std::string& text, TextEncoding encoding) {
  return QFontMetrics(font_, printer_.get()).horizontalAdvance(Decode(text, encoding));
}

// The height of the text's line, as a text extent gives it: the font's
// ascent plus descent, whatever the letters.
int QtPrintSurface::TextHeight(const std::string& text, TextEncoding encoding) {
  return QFontMetrics(font_, printer_.get())
      .size(Qt::TextSingleLine, Decode(text, encoding))
      .height();
}

void QtPrintSurface::BeginDoc() {
  if (!painter_.begin(printer_.get())) {
    throw std::runtime_error("无法开始打印：打印机不可用，或输出文件无法写入");
  }
  painter_.setFont(font_);
}

void QtPrintSurface::NewPage() {
  if (!printer_->newPage()) throw std::runtime_error("打印机出错，无法换页");
  ThrowOnPrinterError();
}

void QtPrintSurface::EndDoc() {
  if (painter_.isActive() && !painter_.end()) throw std::runtime_error("打印机出错，打印未能完成");
  ThrowOnPrinterError();
}

// QPainter draws from the baseline; the listing gives the top of the line.
void QtPrintSurface::DrawText(int x, int y, const std::string& text, TextEncoding encoding) {
  painter_.drawText(QPoint(x, y + painter_.fontMetrics().ascent()), Decode(text, encoding));
  ThrowOnPrinterError();
}

void QtPrintSurface::ThrowOnPrinterError() const {
  if (printer_->printerState() == QPrinter::Error) {
    throw std::runtime_error("打印机出错，打印已中止");
  }
}

}  // namespace lumaq::ui
