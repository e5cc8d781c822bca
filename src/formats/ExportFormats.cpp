#include "formats/ExportFormats.h"

#include <array>
#include <initializer_list>
#include <utility>

#include "records/RecordLine.h"
#include "records/ReplacingFile.h"

namespace lumaq {
namespace {

constexpr std::string_view kCrLf = "\r\n";
// Follows the name of the user's layout in the export dialog.
constexpr const char* kUserFormatSuffix = "(自定义)";

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

std::string Scs2002Record(std::size_t k, std::size_t recordCount, const RecordFields& r) {
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

std::string GtsPointsRecord(const RecordFields& r) {
  return CommaLine(r.name, r.e, r.n, r.z, r.code);
}

std::string Sv300Record(std::size_t k, const RecordFields& r) {
  return CommaLine(std::to_string(k), r.name, r.code, r.n, r.e, r.z);
}

std::string CassRecord(const RecordFields& r) {
  return CommaLine(r.name, r.code, r.e, r.n, r.z);
}

std::string CsvRecord(const RecordFields& r) {
  std::string line = Quoted(r.name) + "," + Quoted(r.n) + "," + Quoted(r.e) + "," + Quoted(r.z);
  if (!r.code.empty()) line += "," + Quoted(r.code);
  line += kCrLf;
  return line;
}

std::string DxfRecord(const RecordFields& r) {
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

}  // namespace

ExportFormat ExportFormatOfIndex(int typeIndex) {
  if (typeIndex < 1 || typeIndex > kExportFormatCount) return ExportFormat::kGtsPoints;
  return static_cast<ExportFormat>(typeIndex);
}

std::string ExportFilter(const UserFormat& user, const DisplayText& displayText) {
  const std::string pattern =
      user.extension.empty() ? std::string("*.*") : "*." + displayText(user.extension);
  return std::string(kExportFixedFilter) + "|" + displayText(user.name) + kUserFormatSuffix + "|" +
         pattern;
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

namespace {

constexpr std::string_view kDxfHead = "0\r\nSECTION\r\n2\r\nENTITIES\r\n";
constexpr std::string_view kDxfTail = "0\r\nENDSEC\r\n0\r\nEOF";

// The text of a job in one format, piece by piece: the head, the text of each
// record k = 1..recordCount in order, the tail.
class RecordWriter {
 public:
  RecordWriter(ExportFormat format, std::size_t recordCount, UserFormat user)
      : format_(format), recordCount_(recordCount), user_(std::move(user)) {}

  std::string Head() const {
    return format_ == ExportFormat::kDxf ? std::string(kDxfHead) : std::string();
  }
  std::string Record(std::size_t k, const RecordFields& record) const;
  std::string Tail() const {
    return format_ == ExportFormat::kDxf ? std::string(kDxfTail) : std::string();
  }

 private:
  ExportFormat format_;
  std::size_t recordCount_;
  UserFormat user_;
};

std::string RecordWriter::Record(std::size_t k, const RecordFields& r) const {
  switch (format_) {
    case ExportFormat::kGtsPoints:
      return GtsPointsRecord(r);
    case ExportFormat::kScs2002:
      return Scs2002Record(k, recordCount_, r);
    case ExportFormat::kSv300:
      return Sv300Record(k, r);
    case ExportFormat::kCass:
      return CassRecord(r);
    case ExportFormat::kCsv:
      return CsvRecord(r);
    case ExportFormat::kDxf:
      return DxfRecord(r);
    case ExportFormat::kUser:
      return UserFormatRecord(k, r, user_);
  }
  return {};
}

}  // namespace

void WriteRecords(const JobText& recordLines, ExportFormat format, const UserFormat& user,
                  const std::function<void(std::string_view)>& sink) {
  const RecordWriter writer(format, recordLines.size(), user);
  sink(writer.Head());
  for (std::size_t k = 1; k <= recordLines.size(); ++k) {
    sink(writer.Record(k, RecordLineFields(recordLines[k - 1])));
  }
  sink(writer.Tail());
}

void ExportRecordsToFile(const JobText& recordLines, ExportFormat format, const UserFormat& user,
                         const std::string& path) {
  ReplacingFile file(path);
  WriteRecords(recordLines, format, user, [&file](std::string_view bytes) { file.Write(bytes); });
  file.Commit();
}

}  // namespace lumaq
