#include "app/PrintListing.h"

#include <stdexcept>

namespace lumaq {
namespace {

constexpr int kListingTopMargin = 50;
constexpr int kTextListingLeft = 100;
constexpr std::size_t kRecordNumberWidth = 5;

const std::string kAsterisks(58, '*');
const std::string kFirstTitle = std::string(18, ' ') + "全站仪坐标记录文件" + std::string(22, ' ');
const std::string kLaterTitle =
    "*" + std::string(17, ' ') + "全站仪坐标记录文件" + std::string(21, ' ') + "*";
const std::string kColumnWords = "NO.  PT      CODE      N           E           Z";

// The y of slot k of a page.
int SlotY(const ListingLayout& layout, int slot) {
  return kListingTopMargin + slot * layout.pitch;
}

// The first slot a job text line can take on a page.
int FirstLineSlot(ListingKind kind) {
  return kind == ListingKind::kCoordinates ? kHeaderSlots : 0;
}

void DrawHeader(PrintSurface& surface, const ListingLayout& layout, bool firstPage) {
  const auto header = CoordinateHeader(firstPage);
  for (int slot = 0; slot < kHeaderSlots; ++slot) {
    const std::string& text = header[static_cast<std::size_t>(slot)];
    if (!text.empty())
      surface.DrawText(layout.left, SlotY(layout, slot), text, TextEncoding::kUtf8);
  }
}

// Centred in the slot below the last line.
void DrawPageNumber(PrintSurface& surface, const ListingLayout& layout, int page) {
  const std::string text = PageNumberLine(page);
  const int x = (layout.pageWidth - surface.TextWidth(text, TextEncoding::kUtf8)) / 2;
  surface.DrawText(x, SlotY(layout, layout.linesPerPage), text, TextEncoding::kUtf8);
}

void DrawLines(PrintSurface& surface, ListingKind kind, const JobText& lines,
               const ListingLayout& layout) {
  const bool coordinates = kind == ListingKind::kCoordinates;
  if (coordinates) DrawHeader(surface, layout, true);
  const int firstSlot = FirstLineSlot(kind);
  int slot = firstSlot;
  int page = 1;
  for (std::size_t n = 0; n < lines.size(); ++n) {
    const std::string text =
        coordinates ? NumberedRecordLine(static_cast<int>(n) + 1, lines[n]) : lines[n];
    surface.DrawText(layout.left, SlotY(layout, slot), text, TextEncoding::kCodePage);
    // The page test follows every line, the last one too: a listing that
    // fills its last page exactly ends with one more page.
    if (++slot == layout.linesPerPage) {
      DrawPageNumber(surface, layout, page++);
      surface.NewPage();
      if (coordinates) DrawHeader(surface, layout, false);
      slot = firstSlot;
    }
  }
  DrawPageNumber(surface, layout, page);
}

}  // namespace

ListingLayout MeasureListing(PrintSurface& surface, ListingKind kind, const JobText& lines) {
  ListingLayout layout;
  layout.lineHeight = surface.TextHeight("Hi", TextEncoding::kUtf8);
  layout.pitch = layout.lineHeight + 5;
  if (layout.pitch < 1) throw std::logic_error("print surface: line pitch below 1");
  if (kind == ListingKind::kCoordinates) {
    // The division truncates toward zero, also for a first line wider than
    // the page: a difference of -7 gives -3, not -4.
    const int width = surface.TextWidth(lines.at(0), TextEncoding::kCodePage);
    layout.left = (surface.PageWidth() - width) / 2 - 5;
  } else {
    layout.left = kTextListingLeft;
  }
  const int slots = (surface.PageHeight() - 2 * kListingTopMargin) / layout.pitch;
  layout.linesPerPage = slots - 1;  // the last for the page number
  layout.pageWidth = surface.PageWidth();
  return layout;
}

bool PageHoldsALine(const ListingLayout& layout, ListingKind kind) {
  return layout.linesPerPage > FirstLineSlot(kind);
}

std::array<std::string, kHeaderSlots> CoordinateHeader(bool firstPage) {
  return {kAsterisks, firstPage ? kFirstTitle : kLaterTitle, kAsterisks, kColumnWords, ""};
}

std::string PageNumberLine(int page) {
  return "第 " + std::to_string(page) + " 页";
}

std::string NumberedRecordLine(int number, const std::string& line) {
  std::string text = std::to_string(number);
  if (text.size() < kRecordNumberWidth) text.resize(kRecordNumberWidth, ' ');
  return text + line;
}

void PrintListing(PrintSurface& surface, ListingKind kind, const JobText& lines,
                  const ListingLayout& layout) {
  if (lines.empty()) return;
  PrintDocument(surface, [&] { DrawLines(surface, kind, lines, layout); });
}

}  // namespace lumaq
