// The points of a job as a point layer written by GDAL: x the easting, y the
// northing (or longitude and latitude for GeoJSON and KML, transformed by
// PROJ), z the height, with the attributes name, code and height.
#pragma once

#include <functional>
#include <span>
#include <string_view>

#include "formats/GisEntries.h"
#include "formats/gis/LayerFormats.h"
#include "formats/gis/ReferenceSystem.h"

namespace lumaq::gis {

// One file made: the suffix it adds to the output's stem ("" for a format
// of one file) and its bytes.
using FileOut = std::function<void(std::string_view suffix, std::string_view bytes)>;

void WritePointLayer(const LayerFormat& format, const ReferenceSystem& system,
                     std::string_view layer, std::span<const LumaqGisPoint> points,
                     const FileOut& out);

}  // namespace lumaq::gis
