// A job's coordinate reference system: a projected system of PROJ's EPSG
// database, its area of use, and the way from its coordinates to longitude
// and latitude. Axes in GIS order throughout: x is the surveyor's E (the
// easting), y the N (the northing), although these EPSG systems declare the
// northing first.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <ogr_spatialref.h>

namespace lumaq::gis {

// "EPSG:4547" for "EPSG:4547", "epsg:4547" and "4547"; Rejected otherwise.
std::string NormalizedEpsgCode(std::string_view typed);

// WGS 84 longitude and latitude, in that order (GeoJSON, KML).
OGRSpatialReference Wgs84LonLat();

struct AreaOfUse {
  double west = -180;
  double south = -90;
  double east = 180;
  double north = 90;
};

// How far, in kilometres along the Earth's surface, a longitude and latitude
// lies outside area; 0 within it.
double KilometresOutside(const AreaOfUse& area, double lon, double lat);

class ReferenceSystem {
 public:
  // Raises Rejected for a code that is not in the database or names no
  // projected system.
  explicit ReferenceSystem(std::string_view code);

  const OGRSpatialReference& Srs() const { return srs_; }
  const std::string& Code() const { return code_; }  // "EPSG:4547"
  std::string Number() const;                        // "4547"
  std::string Name() const;
  std::string DatumName() const;

  // Raises Rejected, naming the point (UTF-8) and how far it lies, when
  // east, north lie outside the system's area of use or cannot be turned
  // into longitude and latitude at all.
  void CheckWithinArea(double east, double north, std::string_view pointName) const;

 private:
  std::string code_;
  OGRSpatialReference srs_;
  AreaOfUse area_;
  std::unique_ptr<OGRCoordinateTransformation> toLonLat_;
};

// The transformation between two systems in GIS axis order; Rejected when
// PROJ has none.
std::unique_ptr<OGRCoordinateTransformation> Transformation(const OGRSpatialReference& from,
                                                            const OGRSpatialReference& to);

}  // namespace lumaq::gis
