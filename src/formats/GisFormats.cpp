#include "formats/GisFormats.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "formats/GisModule.h"
#include "formats/ImportFormats.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "records/RecordTable.h"

namespace lumaq {
namespace {

constexpr std::size_t kNameColumn = 8;
constexpr std::size_t kCoordinateColumn = 11;

LumaqGisText Text(std::string_view text) {
  return {text.data(), text.size()};
}

std::string_view View(LumaqGisText text) {
  return text.size == 0 ? std::string_view() : std::string_view(text.bytes, text.size);
}

// The record's number, or nothing for a text that is not one number.
std::optional<double> Number(std::string_view text) {
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

// A record's texts and their numbers, as the module takes them.
struct GisRecord {
  RecordFields fields;
  double n = 0;
  double e = 0;
  std::optional<double> z;
};

double Coordinate(const RecordFields& fields, std::size_t k, const char* axis,
                  const std::string& text) {
  if (const auto value = Number(text)) return *value;
  throw RejectedGisInput("第 " + std::to_string(k) + " 个点 " + fields.name + " 的 " + axis +
                         " 坐标“" + text + "”不是数字：GIS 格式只收坐标为数字的点");
}

std::vector<GisRecord> GisRecords(const JobText& recordLines) {
  if (recordLines.empty()) {
    throw RejectedGisInput(
        "作业中没有坐标点可导出（测量数据没有坐标点；原始测量记录请导出为极坐标数据）");
  }
  std::vector<GisRecord> records;
  records.reserve(recordLines.size());
  for (std::size_t k = 1; k <= recordLines.size(); ++k) {
    GisRecord record;
    record.fields = RecordLineFields(recordLines[k - 1]);
    record.n = Coordinate(record.fields, k, "N", record.fields.n);
    record.e = Coordinate(record.fields, k, "E", record.fields.e);
    if (!record.fields.z.empty()) record.z = Coordinate(record.fields, k, "Z", record.fields.z);
    records.push_back(std::move(record));
  }
  return records;
}

LumaqGisPoint PointOf(const GisRecord& record) {
  LumaqGisPoint point{};
  point.name = Text(record.fields.name);
  point.code = Text(record.fields.code);
  point.north = Text(record.fields.n);
  point.east = Text(record.fields.e);
  point.height = Text(record.fields.z);
  point.n = record.n;
  point.e = record.e;
  point.z = record.z.value_or(0.0);
  point.hasHeight = record.z ? 1 : 0;
  return point;
}

std::string RequireCrs(const ExchangeOptions& options) {
  if (options.crs.empty()) {
    throw RejectedGisInput(
        "没有选定坐标系：请在“工具”菜单的“坐标系”中选择（lumaq-cli 用 --crs，如 --crs EPSG:4547）");
  }
  return options.crs;
}

// The module's answer raised as the program's error.
void Check(LumaqGisResult result, const std::string& message) {
  if (result == kLumaqGisRejected) throw RejectedGisInput(message);
  if (result != kLumaqGisDone) throw GisError(message);
}

void KeepMessage(void* context, LumaqGisText message) {
  static_cast<std::string*>(context)->assign(View(message));
}

// A file the system will not let us read is reported as every import
// reports it, before GDAL is asked.
void RequireReadable(const std::string& path) {
  OpenForReading(path);
}

}  // namespace

std::string CutToColumn(std::string_view bytes, std::size_t width) {
  std::size_t kept = 0;
  while (kept < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[kept]);
    std::size_t size = 1;
    if (lead >= 0x81 && lead <= 0xFE && kept + 1 < bytes.size()) {
      const auto second = static_cast<unsigned char>(bytes[kept + 1]);
      size = second >= 0x30 && second <= 0x39 ? 4 : 2;
    }
    if (kept + size > width) break;
    kept += size;
  }
  return std::string(bytes.substr(0, std::min(kept, bytes.size())));
}

std::string CoordinateText(double value) {
  std::string text = FormatFixed3(value);
  for (int decimals = 2; text.size() > kCoordinateColumn && decimals >= 0; --decimals) {
    char shorter[48];
    std::snprintf(shorter, sizeof shorter, "%.*f", decimals, value);
    text = shorter;
  }
  return text;
}

template <const char* Format>
void WriteGisFiles(const JobText& recordLines, const ExchangeOptions& options,
                   const FileSink& sink) {
  const std::string crs = RequireCrs(options);
  const std::vector<GisRecord> records = GisRecords(recordLines);
  std::vector<LumaqGisPoint> points;
  points.reserve(records.size());
  for (const GisRecord& record : records) points.push_back(PointOf(record));
  const LumaqGisEntries& module = GisModuleEntries();

  // The files are kept until the module is done, so that a refusal leaves
  // sink without a single one.
  std::vector<std::pair<std::string, std::string>> files;
  const auto keepFile = [](void* context, LumaqGisText suffix, LumaqGisText bytes) {
    static_cast<decltype(files)*>(context)->emplace_back(View(suffix), View(bytes));
  };
  const LumaqGisExport request{Format, crs.c_str(), options.layer.c_str(), points.data(),
                               points.size()};
  std::string message;
  Check(module.exportPoints(&request, keepFile, &files, KeepMessage, &message), message);
  for (const auto& [suffix, bytes] : files) sink(suffix, bytes);
}

template <const char* Format>
ImportedRecords ReadGisFile(const std::string& path, const ExchangeOptions& options) {
  const std::string crs = RequireCrs(options);
  RequireReadable(path);
  const LumaqGisEntries& module = GisModuleEntries();
  ImportedRecords imported;
  const auto takePoint = [](void* context, const LumaqGisPoint* point) {
    static_cast<JobText*>(context)->push_back(ComposeRecordLine(
        CutToColumn(View(point->name), kNameColumn), CutToColumn(View(point->code), kNameColumn),
        CoordinateText(point->n), CoordinateText(point->e),
        point->hasHeight != 0 ? CoordinateText(point->z) : std::string()));
  };
  const LumaqGisImport request{Format, path.c_str(), crs.c_str(), options.layer.c_str(),
                               static_cast<std::size_t>(kMaxRecords)};
  std::size_t pointCount = 0;
  std::string message;
  Check(module.importPoints(&request, takePoint, &imported.records, &pointCount, KeepMessage,
                            &message),
        message);
  imported.leftOut = pointCount - imported.records.size();
  return imported;
}

template void WriteGisFiles<kGeoPackage>(const JobText&, const ExchangeOptions&, const FileSink&);
template void WriteGisFiles<kShapefile>(const JobText&, const ExchangeOptions&, const FileSink&);
template void WriteGisFiles<kGeoJson>(const JobText&, const ExchangeOptions&, const FileSink&);
template void WriteGisFiles<kKml>(const JobText&, const ExchangeOptions&, const FileSink&);
template void WriteGisFiles<kLandXml>(const JobText&, const ExchangeOptions&, const FileSink&);
template ImportedRecords ReadGisFile<kGeoPackage>(const std::string&, const ExchangeOptions&);
template ImportedRecords ReadGisFile<kShapefile>(const std::string&, const ExchangeOptions&);
template ImportedRecords ReadGisFile<kGeoJson>(const std::string&, const ExchangeOptions&);
template ImportedRecords ReadGisFile<kKml>(const std::string&, const ExchangeOptions&);

}  // namespace lumaq
