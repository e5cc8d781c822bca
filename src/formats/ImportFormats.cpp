#include "formats/ImportFormats.h"

#include <cmath>
#include <cstdio>

#include "formats/RecordImport.h"
#include "records/CellInput.h"
#include "records/FieldSplit.h"
#include "records/FileLineReader.h"
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

std::string ImportScs2002Record(std::span<const std::string> lines) {
  return ComposeRecordLine(TrimControl(lines[0]), lines[1], Scs2002Coordinate(lines[2]),
                           Scs2002Coordinate(lines[3]), Scs2002Coordinate(lines[4]));
}

bool Scs2002FileFits(std::span<const std::string> header, std::span<const std::string> trailer,
                     std::size_t fileLineCount) {
  const std::size_t count = fileLineCount;
  return count > 5 && count % 5 == 2 && !header.empty() && !trailer.empty() &&
         TrimControl(trailer.back()) == "E" &&
         TrimControl(header.front()) == std::to_string((count - 2) / 5);
}

JobText ImportScs2002(const JobText& fileLines) {
  return ImportRecordLines(ExchangeFormat{.reader = kScs2002Reader}, fileLines);
}

JobText ImportRecordLines(const ExchangeFormat& format, JobText fileLines, const ExchangeOptions&) {
  JobText records;
  RecordImport import(format.reader,
                      [&records](std::string record) { records.push_back(std::move(record)); });
  for (std::string& line : fileLines) import.Take(line);
  import.Finish(false);
  return records;
}

std::size_t ImportFile(const ExchangeFormat& format, const std::string& path,
                       const ExchangeOptions&, const RecordLineSink& sink) {
  FileLineReader lines(path);
  RecordImport import(format.reader, sink);
  std::string line;
  while (lines.Next(line)) import.Take(line);
  return import.Finish(lines.SawNul());
}

ImportedRecords ImportFile(const ExchangeFormat& format, const std::string& path,
                           const ExchangeOptions& options) {
  ImportedRecords imported;
  imported.leftOut = ImportFile(format, path, options, [&imported](std::string record) {
    imported.records.push_back(std::move(record));
  });
  return imported;
}

ImportedRecords ImportBytes(const ExchangeFormat& format, std::string_view bytes,
                            const ExchangeOptions&) {
  ImportedRecords imported;
  RecordImport import(format.reader, [&imported](std::string record) {
    imported.records.push_back(std::move(record));
  });
  LineReader lines(bytes, "\"输入\"");
  std::string line;
  while (lines.Next(line)) import.Take(line);
  imported.leftOut = import.Finish(lines.SawNul());
  return imported;
}

}  // namespace lumaq
