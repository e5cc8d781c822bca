// The points of a job as a LandXML 1.2 document, written with libxml2's
// writer: a CgPoint each, named and coded, holding "northing easting
// elevation" as the record holds them, and the job's system named in
// CoordinateSystem.
#pragma once

#include <span>
#include <string>

#include "formats/GisEntries.h"
#include "formats/gis/ReferenceSystem.h"

namespace lumaq::gis {

std::string LandXmlDocument(const ReferenceSystem& system, std::span<const LumaqGisPoint> points);

}  // namespace lumaq::gis
