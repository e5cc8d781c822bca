// The GIS formats of the registry: GeoPackage, ESRI Shapefile, GeoJSON and
// KML point layers written and read by GDAL, LandXML 1.2 written with
// libxml2, all in the job's coordinate reference system
// (ExchangeOptions::crs). Their readers and writers call the GIS module
// (GisModule.h), loaded on first use.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "formats/ExchangeFormat.h"
#include "records/TextLines.h"

namespace lumaq {

// Input a GIS format refuses, with the reason in the program's words: no
// system chosen, an unknown code, a job without points, a coordinate that is
// no number, a point outside the system's area, a file GDAL cannot read, a
// layer that is not there or holds no points.
class RejectedGisInput : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The module failed at its work (a library error, no memory).
class GisError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The writer of a GIS format (RecordWriter::files): the job's records as
// points, the files made handed to sink. Raises RejectedGisInput, GisError
// and GisModuleMissing; sink has then been given nothing.
template <const char* Format>
void WriteGisFiles(const JobText& recordLines, const ExchangeOptions& options,
                   const FileSink& sink);

// The reader of a GIS format (RecordReader::path): the points of the file's
// point layer as record lines in the job's system, at most 15999 (the first
// 15998 and the last).
template <const char* Format>
ImportedRecords ReadGisFile(const std::string& path, const ExchangeOptions& options);

inline constexpr char kGeoPackage[] = "gpkg";
inline constexpr char kShapefile[] = "shp";
inline constexpr char kGeoJson[] = "geojson";
inline constexpr char kKml[] = "kml";
inline constexpr char kLandXml[] = "landxml";

// Cuts code-page bytes to at most width bytes, not inside a character: the
// columns of a record line's name and code.
std::string CutToColumn(std::string_view bytes, std::size_t width);

// A coordinate as a record line holds it: three decimals, fewer when the
// number needs the room of its 11 characters.
std::string CoordinateText(double value);

}  // namespace lumaq
