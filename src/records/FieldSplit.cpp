#include "records/FieldSplit.h"

#include <array>

#include "records/CellInput.h"

namespace lumaq {
namespace {

struct LayoutShape {
  std::array<std::size_t, 5> widths;
  bool rangeTestsLastField;
  std::array<bool, 5> isCoordinate;  // by position in the line
};

LayoutShape ShapeOf(FixedLayout layout) {
  if (layout == FixedLayout::kGtsPoints) {
    return {{8, 11, 11, 11, 8}, false, {false, true, true, true, false}};
  }
  return {{8, 8, 11, 11, 11}, true, {false, false, true, true, true}};
}

// Positions 1-5 of the line named by the layout's field order.
RecordFields NameFields(FixedLayout layout, std::array<std::string, 5> f) {
  switch (layout) {
    case FixedLayout::kGtsPoints:
      return {std::move(f[0]), std::move(f[4]), std::move(f[2]), std::move(f[1]), std::move(f[3])};
    case FixedLayout::kCass:
      return {std::move(f[0]), std::move(f[1]), std::move(f[3]), std::move(f[2]), std::move(f[4])};
    case FixedLayout::kSv300:
    case FixedLayout::kReceivedCoordinateLine:
      break;
  }
  return {std::move(f[0]), std::move(f[1]), std::move(f[2]), std::move(f[3]), std::move(f[4])};
}

bool IsBlank(unsigned char c) {
  return c >= 1 && c <= 32;
}

// The text without its spaces, at most width characters of it, into field.
void CopyWithoutBlanks(std::string_view text, std::size_t width, std::string& field) {
  field.clear();
  for (const char c : text) {
    if (field.size() == width) break;
    if (c != ' ') field.push_back(c);
  }
}

}  // namespace

double ReadNumber(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && IsBlank(static_cast<unsigned char>(text[start]))) ++start;
  return LeadingNumber(text.substr(start));
}

RecordFields SplitFixedFields(std::string_view line, FixedLayout layout) {
  const LayoutShape shape = ShapeOf(layout);
  // Each field is built in place: a file of thousands of lines splits every one.
  std::array<std::string, 5> texts;
  std::string_view rest = line;
  std::size_t f = 0;  // 0-based field position
  for (auto comma = rest.find(','); f < 5 && comma != std::string_view::npos;
       comma = rest.find(',')) {
    std::string& field = texts[f];
    CopyWithoutBlanks(rest.substr(0, comma), shape.widths[f], field);
    if (f >= 2) {
      const double value = ReadNumber(field);
      if (value > kMaxTypedCoordinate || value < kMinTypedCoordinate) field = "0";
    }
    ++f;
    rest.remove_prefix(comma + 1);
  }
  if (f < 5 && rest.size() <= shape.widths[f]) {
    std::string& last = texts[f];
    last.assign(rest);
    if (f >= 2 && shape.rangeTestsLastField) {
      const double value = ReadNumber(last);
      if (value >= kMaxTypedCoordinate || value <= kMinTypedCoordinate) last = "0";
    }
    ++f;
  }
  // A missing coordinate reads 0, a missing name or code is empty.
  for (std::size_t i = f; i < 5; ++i) texts[i] = shape.isCoordinate[i] ? "0" : " ";
  for (std::string& text : texts) TrimControlInPlace(text);
  return NameFields(layout, std::move(texts));
}

std::vector<std::string> SplitCommaText(std::string_view line) {
  std::vector<std::string> texts;
  std::size_t i = 0;
  const auto at = [&](std::size_t k) { return static_cast<unsigned char>(line[k]); };
  const auto skipBlanks = [&] {
    while (i < line.size() && IsBlank(at(i))) ++i;
  };
  skipBlanks();
  while (i < line.size()) {
    std::string text;
    if (line[i] == '"') {
      ++i;
      while (i < line.size()) {
        if (line[i] == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"') {
            text.push_back('"');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        const std::size_t step = (at(i) >= 0x81 && i + 1 < line.size()) ? 2 : 1;
        text.append(line.substr(i, step));
        i += step;
      }
    } else {
      while (i < line.size() && line[i] != ',' && !IsBlank(at(i))) {
        const std::size_t step = (at(i) >= 0x81 && i + 1 < line.size()) ? 2 : 1;
        text.append(line.substr(i, step));
        i += step;
      }
    }
    texts.push_back(std::move(text));
    skipBlanks();
    if (i < line.size() && line[i] == ',') {
      ++i;
      skipBlanks();
    }
  }
  return texts;
}

}  // namespace lumaq
