#include "formats/ImportFormats.h"

#include <cmath>
#include <cstdio>

#include "records/CellInput.h"
#include "records/FieldSplit.h"
#include "records/RecordLine.h"
#include "records/RecordTable.h"
#include "records/SignificantDigits.h"

namespace lumaq {
namespace {

constexpr const char* kEmptyCsvCoordinate = "0.000";

// An SCS2002 coordinate: its number, 0 outside the range, three decimals.
std::string Scs2002Coordinate(std::string_view text) {
  double value = ReadNumber(text);
  if (value > kMaxTypedCoordinate || value < kMinTypedCoordinate) value = 0.0;
  return FormatFixed3(value);
}

// One file line as a record line, for the fixed-width formats. An SV300 line
// without a comma raises ImportError.
std::string ImportGtsPointsLine(std::string_view line) {
  return ComposeRecordLine(SplitFixedFields(line, FixedLayout::kGtsPoints));
}

std::string ImportSv300Line(std::string_view line) {
  const auto comma = line.find(',');
  if (comma == std::string_view::npos) {
    throw ImportError("SV300 记录行中没有逗号：\"" + std::string(line) + "\"");
  }
  // The record number before the first comma is not kept.
  return ComposeRecordLine(SplitFixedFields(line.substr(comma + 1), FixedLayout::kSv300));
}

std::string ImportCassLine(std::string_view line) {
  return ComposeRecordLine(SplitFixedFields(line, FixedLayout::kCass));
}

// Keeps the first maxLines - 1 lines and the last line of a longer list.
void KeepFirstAndLastLines(JobText& lines, std::size_t maxLines) {
  if (maxLines == 0 || lines.size() <= maxLines) return;
  lines[maxLines - 1] = std::move(lines.back());
  lines.resize(maxLines);
}

}  // namespace

ImportFormat ImportFormatOfIndex(int typeIndex) {
  if (typeIndex < 1 || typeIndex > kImportFormatCount) return ImportFormat::kGtsPoints;
  return static_cast<ImportFormat>(typeIndex);
}

std::string FormatFixed3(double value) {
  if (!std::isfinite(value)) return "0.000";
  const SignificantDigits parts = FifteenSignificantDigits(value);
  const std::string& digits = parts.digits;
  const int exponent = parts.exponent;
  // Digits up to the third decimal; the next one rounds.
  const int kept = exponent + 4;
  long long thousandths = 0;
  if (kept >= 0 && kept < static_cast<int>(digits.size())) {
    for (std::size_t i = 0; i < static_cast<std::size_t>(kept); ++i) {
      thousandths = thousandths * 10 + (digits[i] - '0');
    }
    if (digits[static_cast<std::size_t>(kept)] >= '5') ++thousandths;
  } else if (kept >= static_cast<int>(digits.size())) {
    // Larger than any coordinate: written from its integer value.
    thousandths = std::llround(std::fabs(value) * 1000.0);
  }
  char out[48];
  std::snprintf(out, sizeof out, "%s%lld.%03lld", (value < 0 && thousandths != 0) ? "-" : "",
                thousandths / 1000, thousandths % 1000);
  return out;
}

std::string ImportCsvLine(std::string_view line) {
  const std::vector<std::string> texts = SplitCommaText(line);
  std::string fields[5];
  for (std::size_t i = 0; i < 5 && i < texts.size(); ++i) fields[i] = TrimControl(texts[i]);
  for (std::size_t i = 1; i <= 3; ++i) {
    if (fields[i].empty()) fields[i] = kEmptyCsvCoordinate;
  }
  return ComposeRecordLine(fields[0], fields[4], fields[1], fields[2], fields[3]);
}

JobText ImportScs2002(const JobText& fileLines) {
  const std::size_t count = fileLines.size();
  const bool accepted = count > 5 && count % 5 == 2 && TrimControl(fileLines.back()) == "E" &&
                        TrimControl(fileLines.front()) == std::to_string((count - 2) / 5);
  if (!accepted) throw RejectedImportFile(kFormatMismatchMessage);
  JobText records;
  records.reserve((count - 2) / 5);
  for (std::size_t first = 1; first + 5 < count; first += 5) {
    records.push_back(ComposeRecordLine(TrimControl(fileLines[first]), fileLines[first + 1],
                                        Scs2002Coordinate(fileLines[first + 2]),
                                        Scs2002Coordinate(fileLines[first + 3]),
                                        Scs2002Coordinate(fileLines[first + 4])));
  }
  KeepFirstAndLastLines(records, kMaxRecords);
  return records;
}

JobText ImportRecordLines(ImportFormat format, JobText fileLines) {
  if (format == ImportFormat::kScs2002) return ImportScs2002(fileLines);
  const std::size_t fileLineCount = fileLines.size();
  KeepFirstAndLastLines(fileLines, kMaxRecords);
  std::string (*const convert)(std::string_view) = format == ImportFormat::kSv300  ? ImportSv300Line
                                                   : format == ImportFormat::kCass ? ImportCassLine
                                                   : format == ImportFormat::kCsv
                                                       ? ImportCsvLine
                                                       : ImportGtsPointsLine;
  for (std::size_t i = 0; i < fileLines.size(); ++i) {
    try {
      fileLines[i] = convert(fileLines[i]);
    } catch (const ImportError& error) {
      // Name the line as the file numbers it (the last line may have moved up).
      const std::size_t number = i + 1 < kMaxRecords ? i + 1 : fileLineCount;
      throw ImportError("第 " + std::to_string(number) + " 行：" + error.what());
    }
  }
  return fileLines;
}

}  // namespace lumaq
