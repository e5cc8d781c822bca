// The GIS formats that GDAL writes and reads as a point layer: their
// drivers, the extension of the file GDAL makes, and the system their
// coordinates are in.
#pragma once

#include <string_view>

namespace lumaq::gis {

struct LayerFormat {
  std::string_view name;       // the registry's name
  const char* driver;          // GDAL's
  std::string_view extension;  // of the file GDAL makes, ".gpkg"
  bool lonLat;                 // WGS 84 longitude and latitude, not the job's system
  bool severalFiles;           // the files beside the first share its stem (.shp, .dbf, ...)
};

// nullptr for a name of none of them.
const LayerFormat* FindLayerFormat(std::string_view name);

}  // namespace lumaq::gis
