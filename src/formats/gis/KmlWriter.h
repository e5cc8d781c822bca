// The points of a job as a KML document, written with libxml2's writer: a
// Placemark each, named after the point, its code and height as the fields
// of the layer's Schema, at the WGS 84 longitude and latitude PROJ turns its
// N and E into, and its height.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "formats/GisEntries.h"
#include "formats/gis/ReferenceSystem.h"

namespace lumaq::gis {

std::string KmlDocument(const ReferenceSystem& system, std::string_view layer,
                        std::span<const LumaqGisPoint> points);

}  // namespace lumaq::gis
