#include "formats/gis/ReferenceSystem.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "formats/gis/GdalSupport.h"
#include "formats/gis/GisFailure.h"

namespace lumaq::gis {
namespace {

constexpr double kEarthRadiusKm = 6371.0;

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  return text;
}

double Radians(double degrees) {
  return degrees * std::numbers::pi / 180.0;
}

// The great-circle distance between two longitudes and latitudes.
double DistanceKm(double lon1, double lat1, double lon2, double lat2) {
  const double dLat = Radians(lat2 - lat1);
  const double dLon = Radians(lon2 - lon1);
  const double a = std::pow(std::sin(dLat / 2), 2) + std::cos(Radians(lat1)) *
                                                         std::cos(Radians(lat2)) *
                                                         std::pow(std::sin(dLon / 2), 2);
  return 2 * kEarthRadiusKm * std::asin(std::min(1.0, std::sqrt(a)));
}

// The signed difference to - from in degrees of longitude, within -180..180.
double LonDifference(double from, double to) {
  return std::remainder(to - from, 360.0);
}

// The longitude of area nearest to lon (areas that cross the 180th meridian
// have west > east).
double NearestLon(const AreaOfUse& area, double lon) {
  const bool within = area.west <= area.east ? lon >= area.west && lon <= area.east
                                             : lon >= area.west || lon <= area.east;
  if (within) return lon;
  const double toWest = std::abs(LonDifference(lon, area.west));
  const double toEast = std::abs(LonDifference(lon, area.east));
  return toWest <= toEast ? area.west : area.east;
}

std::string SystemLabel(const std::string& name, const std::string& code) {
  return name + "（" + code + "）";
}

}  // namespace

std::string NormalizedEpsgCode(std::string_view typed) {
  std::string_view number = Trimmed(typed);
  constexpr std::string_view kAuthority = "EPSG:";
  if (number.size() > kAuthority.size() &&
      std::equal(kAuthority.begin(), kAuthority.end(), number.begin(),
                 [](char a, char b) { return a == std::toupper(static_cast<unsigned char>(b)); })) {
    number.remove_prefix(kAuthority.size());
  }
  const bool digits = !number.empty() && number.size() <= 9 &&
                      std::all_of(number.begin(), number.end(), [](char c) {
                        return std::isdigit(static_cast<unsigned char>(c)) != 0;
                      });
  if (!digits) {
    throw Rejected("“" + std::string(typed) +
                   "”不是 EPSG 代码：请写成 EPSG:4547 或 4547 这样的形式");
  }
  return "EPSG:" + std::string(number);
}

OGRSpatialReference Wgs84LonLat() {
  OGRSpatialReference wgs84;
  wgs84.SetWellKnownGeogCS("WGS84");
  wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  return wgs84;
}

double KilometresOutside(const AreaOfUse& area, double lon, double lat) {
  const double nearestLon = NearestLon(area, lon);
  const double nearestLat = std::clamp(lat, area.south, area.north);
  if (nearestLon == lon && nearestLat == lat) return 0.0;
  return DistanceKm(lon, lat, nearestLon, nearestLat);
}

ReferenceSystem::ReferenceSystem(std::string_view code) : code_(NormalizedEpsgCode(code)) {
  const QuietGdalErrors quiet;
  if (srs_.importFromEPSG(std::stoi(code_.substr(5))) != OGRERR_NONE) {
    throw Rejected("未知的坐标系代码 " + code_ + "：PROJ 的 EPSG 数据库中没有它");
  }
  if (!srs_.IsProjected()) {
    throw Rejected(SystemLabel(Name(), code_) +
                   "不是投影坐标系：点的 N、E 是平面坐标，请选投影坐标系（如 EPSG:4547）");
  }
  srs_.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  const char* areaName = nullptr;
  AreaOfUse area;
  if (srs_.GetAreaOfUse(&area.west, &area.south, &area.east, &area.north, &areaName)) {
    area_ = area;
  }
  OGRSpatialReference geographic;
  geographic.CopyGeogCSFrom(&srs_);
  geographic.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  toLonLat_ = Transformation(srs_, geographic);
}

std::string ReferenceSystem::Number() const {
  return code_.substr(5);
}

std::string ReferenceSystem::Name() const {
  const char* name = srs_.GetName();
  return name != nullptr ? name : code_;
}

std::string ReferenceSystem::DatumName() const {
  const char* datum = srs_.GetAttrValue("DATUM");
  return datum != nullptr ? datum : "";
}

void ReferenceSystem::CheckWithinArea(double east, double north, std::string_view pointName) const {
  const std::string point =
      "点 " + std::string(pointName) + "（N " + Fixed(north, 3) + "，E " + Fixed(east, 3) + "）";
  const std::string system = SystemLabel(Name(), code_);
  double lon = east;
  double lat = north;
  int success = 0;
  const bool turned = toLonLat_->Transform(1, &lon, &lat, nullptr, &success) && success != 0 &&
                      std::isfinite(lon) && std::isfinite(lat);
  if (!turned) {
    throw Rejected(point + "在 " + system +
                   "中不能换算为经纬度，远在投影带之外：东坐标的带号与所选坐标系相符吗？");
  }
  const double km = KilometresOutside(area_, lon, lat);
  if (km > 0) {
    throw Rejected(point + "在 " + system + "的适用范围之外约 " + Fixed(std::max(km, 0.1), 1) +
                   " km：它在经度 " + Fixed(lon, 6) + "°、纬度 " + Fixed(lat, 6) +
                   "°，而适用范围是经度 " + Fixed(area_.west, 2) + "°–" + Fixed(area_.east, 2) +
                   "°、纬度 " + Fixed(area_.south, 2) + "°–" + Fixed(area_.north, 2) +
                   "°。请检查所选的坐标系（投影带、东坐标有无带号）");
  }
}

std::unique_ptr<OGRCoordinateTransformation> Transformation(const OGRSpatialReference& from,
                                                            const OGRSpatialReference& to) {
  const QuietGdalErrors quiet;
  std::unique_ptr<OGRCoordinateTransformation> transformation(
      OGRCreateCoordinateTransformation(&from, &to));
  if (!transformation) {
    const char* fromName = from.GetName();
    const char* toName = to.GetName();
    throw Rejected(std::string("PROJ 没有从 ") + (fromName ? fromName : "?") + " 到 " +
                   (toName ? toName : "?") + " 的坐标转换" + GdalReason());
  }
  return transformation;
}

}  // namespace lumaq::gis
