#include "formats/ContentChecks.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string>
#include <vector>

#include "records/FieldSplit.h"
#include "records/RecordLine.h"

namespace lumaq {
namespace {

constexpr std::size_t kLinesLooked = 5;

// The lines of the first bytes (CR LF, CR or LF end a line), all of them or
// only those not empty; none for bytes with a NUL, which no text format has.
std::vector<std::string> FirstLines(std::string_view bytes, bool withEmpty) {
  std::vector<std::string> lines;
  if (bytes.find('\0') != std::string_view::npos) return lines;
  // A last line without its end may be cut off by the byte limit.
  const bool cut = bytes.size() >= kContentCheckBytes;
  std::size_t start = 0;
  while (start < bytes.size() && lines.size() < kLinesLooked) {
    const std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos && cut) break;
    const std::size_t stop = end == std::string_view::npos ? bytes.size() : end;
    std::string line = TrimControl(bytes.substr(start, stop - start));
    if (withEmpty || !line.empty()) lines.push_back(std::move(line));
    start = stop + (bytes.substr(stop, 2) == "\r\n" ? 2 : 1);
  }
  return lines;
}

bool IsNumber(std::string_view text) {
  const std::string trimmed = TrimControl(text);
  if (trimmed.empty()) return false;
  const char first = trimmed.front();
  if (!std::isdigit(static_cast<unsigned char>(first)) && first != '-' && first != '+' &&
      first != '.') {
    return false;
  }
  const char* begin = trimmed.data() + (first == '+' ? 1 : 0);
  const char* end = trimmed.data() + trimmed.size();
  double value = 0;
  const auto [stop, error] = std::from_chars(begin, end, value);
  return error == std::errc() && stop == end;
}

bool IsCount(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
  });
}

std::vector<std::string> CommaFields(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = line.find(',', start);
    fields.push_back(TrimControl(line.substr(start, comma - start)));
    if (comma == std::string_view::npos) return fields;
    start = comma + 1;
  }
}

bool NumbersAt(const std::vector<std::string>& fields, std::initializer_list<std::size_t> at) {
  return std::all_of(at.begin(), at.end(),
                     [&](std::size_t i) { return i < fields.size() && IsNumber(fields[i]); });
}

// Every first line not empty passes lineFits; a file without one does not.
template <typename Fits>
bool EveryLine(std::string_view bytes, Fits lineFits) {
  const std::vector<std::string> lines = FirstLines(bytes, false);
  return !lines.empty() && std::all_of(lines.begin(), lines.end(), lineFits);
}

std::string_view AfterBomAndBlanks(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  while (!bytes.empty() && std::isspace(static_cast<unsigned char>(bytes.front()))) {
    bytes.remove_prefix(1);
  }
  return bytes;
}

}  // namespace

bool LooksLikeGtsPoints(std::string_view firstBytes) {
  return EveryLine(firstBytes, [](const std::string& line) {
    const auto fields = CommaFields(line);
    return (fields.size() == 4 || fields.size() == 5) && !fields[0].empty() &&
           NumbersAt(fields, {1, 2, 3});
  });
}

bool LooksLikeScs2002(std::string_view firstBytes) {
  const std::vector<std::string> lines = FirstLines(firstBytes, true);
  if (lines.size() < 2 || !IsCount(lines[0])) return false;
  const bool commas = std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
    return line.find(',') != std::string::npos;
  });
  // Lines 4 and 5 of the file are the first point's N and E.
  return !commas && (lines.size() < 5 || (IsNumber(lines[3]) && IsNumber(lines[4])));
}

bool LooksLikeSv300(std::string_view firstBytes) {
  return EveryLine(firstBytes, [](const std::string& line) {
    const auto fields = CommaFields(line);
    return fields.size() == 6 && IsCount(fields[0]) && NumbersAt(fields, {3, 4, 5});
  });
}

bool LooksLikeCass(std::string_view firstBytes) {
  return EveryLine(firstBytes, [](const std::string& line) {
    const auto fields = CommaFields(line);
    return fields.size() == 5 && !fields[0].empty() && NumbersAt(fields, {2, 3, 4});
  });
}

bool LooksLikeCsv(std::string_view firstBytes) {
  return EveryLine(firstBytes, [](const std::string& line) {
    const auto fields = SplitCommaText(line);
    return (fields.size() == 4 || fields.size() == 5) && !fields[0].empty() &&
           NumbersAt(fields, {1, 2, 3});
  });
}

bool LooksLikeGeoPackage(std::string_view firstBytes) {
  using namespace std::string_view_literals;
  if (firstBytes.size() < 72 || !firstBytes.starts_with("SQLite format 3\0"sv)) return false;
  const std::string_view id = firstBytes.substr(68, 4);
  return id == "GPKG" || id == "GP10" || id == "GP11";
}

bool LooksLikeShapefile(std::string_view firstBytes) {
  using namespace std::string_view_literals;
  return firstBytes.size() >= 100 && firstBytes.substr(0, 4) == "\x00\x00\x27\x0A"sv &&
         firstBytes.substr(28, 4) == "\xE8\x03\x00\x00"sv;
}

bool LooksLikeGeoJson(std::string_view firstBytes) {
  const std::string_view text = AfterBomAndBlanks(firstBytes);
  return text.starts_with('{') && text.find("\"type\"") != std::string_view::npos;
}

bool LooksLikeKml(std::string_view firstBytes) {
  const std::string_view text = AfterBomAndBlanks(firstBytes);
  return text.starts_with('<') && text.find("<kml") != std::string_view::npos;
}

}  // namespace lumaq
