#include "formats/gis/KmlWriter.h"

#include <charconv>
#include <memory>

#include <ogr_spatialref.h>

#include "formats/gis/CodePage.h"
#include "formats/gis/GdalSupport.h"
#include "formats/gis/GisFailure.h"
#include "formats/gis/XmlWriter.h"

namespace lumaq::gis {
namespace {

std::string_view View(LumaqGisText text) {
  return {text.bytes, text.size};
}

// Fifteen significant digits: a billionth of a degree, a tenth of a
// millimetre on the ground.
std::string Degrees(double value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15);
  return std::string(text, end.ptr);
}

void WriteSchema(XmlWriter& kml, const std::string& layer) {
  kml.Start("Schema");
  kml.Attribute("name", layer);
  kml.Attribute("id", layer);
  for (const auto& [name, type] : {std::pair{"code", "string"}, std::pair{"height", "float"}}) {
    kml.Start("SimpleField");
    kml.Attribute("name", name);
    kml.Attribute("type", type);
    kml.End();
  }
  kml.End();
}

void WritePlacemark(XmlWriter& kml, const std::string& layer, const LumaqGisPoint& point,
                    double lon, double lat) {
  kml.Start("Placemark");
  kml.Element("name", PrintableUtf8FromCodePage(View(point.name)));
  kml.Start("ExtendedData");
  kml.Start("SchemaData");
  kml.Attribute("schemaUrl", "#" + layer);
  kml.Start("SimpleData");
  kml.Attribute("name", "code");
  kml.Text(PrintableUtf8FromCodePage(View(point.code)));
  kml.End();
  if (point.hasHeight != 0) {
    kml.Start("SimpleData");
    kml.Attribute("name", "height");
    kml.Text(std::string(View(point.height)));
    kml.End();
  }
  kml.End();
  kml.End();
  kml.Start("Point");
  std::string at = Degrees(lon) + "," + Degrees(lat);
  if (point.hasHeight != 0) at += "," + std::string(View(point.height));
  kml.Element("coordinates", at);
  kml.End();
  kml.End();
}

}  // namespace

std::string KmlDocument(const ReferenceSystem& system, std::string_view layer,
                        std::span<const LumaqGisPoint> points) {
  const std::unique_ptr<OGRCoordinateTransformation> toLonLat =
      Transformation(system.Srs(), Wgs84LonLat());
  const std::string layerName(layer);
  XmlWriter kml("KML");
  kml.Start("kml");
  kml.Attribute("xmlns", "http://www.opengis.net/kml/2.2");
  kml.Start("Document");
  kml.Attribute("id", "root_doc");
  WriteSchema(kml, layerName);
  kml.Start("Folder");
  kml.Element("name", layerName);
  for (const LumaqGisPoint& point : points) {
    double lon = point.e;
    double lat = point.n;
    if (!toLonLat->Transform(1, &lon, &lat)) {
      throw Rejected("点 " + PrintableUtf8FromCodePage(View(point.name)) + " 不能换算为经纬度" +
                     GdalReason());
    }
    WritePlacemark(kml, layerName, point, lon, lat);
  }
  kml.End();
  kml.End();
  kml.End();
  return kml.Finish();
}

}  // namespace lumaq::gis
