#include "formats/ImportFormats.h"

#include <cmath>
#include <cstdio>

#include "records/CellInput.h"
#include "records/FieldSplit.h"
#include "records/JobFiles.h"
#include "records/LineReader.h"
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

// At most the first 80 bytes of a line, control bytes written as \xNN, for a
// message.
std::string QuoteLine(std::string_view line) {
  constexpr std::size_t kQuotedBytes = 80;
  std::string quoted = "\"";
  for (const char c : line.substr(0, kQuotedBytes)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(byte));
      quoted += escaped;
    } else {
      quoted += c;
    }
  }
  quoted += '"';
  if (line.size() > kQuotedBytes) quoted += "...";
  return quoted;
}

std::string ImportSv300Line(std::string_view line) {
  const auto comma = line.find(',');
  if (comma == std::string_view::npos) {
    throw ImportError("SV300 记录行中没有逗号：" + QuoteLine(line));
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
  if (kept >= static_cast<int>(digits.size())) {
    // Every significant digit lies before the fourth decimal: the digits, the
    // zeros up to the third decimal, a point before the last three.
    std::string number = digits + std::string(static_cast<std::size_t>(kept) - digits.size(), '0');
    number.insert(number.size() - 3, ".");
    return (value < 0 ? "-" : "") + number;
  }
  long long thousandths = 0;
  if (kept >= 0) {
    for (std::size_t i = 0; i < static_cast<std::size_t>(kept); ++i) {
      thousandths = thousandths * 10 + (digits[i] - '0');
    }
    if (digits[static_cast<std::size_t>(kept)] >= '5') ++thousandths;
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
  return ImportScs2002(fileLines, fileLines.size());
}

JobText ImportScs2002(const JobText& fileLines, std::size_t fileLineCount) {
  const std::size_t count = fileLineCount;
  const bool accepted = count > 5 && count % 5 == 2 && fileLines.size() % 5 == 2 &&
                        TrimControl(fileLines.back()) == "E" &&
                        TrimControl(fileLines.front()) == std::to_string((count - 2) / 5);
  if (!accepted) throw RejectedImportFile(kFormatMismatchMessage);
  JobText records;
  records.reserve((fileLines.size() - 2) / 5);
  for (std::size_t first = 1; first + 5 < fileLines.size(); first += 5) {
    records.push_back(ComposeRecordLine(TrimControl(fileLines[first]), fileLines[first + 1],
                                        Scs2002Coordinate(fileLines[first + 2]),
                                        Scs2002Coordinate(fileLines[first + 3]),
                                        Scs2002Coordinate(fileLines[first + 4])));
  }
  KeepFirstAndLastLines(records, kMaxRecords);
  return records;
}

namespace {

JobText ConvertLines(ImportFormat format, JobText fileLines, std::size_t fileLineCount) {
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

// The lines an import keeps of a long file: those of the first 15998 records
// and of the last. An SCS2002 record is five lines, after a count line and
// before an end line; the other formats have a record a line.
struct KeptLines {
  std::size_t head;
  std::size_t tail;
};
KeptLines KeptLinesOf(ImportFormat format) {
  constexpr auto kHeadRecords = static_cast<std::size_t>(kMaxRecords - 1);
  if (format == ImportFormat::kScs2002) return {1 + 5 * kHeadRecords, 5 + 1};
  return {kHeadRecords, 1};
}

ImportedRecords ImportCappedLines(ImportFormat format, CappedLines file) {
  if (file.hasNul) throw RejectedImportFile(kFormatMismatchMessage);
  ImportedRecords imported;
  std::size_t fileRecords = file.total;
  if (format == ImportFormat::kScs2002) {
    imported.records = ImportScs2002(file.lines, file.total);
    fileRecords = (file.total - 2) / 5;
  } else {
    imported.records = ConvertLines(format, std::move(file.lines), file.total);
  }
  imported.leftOut = fileRecords - imported.records.size();
  return imported;
}

}  // namespace

JobText ImportRecordLines(ImportFormat format, JobText fileLines) {
  if (format == ImportFormat::kScs2002) return ImportScs2002(fileLines);
  const std::size_t fileLineCount = fileLines.size();
  return ConvertLines(format, std::move(fileLines), fileLineCount);
}

ImportedRecords ImportFile(ImportFormat format, const std::string& path) {
  const KeptLines kept = KeptLinesOf(format);
  return ImportCappedLines(format, ReadCappedTextFile(path, kept.head, kept.tail));
}

ImportedRecords ImportBytes(ImportFormat format, std::string_view bytes) {
  const KeptLines kept = KeptLinesOf(format);
  LineReader reader(bytes, "\"输入\"");
  return ImportCappedLines(format, ReadCappedLines(reader, kept.head, kept.tail));
}

}  // namespace lumaq
