#include "app/ui/QtPrintSurface.h"

#include <stdexcept>

namespace lumaq::ui {

QtPrintSurface::QtPrintSurface(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer)) {
  SetDevice(printer_.get());
}

QtPrintSurface::~QtPrintSurface() {
  if (painter_.isActive()) painter_.end();
}

int QtPrintSurface::PageWidth() {
  return printer_->width();
}

int QtPrintSurface::PageHeight() {
  return printer_->height();
}

void QtPrintSurface::BeginDoc() {
  if (!BeginPainting()) {
    throw std::runtime_error("无法开始打印：打印机不可用，或输出文件无法写入");
  }
}

void QtPrintSurface::NewPage() {
  if (!printer_->newPage()) throw std::runtime_error("打印机出错，无法换页");
  AfterDrawing();
}

void QtPrintSurface::EndDoc() {
  if (!EndPainting()) throw std::runtime_error("打印机出错，打印未能完成");
  AfterDrawing();
}

void QtPrintSurface::AfterDrawing() {
  if (printer_->printerState() == QPrinter::Error) {
    throw std::runtime_error("打印机出错，打印已中止");
  }
}

}  // namespace lumaq::ui
