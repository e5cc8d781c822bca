#include "formats/ExchangeFormats.h"

#include <algorithm>
#include <array>

#include "formats/ContentChecks.h"
#include "formats/ExportFormats.h"
#include "formats/GisFormats.h"
#include "formats/ImportFormats.h"

namespace lumaq {
namespace {

// The formats in the order of the dialogs' file types, which the dialogs
// remember by position.
constexpr std::array kFormats{
    ExchangeFormat{
        .name = "gts",
        .description = "拓普康 GTS700/600/800 Points(*.pts)",
        .pattern = "*.pts",
        .reader = {.line = ImportGtsPointsLine},
        .writer = {.record = GtsPointsRecord},
        .looksLike = LooksLikeGtsPoints,
    },
    ExchangeFormat{
        .name = "scs2002",
        .description = "SCS2002 坐标文件(*.dat)",
        .pattern = "*.dat",
        // A count line, five lines a point (name, code, N, E, Z), an end line.
        .reader = kScs2002Reader,
        .writer = {.record = Scs2002Record},
        .looksLike = LooksLikeScs2002,
    },
    ExchangeFormat{
        .name = "sv300",
        .description = "SV300坐标文件(*.dat)",
        .pattern = "*.dat",
        .reader = {.line = ImportSv300Line},
        .writer = {.record = Sv300Record},
        .looksLike = LooksLikeSv300,
    },
    ExchangeFormat{
        .name = "cass",
        .description = "CASS5.X文件(*.DAT)",
        .pattern = "*.DAT",
        .reader = {.line = ImportCassLine},
        .writer = {.record = CassRecord},
        .looksLike = LooksLikeCass,
    },
    ExchangeFormat{
        .name = "csv",
        .description = "CSV文件(逗号分隔)(*.CSV)",
        .pattern = "*.CSV",
        .reader = {.line = ImportCsvLine},
        .writer = {.record = CsvRecord},
        .looksLike = LooksLikeCsv,
    },
    ExchangeFormat{
        .name = "dxf",
        .description = "AutoCAD DXF 文件(*.DXF)",
        .pattern = "*.DXF",
        .writer = {.head = kDxfHead, .record = DxfRecord, .tail = kDxfTail},
    },
    // Shown under the name of the user's layout, with its extension when it
    // has one (DialogFilter).
    ExchangeFormat{
        .name = "user",
        .description = "(自定义)",
        .pattern = "*.*",
        .writer = {.record = UserLayoutRecord},
        .usesUserLayout = true,
    },
    // The GIS formats, through the GIS module (GisFormats.h), in the job's
    // coordinate reference system. A Shapefile is several files beside the
    // one named (ExportExchangeFile).
    ExchangeFormat{
        .name = "gpkg",
        .description = "GeoPackage 文件(*.gpkg)",
        .pattern = "*.gpkg",
        .reader = {.path = ReadGisFile<kGeoPackage>},
        .writer = {.files = WriteGisFiles<kGeoPackage>},
        .usesCrs = true,
        .looksLike = LooksLikeGeoPackage,
    },
    ExchangeFormat{
        .name = "shp",
        .description = "ESRI Shapefile 文件(*.shp)",
        .pattern = "*.shp",
        .reader = {.path = ReadGisFile<kShapefile>},
        .writer = {.files = WriteGisFiles<kShapefile>},
        .usesCrs = true,
        .looksLike = LooksLikeShapefile,
    },
    ExchangeFormat{
        .name = "geojson",
        .description = "GeoJSON 文件(*.geojson)",
        .pattern = "*.geojson",
        .reader = {.path = ReadGisFile<kGeoJson>},
        .writer = {.files = WriteGisFiles<kGeoJson>},
        .usesCrs = true,
        .looksLike = LooksLikeGeoJson,
    },
    ExchangeFormat{
        .name = "kml",
        .description = "KML 文件(*.kml)",
        .pattern = "*.kml",
        .reader = {.path = ReadGisFile<kKml>},
        .writer = {.files = WriteGisFiles<kKml>},
        .usesCrs = true,
        .looksLike = LooksLikeKml,
    },
    ExchangeFormat{
        .name = "landxml",
        .description = "LandXML 1.2 文件(*.xml)",
        .pattern = "*.xml",
        .writer = {.files = WriteGisFiles<kLandXml>},
        .usesCrs = true,
    },
    ExchangeFormat{
        .name = "polar",
        .description = "极坐标格式数据(*.dat)",
        .pattern = "*.dat",
        .takes = RecordKind::kRawRecords,
        .rawWriter = PolarRecords,
    },
};

template <typename Wanted>
FormatList FormatsWhere(Wanted wanted) {
  FormatList formats;
  for (const ExchangeFormat& format : kFormats) {
    if (wanted(format)) formats.push_back(&format);
  }
  return formats;
}

// The file type of a format in a dialog, "description|pattern".
std::string FileType(const ExchangeFormat& format, const UserFormat& user,
                     const DisplayText& displayText) {
  const auto shown = [&displayText](std::string_view bytes) {
    return displayText ? displayText(bytes) : std::string(bytes);
  };
  if (!format.usesUserLayout) {
    return std::string(format.description) + "|" + std::string(format.pattern);
  }
  const std::string pattern =
      user.extension.empty() ? std::string(format.pattern) : "*." + shown(user.extension);
  return shown(user.name) + std::string(format.description) + "|" + pattern;
}

}  // namespace

std::span<const ExchangeFormat> ExchangeFormats() {
  return kFormats;
}

const ExchangeFormat* FindExchangeFormat(std::string_view name) {
  const auto found =
      std::find_if(kFormats.begin(), kFormats.end(),
                   [name](const ExchangeFormat& format) { return format.name == name; });
  return found == kFormats.end() ? nullptr : &*found;
}

FormatList FormatsToImport() {
  return FormatsWhere([](const ExchangeFormat& format) { return format.Reads(); });
}

FormatList FormatsToExport(RecordKind records) {
  return FormatsWhere([records](const ExchangeFormat& format) {
    return format.Writes() && format.takes == records;
  });
}

const ExchangeFormat& FormatOfTypeIndex(const FormatList& formats, int typeIndex) {
  const bool within = typeIndex >= 1 && typeIndex <= static_cast<int>(formats.size());
  return *formats[within ? static_cast<std::size_t>(typeIndex) - 1 : 0];
}

std::string DialogFilter(const FormatList& formats, const UserFormat& user,
                         const DisplayText& displayText) {
  std::string filter;
  for (const ExchangeFormat* format : formats) {
    if (!filter.empty()) filter += '|';
    filter += FileType(*format, user, displayText);
  }
  return filter;
}

ExchangeOptions ExchangeOptionsFor(const ExchangeFormat& format, const std::string& programFolder) {
  ExchangeOptions options;
  if (format.usesUserLayout) options.user = UserFormatForExport(programFolder);
  return options;
}

}  // namespace lumaq
