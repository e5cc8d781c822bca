// The listings and the plan on a real printer (or a PDF file): a QPainter on
// a QPrinter, in the printer's device units, in a fixed-pitch font that holds
// Chinese so that the columns of the listing line up under their headings.
#pragma once

#include <QPrinter>
#include <memory>

#include "app/PrintSurface.h"
#include "app/ui/PainterDrawing.h"

namespace lumaq::ui {

class QtPrintSurface : public PainterDrawing<PrintSurface> {
 public:
  // printer: configured and chosen, not yet printing.
  explicit QtPrintSurface(std::unique_ptr<QPrinter> printer);
  ~QtPrintSurface() override;

  int PageWidth() override;
  int PageHeight() override;
  void BeginDoc() override;
  void NewPage() override;
  void EndDoc() override;

 private:
  void AfterDrawing() override;

  std::unique_ptr<QPrinter> printer_;
};

}  // namespace lumaq::ui
