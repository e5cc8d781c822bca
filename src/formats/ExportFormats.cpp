#include "formats/ExportFormats.h"

#include <array>
#include <initializer_list>
#include <utility>

#include "rawdata/PolarLines.h"
#include "records/RecordLine.h"
#include "records/ReplacingFile.h"

namespace lumaq {
namespace {

constexpr std::string_view kCrLf = "\r\n";

// The texts joined by single commas, then CR LF.
template <typename... Texts>
std::string CommaLine(const Texts&... texts) {
  std::string line;
  bool first = true;
  ((line += first ? "" : ",", line += texts, first = false), ...);
  line += kCrLf;
  return line;
}

std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  quoted += text;
  quoted += '"';
  return quoted;
}

}  // namespace

std::string Scs2002Record(std::size_t k, std::size_t recordCount, const RecordFields& r,
                          const ExchangeOptions&) {
  std::string text;
  if (k == 1) text += std::to_string(recordCount) + std::string(kCrLf);
  for (const std::string* field : {&r.name, &r.code, &r.n, &r.e, &r.z}) {
    text += *field;
    text += kCrLf;
  }
  if (k == recordCount) {
    // The file ends with the line "E" and no line break after it.
    while (!text.empty() && IsControlOrBlank(text.back())) text.pop_back();
    text += kCrLf;
    text += 'E';
  }
  return text;
}

std::string GtsPointsRecord(std::size_t, std::size_t, const RecordFields& r,
                            const ExchangeOptions&) {
  return CommaLine(r.name, r.e, r.n, r.z, r.code);
}

std::string Sv300Record(std::size_t k, std::size_t, const RecordFields& r, const ExchangeOptions&) {
  return CommaLine(std::to_string(k), r.name, r.code, r.n, r.e, r.z);
}

std::string CassRecord(std::size_t, std::size_t, const RecordFields& r, const ExchangeOptions&) {
  return CommaLine(r.name, r.code, r.e, r.n, r.z);
}

std::string CsvRecord(std::size_t, std::size_t, const RecordFields& r, const ExchangeOptions&) {
  std::string line = Quoted(r.name) + "," + Quoted(r.n) + "," + Quoted(r.e) + "," + Quoted(r.z);
  if (!r.code.empty()) line += "," + Quoted(r.code);
  line += kCrLf;
  return line;
}

std::string DxfRecord(std::size_t, std::size_t, const RecordFields& r, const ExchangeOptions&) {
  std::string text;
  text.reserve(160);
  const auto line = [&text](std::string_view content) {
    text += content;
    text += kCrLf;
  };
  // x E, y N, z Z.
  const auto position = [&line, &r] {
    for (const std::string_view content :
         std::initializer_list<std::string_view>{"10", r.e, "20", r.n, "30", r.z}) {
      line(content);
    }
  };
  // The point on layer "point".
  for (const std::string_view content : {"0", "POINT", "8", "point"}) line(content);
  position();
  // Its label on layer "PT#": the point name, 0.2 units high.
  for (const std::string_view content : {"0", "TEXT", "8", "PT#"}) line(content);
  position();
  line("40");
  line("0.2");
  line("1");
  line(r.name);
  return text;
}

std::string UserFormatRecord(std::size_t k, const RecordFields& r, const UserFormat& user) {
  const std::array<const std::string*, 5> byField{&r.name, &r.n, &r.e, &r.z, &r.code};
  // Field numbers are used as stored; one outside 0..4 gives an empty text.
  const auto field = [&](int number) -> const std::string& {
    static const std::string kNone;
    return number >= 0 && number < 5 ? *byField[static_cast<std::size_t>(number)] : kNone;
  };
  std::string line;
  if (user.serialNumbers) line += std::to_string(k) + ",";
  line += field(user.order[0]) + "," + field(user.order[1]) + "," + field(user.order[2]) + "," +
          field(user.order[3]);
  const std::string& fifth = field(user.order[4]);
  if (!fifth.empty()) line += "," + fifth;
  line += kCrLf;
  return line;
}

std::string UserLayoutRecord(std::size_t k, std::size_t, const RecordFields& r,
                             const ExchangeOptions& options) {
  return UserFormatRecord(k, r, options.user);
}

void PolarRecords(const RawUnitState& units, std::string_view rawRecords, const ByteSink& sink) {
  WritePolarLines(units, rawRecords, [&sink](std::string_view line) {
    sink(line);
    sink(kCrLf);
  });
}

RecordsExport::RecordsExport(const ExchangeFormat& format, ExchangeOptions options,
                             std::size_t count, ByteSink sink)
    : writer_(format.writer), options_(std::move(options)), count_(count), sink_(std::move(sink)) {
  sink_(writer_.head);
}

void RecordsExport::Add(std::string_view recordLine) {
  ++written_;
  sink_(writer_.record(written_, count_, RecordLineFields(recordLine), options_));
}

void RecordsExport::Finish() {
  sink_(writer_.tail);
}

void WriteRecords(const JobText& recordLines, const ExchangeFormat& format,
                  const ExchangeOptions& options, const ByteSink& sink) {
  RecordsExport records(format, options, recordLines.size(), sink);
  for (const std::string& line : recordLines) records.Add(line);
  records.Finish();
}

void ExportRecordsToFile(const JobText& recordLines, const ExchangeFormat& format,
                         const ExchangeOptions& options, const std::string& path) {
  ReplacingFile file(path);
  WriteRecords(recordLines, format, options,
               [&file](std::string_view bytes) { file.Write(bytes); });
  file.Commit();
}

}  // namespace lumaq
