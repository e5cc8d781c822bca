// The two printed listings of a job: the numbered coordinate listing under a
// boxed page header, and the plain text listing, each page with its number
// at the foot. Every position is measured from the surface's own font and
// page size.
#pragma once

#include <array>
#include <string>

#include "app/PrintSurface.h"
#include "records/TextLines.h"

namespace lumaq {

enum class ListingKind { kCoordinates, kText };

// Slots 0-4 of every coordinate page hold the header; records start below.
inline constexpr int kHeaderSlots = 5;

struct ListingLayout {
  int lineHeight = 0;    // the height of "Hi"
  int pitch = 0;         // line height plus 5
  int left = 0;          // x of every line
  int linesPerPage = 0;  // slots per page for lines (the header's included)
  int pageWidth = 0;     // the page number is centred on it
};

// Measures the surface. The coordinate listing is centred on the width of
// the first job text line, which must exist. Of the slots that fit between
// the top and bottom margins the last one holds the page number, below the
// lines. Throws std::logic_error when the surface reports a line pitch
// below 1.
ListingLayout MeasureListing(PrintSurface& surface, ListingKind kind, const JobText& lines);

// False when a page is too short for even one job text line below its
// header: the listing would never turn a page and would run past its end.
bool PageHoldsALine(const ListingLayout& layout, ListingKind kind);

// The five header lines of a coordinate page (UTF-8); the last is empty.
std::array<std::string, kHeaderSlots> CoordinateHeader(bool firstPage);

// The foot of page number page (from 1), in UTF-8: "第 2 页".
std::string PageNumberLine(int page);

// The record number filled with blanks to 5 characters, then the line.
std::string NumberedRecordLine(int number, const std::string& line);

// Prints the listing of lines as one document. Nothing at all for no lines.
// An error of the surface ends the document and is passed on.
void PrintListing(PrintSurface& surface, ListingKind kind, const JobText& lines,
                  const ListingLayout& layout);

}  // namespace lumaq
