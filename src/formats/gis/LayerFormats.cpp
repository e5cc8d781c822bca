#include "formats/gis/LayerFormats.h"

#include <algorithm>
#include <array>

namespace lumaq::gis {
namespace {

constexpr std::array kLayerFormats{
    LayerFormat{"gpkg", "GPKG", ".gpkg", false, false},
    LayerFormat{"shp", "ESRI Shapefile", ".shp", false, true},
    LayerFormat{"geojson", "GeoJSON", ".geojson", true, false},
    // Read only: GDAL's KML writers take minutes for a full job (LIBKML
    // grows its text a few bytes at a time) or put fields under the wrong
    // tags (KML); KmlWriter writes the file.
    LayerFormat{"kml", "LIBKML", ".kml", true, false},
};

}  // namespace

const LayerFormat* FindLayerFormat(std::string_view name) {
  const auto found =
      std::find_if(kLayerFormats.begin(), kLayerFormats.end(),
                   [name](const LayerFormat& format) { return format.name == name; });
  return found == kLayerFormats.end() ? nullptr : &*found;
}

}  // namespace lumaq::gis
