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

// Keeps the first maxLines - 1 lines and the last line of a longer list.
void KeepFirstAndLastLines(JobText& lines, std::size_t maxLines) {
  if (maxLines == 0 || lines.size() <= maxLines) return;
  lines[maxLines - 1] = std::move(lines.back());
  lines.resize(maxLines);
}

}  // namespace

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

std::string ImportGtsPointsLine(std::string_view line) {
  return ComposeRecordLine(SplitFixedFields(line, FixedLayout::kGtsPoints));
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
  return ImportScs2002(fileLines, fileLines.size(), ExchangeOptions{});
}

JobText ImportScs2002(const JobText& fileLines, std::size_t fileLineCount, const ExchangeOptions&) {
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

JobText ConvertLines(const RecordReader& reader, JobText fileLines, std::size_t fileLineCount) {
  KeepFirstAndLastLines(fileLines, kMaxRecords);
  for (std::size_t i = 0; i < fileLines.size(); ++i) {
    try {
      fileLines[i] = reader.line(fileLines[i]);
    } catch (const ImportError& error) {
      // Name the line as the file numbers it (the last line may have moved up).
      const std::size_t number = i + 1 < kMaxRecords ? i + 1 : fileLineCount;
      throw ImportError("第 " + std::to_string(number) + " 行：" + error.what());
    }
  }
  return fileLines;
}

JobText ReadRecords(const RecordReader& reader, JobText fileLines, std::size_t fileLineCount,
                    const ExchangeOptions& options) {
  if (reader.file != nullptr) return reader.file(fileLines, fileLineCount, options);
  return ConvertLines(reader, std::move(fileLines), fileLineCount);
}

// The lines an import keeps of a long file: those of the first 15998 records
// and of the last, with the lines before and after the records.
struct KeptLines {
  std::size_t head;
  std::size_t tail;
};
KeptLines KeptLinesOf(const RecordReader& reader) {
  constexpr auto kHeadRecords = static_cast<std::size_t>(kMaxRecords - 1);
  return {reader.headerLines + reader.linesPerRecord * kHeadRecords,
          reader.linesPerRecord + reader.trailerLines};
}

ImportedRecords ImportCappedLines(const RecordReader& reader, CappedLines file,
                                  const ExchangeOptions& options) {
  if (file.hasNul) throw RejectedImportFile(kFormatMismatchMessage);
  ImportedRecords imported;
  imported.records = ReadRecords(reader, std::move(file.lines), file.total, options);
  // The reader accepted the file, so its lines frame whole records.
  const std::size_t fileRecords =
      (file.total - reader.headerLines - reader.trailerLines) / reader.linesPerRecord;
  imported.leftOut = fileRecords - imported.records.size();
  return imported;
}

}  // namespace

JobText ImportRecordLines(const ExchangeFormat& format, JobText fileLines,
                          const ExchangeOptions& options) {
  const std::size_t fileLineCount = fileLines.size();
  return ReadRecords(format.reader, std::move(fileLines), fileLineCount, options);
}

ImportedRecords ImportFile(const ExchangeFormat& format, const std::string& path,
                           const ExchangeOptions& options) {
  const KeptLines kept = KeptLinesOf(format.reader);
  return ImportCappedLines(format.reader, ReadCappedTextFile(path, kept.head, kept.tail), options);
}

ImportedRecords ImportBytes(const ExchangeFormat& format, std::string_view bytes,
                            const ExchangeOptions& options) {
  const KeptLines kept = KeptLinesOf(format.reader);
  LineReader reader(bytes, "\"输入\"");
  return ImportCappedLines(format.reader, ReadCappedLines(reader, kept.head, kept.tail), options);
}

}  // namespace lumaq
