// The listings on a real printer (or a PDF file): a QPainter on a QPrinter,
// in the printer's device units, in a fixed-pitch font that holds Chinese so
// that the columns of the listing line up under their headings.
#pragma once

#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <memory>

#include "app/PrintSurface.h"

namespace lumaq::ui {

class QtPrintSurface : public PrintSurface {
 public:
  // printer: configured and chosen, not yet printing.
  explicit QtPrintSurface(std::unique_ptr<QPrinter> printer);
  ~QtPrintSurface() override;

  int PageWidth() override;
  int PageHeight() override;
  int TextWidth(const std::string& text, TextEncoding encoding) override;
  int TextHeight(const std::string& text, TextEncoding encoding) override;
  void BeginDoc() override;
  void NewPage() override;
  void EndDoc() override;
  void DrawText(int x, int y, const std::string& text, TextEncoding encoding) override;

 private:
  void ThrowOnPrinterError() const;

  std::unique_ptr<QPrinter> printer_;
  QFont font_;
  QPainter painter_;
};

}  // namespace lumaq::ui
