// A page-oriented drawing surface for the printed listings and the plan. The
// Qt adapters draw on the chosen printer or into a picture file; tests
// record the calls.
#pragma once

#include <string>
#include <utility>

namespace lumaq {

// How the bytes of a text are to be read: the program's own texts (headers)
// are UTF-8, job text lines are bytes of the GB18030 code page.
enum class TextEncoding { kUtf8, kCodePage };

// The colours of a drawing: black, the points of the plan, and what stands
// out (outliers).
enum class Ink { kBlack, kPoint, kOutlier };

class PrintSurface {
 public:
  virtual ~PrintSurface() = default;

  // The printable area of a page, in device units.
  virtual int PageWidth() = 0;
  virtual int PageHeight() = 0;
  // The extent of a text in the surface's font, in device units.
  virtual int TextWidth(const std::string& text, TextEncoding encoding) = 0;
  virtual int TextHeight(const std::string& text, TextEncoding encoding) = 0;

  virtual void BeginDoc() = 0;
  virtual void NewPage() = 0;
  virtual void EndDoc() = 0;
  // (x, y) is the top left corner of the text on the current page.
  virtual void DrawText(int x, int y, const std::string& text, TextEncoding encoding) = 0;

  // Texts, lines and dots are drawn in the ink last set (black at first).
  virtual void SetInk(Ink ink) = 0;
  virtual void DrawLine(int x1, int y1, int x2, int y2) = 0;
  // A filled round dot of radius centred on (x, y).
  virtual void DrawDot(int x, int y, int radius) = 0;
};

// One document on surface: BeginDoc, what draw draws, EndDoc. A failure while
// drawing still ends the print job, and is the error reported.
template <typename Draw>
void PrintDocument(PrintSurface& surface, Draw&& draw) {
  try {
    surface.BeginDoc();
    std::forward<Draw>(draw)();
  } catch (...) {
    try {
      surface.EndDoc();
    } catch (...) {
    }
    throw;
  }
  surface.EndDoc();
}

}  // namespace lumaq
