// The points of a GIS file's point layer (the first, or the one named), as
// GDAL reads them, transformed by PROJ into the job's system. Attributes
// named like a name, a code or a height are taken, the others left; a point
// without a height attribute takes its geometry's Z.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "formats/GisEntries.h"
#include "formats/gis/LayerFormats.h"
#include "formats/gis/ReferenceSystem.h"

namespace lumaq::gis {

using PointOut = std::function<void(const LumaqGisPoint& point)>;

// Hands over the first maxPoints - 1 points and the last (all of them when
// there are no more than maxPoints) and returns how many the layer has.
// Rejected for a file GDAL cannot read as format, a layer that is not there
// or has no points, and a point outside the system's area.
std::size_t ReadPointLayer(const LayerFormat& format, const std::string& path,
                           const ReferenceSystem& system, std::string_view layerName,
                           std::size_t maxPoints, const PointOut& out);

}  // namespace lumaq::gis
