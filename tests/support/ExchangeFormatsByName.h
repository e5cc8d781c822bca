// The exchange formats of the registry by their command-line names, and the
// file types the import and export dialogs have always shown.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "formats/ExchangeFormats.h"

namespace lumaq::test {

inline const ExchangeFormat& Format(std::string_view name) {
  const ExchangeFormat* format = FindExchangeFormat(name);
  if (format == nullptr) throw std::invalid_argument("no format " + std::string(name));
  return *format;
}

inline constexpr const char* kImportFilter =
    "拓普康 GTS700/600/800 Points(*.pts)|*.pts|SCS2002 坐标文件(*.dat)|*.dat|"
    "SV300坐标文件(*.dat)|*.dat|CASS5.X文件(*.DAT)|*.DAT|CSV文件(逗号分隔)(*.CSV)|*.CSV|"
    "GeoPackage 文件(*.gpkg)|*.gpkg|ESRI Shapefile 文件(*.shp)|*.shp|"
    "GeoJSON 文件(*.geojson)|*.geojson|KML 文件(*.kml)|*.kml";
// The six fixed types; the user's layout follows as the seventh.
inline constexpr const char* kExportFixedFilter =
    "拓普康 GTS700/600/800 Points(*.pts)|*.pts|SCS2002 坐标文件(*.dat)|*.dat|"
    "SV300坐标文件(*.dat)|*.dat|CASS5.X文件(*.DAT)|*.DAT|CSV文件(逗号分隔)(*.CSV)|*.CSV|"
    "AutoCAD DXF 文件(*.DXF)|*.DXF";
// The GIS types after the user's layout, with their "|" before them.
inline constexpr const char* kGisExportTypes =
    "|GeoPackage 文件(*.gpkg)|*.gpkg|ESRI Shapefile 文件(*.shp)|*.shp|"
    "GeoJSON 文件(*.geojson)|*.geojson|KML 文件(*.kml)|*.kml|LandXML 1.2 文件(*.xml)|*.xml";
inline constexpr const char* kRawExportFilter = "极坐标格式数据(*.dat)|*.dat";

}  // namespace lumaq::test
